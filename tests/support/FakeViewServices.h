#pragma once
// ViewServices over plain vectors that records what a view asks of the application (switches,
// goods steps, requests sent, self-selected edits, drawn-line commits), with settings in a
// program directory of the test's choosing. Views, the application's views and the Qt host
// windows are all tested against it (with FakeViewHost for their window).
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/settings/CQeltCFG.h"
#include "formula/FormulaLibrary.h"
#include "formula/FormulaValueTable.h"
#include "support/FakeViewHost.h"
#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt::test {

/// A contract of the board with every quote field filled: state "3" (trading), section 4,
/// volumes and order book set, named "桑蚕丝-" and the due date's month.
CQeltGoods MakeGoods(const std::string& goodsNo, const std::string& dueDate, const std::string& price,
                     const std::string& preClose, int position);

inline GoodsSummary SummaryOf(const CQeltGoods& g) {
    return {g.position, g.goods_no, g.due_date, g.name, g.state};
}

class FakeViewServices : public ViewServices {
  public:
    std::vector<std::string> codes{"0101", "0112", "0001", "0005", "0000"};
    std::vector<std::string> names{"桑蚕丝", "生丝", "全部", "合约", "自选"};
    std::map<int, std::vector<CQeltGoods>> goods;  ///< rows per category index
    std::vector<CQeltGoods> mainList;
    std::vector<std::string> flagged;
    ViewSelection selection = [] {
        ViewSelection s;
        s.goods = -1;  // nothing current until a view makes a goods current
        return s;
    }();
    std::vector<std::vector<std::string>> added;
    std::vector<std::vector<std::string>> removed;
    std::vector<std::pair<int, int>> switches;
    std::vector<std::string> sent;
    int steps = 0;
    int standingRefreshes = 0;
    bool online = true;
    double scale = 1.0;
    std::string dir = "/nonexistent/";
    std::vector<std::pair<int, int>> history;
    std::vector<TradeRow> tradeList;  ///< the store's trade list (a past day's trades)
    mutable int tradeFetches = 0;

    // Drawn lines: every commit, and one undo history for whatever goods is current.
    struct LineStep {
        std::vector<CMyLine> before;
        std::vector<CMyLine> after;
    };
    std::vector<LineStep> lineCommits;
    std::vector<LineStep> lineUndo;
    std::vector<LineStep> lineRedo;

    ViewSelection& Selection() override { return selection; }
    const ViewSelection& Selection() const override { return selection; }
    std::vector<std::string> CategoryCodes() const override { return codes; }
    std::vector<std::string> CategoryNames() const override { return names; }
    std::vector<CQeltGoods> GoodsOfCategory(int index) const override;
    std::vector<GoodsSummary> MainSummaries() const override;
    bool IsFlagged(std::string_view goodsNo) const override;
    CQeltGoods CurrentGoods() const override;
    std::optional<CQeltGoods> GoodsQuote(const std::string& goodsNo,
                                         const std::string& dueDate) const override;
    TradeUpdate TradesAfter(const std::string& goodsNo, const std::string& dueDate, std::size_t held,
                            const std::string& lastIdentity) const override;
    std::vector<TradeRow> TradeList() const override { return tradeList; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override;
    /// Settings of the program directory `dir` (made again when `dir` changes) at `scale`.
    const CQeltCFG& Settings() const override;
    IndicatorParameters& EditableIndicators() override;
    void ReportSaveFailed(const std::string& fileName) override {
        MutableSettings().Reports().WriteFailed(fileName);
    }
    /// The settings as the application holds them (a test sets the reports' sink on them).
    CQeltCFG& MutableSettings() {
        Settings();
        return *cfg;
    }
    /// The formulas of `dir` (formula.txt, loaded when first asked for, made again when `dir`
    /// changes) and their parameter values (formulaparam.ini there).
    const FormulaLibrary& Formulas() const override { return MutableFormulas(); }
    FormulaLibrary& MutableFormulas() const;
    std::vector<double> FormulaValues(int id) const override;
    void SetFormulaValues(int id, const std::vector<double>& values) override;
    void AddSelfSelected(const std::string& no, const std::string& due, const std::string& cat) override {
        added.push_back({no, due, cat});
    }
    void RemoveSelfSelected(const std::string& no, const std::string& due, const std::string& cat) override {
        removed.push_back({no, due, cat});
    }
    void PostSwitchView(int kind, int argument) override { switches.emplace_back(kind, argument); }
    void StepGoods(bool forward) override { steps += forward ? 1 : -1; }
    void RefreshStandingRequests() override { ++standingRefreshes; }
    void Send(const std::string& request) override { sent.push_back(request); }
    bool IsOnline() const override { return online; }
    void PushHistory() override { history.emplace_back(selection.goods, selection.category); }
    bool GoBack() override;
    void CommitLines(const std::vector<CMyLine>& before, const std::vector<CMyLine>& after) override;
    std::optional<std::vector<CMyLine>> StepLines(bool redo) override;
    bool CanStepLines(bool redo) const override { return !(redo ? lineRedo : lineUndo).empty(); }

  private:
    mutable std::unique_ptr<CQeltCFG> cfg;
    mutable std::unique_ptr<FormulaLibrary> library;
    mutable std::unique_ptr<FormulaValueTable> formulaValues;
};

}  // namespace qelt::test
