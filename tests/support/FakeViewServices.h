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
#include "support/QueuePoster.h"
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

/// Past days' minute bars held in memory: what each period keeps (all days), the wishes the
/// charts made, and whether the next past-day reply is the minute history's.
class FakePastMinuteDays : public PastMinuteDays {
  public:
    BarSeries KeptBars(const GoodsKey&, int minutes, std::int64_t fromDate) const override {
        BarSeries bars;
        const auto found = kept.find(minutes);
        if (found == kept.end()) return bars;
        for (const CBarRow& bar : found->second)
            if (bar.Date() >= fromDate) bars.push_back(bar);
        return bars;
    }
    void Want(const GoodsKey& contract, const std::string& categoryCode,
              const std::vector<std::int64_t>& dates) override {
        wishes.push_back({contract, categoryCode, dates});
    }
    bool TakeReply() override {
        ++replies;
        return nextReplyIsOurs;
    }
    void Passing() override { ++passing; }
    void Stop() override { ++stops; }
    std::uint64_t Revision() const override { return revision; }
    bool HasKeptDays(const GoodsKey&) const override {
        for (const auto& [minutes, bars] : kept)
            if (!bars.empty()) return true;
        return false;
    }

    struct Wish {
        GoodsKey contract;
        std::string categoryCode;
        std::vector<std::int64_t> dates;
    };
    std::map<int, BarSeries> kept;  ///< by the period's minutes
    std::vector<Wish> wishes;
    bool nextReplyIsOurs = false;
    int replies = 0, passing = 0, stops = 0;
    std::uint64_t revision = 0;
};

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
    bool stale = false;
    double scale = 1.0;
    std::string dir = "/nonexistent/";
    std::vector<std::pair<int, int>> history;
    std::vector<TradeRow> tradeList;  ///< the store's trade list (a past day's trades)
    mutable int tradeFetches = 0;
    QueuePoster viewMessages;  ///< what PostViewMessage posted

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
    std::optional<CQeltGoods> GoodsQuote(const GoodsKey& goods) const override;
    TradeUpdate TradesAfter(const GoodsKey& goods, std::size_t held,
                            const std::string& lastIdentity) const override;
    std::vector<TradeRow> TradeList() const override { return tradeList; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override;
    /// Settings of the program directory `dir` (made again when `dir` changes or at
    /// RestartSettings) at `scale`.
    const CQeltCFG& Settings() const override;
    IndicatorParameters& EditableIndicators() override;
    bool SaveIndicators() override { return MutableSettings().SaveIndicators(); }
    ViewSettings& EditableViewSettings() override { return MutableSettings().Views(); }
    /// A new run over the same program directory: the settings are read from the files again
    /// at the next ask (as a restart of the client would). The old ones stay alive for views
    /// made before, which may still hold them.
    void RestartSettings() {
        if (cfg) earlierRuns.push_back(std::move(cfg));
    }
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
    void AddSelfSelected(const GoodsKey& goods, const std::string& cat) override {
        added.push_back({goods.goodsNo, goods.dueDate, cat});
    }
    void RemoveSelfSelected(const GoodsKey& goods, const std::string& cat) override {
        removed.push_back({goods.goodsNo, goods.dueDate, cat});
    }
    void PostSwitchView(int kind, int argument) override { switches.emplace_back(kind, argument); }
    /// From any thread: queued for the test to wait on and hand to the view (OnNotify).
    void PostViewMessage(unsigned message, std::intptr_t wParam) override {
        viewMessages.PostWindowMessage(kNoWindow, message, wParam, 0);
    }
    void StepGoods(bool forward) override { steps += forward ? 1 : -1; }
    void RefreshStandingRequests() override { ++standingRefreshes; }
    void Send(const std::string& request) override { sent.push_back(request); }
    bool IsOnline() const override { return online; }
    bool QuotesStale() const override { return stale; }
    void PushHistory() override { history.emplace_back(selection.goods, selection.category); }
    bool GoBack() override;
    void CommitLines(const std::vector<CMyLine>& before, const std::vector<CMyLine>& after) override;
    std::optional<std::vector<CMyLine>> StepLines(bool redo) override;
    bool CanStepLines(bool redo) const override { return !(redo ? lineRedo : lineUndo).empty(); }

    /// The trades 在图上显示 put on the chart (交易评测).
    std::shared_ptr<const TradeMarks> tradeMarks;
    std::shared_ptr<const TradeMarks> ChartTradeMarks() const override { return tradeMarks; }
    void ClearChartTradeMarks() override { tradeMarks.reset(); }
    // Lines of the minute periods (stamped anchors) by the period's minutes, whatever goods is
    // current, and every commit of them.
    std::map<int, std::vector<CMyLine>> minuteLines;
    std::vector<std::pair<int, LineStep>> minuteLineCommits;
    std::vector<CMyLine> MinuteLines(int minutes) const override {
        const auto found = minuteLines.find(minutes);
        return found == minuteLines.end() ? std::vector<CMyLine>{} : found->second;
    }
    void CommitMinuteLines(int minutes, const std::vector<CMyLine>& before,
                           const std::vector<CMyLine>& after) override {
        minuteLines[minutes] = after;
        minuteLineCommits.push_back({minutes, {before, after}});
    }
    std::vector<std::string> statuses;  ///< what the view said in the status bar
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    FakePastMinuteDays pastDays;
    PastMinuteDays& MinuteHistory() override { return pastDays; }

  private:
    mutable std::unique_ptr<CQeltCFG> cfg;
    std::vector<std::unique_ptr<CQeltCFG>> earlierRuns;
    mutable std::unique_ptr<FormulaLibrary> library;
    mutable std::unique_ptr<FormulaValueTable> formulaValues;
};

}  // namespace qelt::test
