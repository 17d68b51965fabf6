#pragma once
// ViewServices over plain vectors that records what a view asks of the application, and a
// ViewHost that records repaints and answers popups and the wizard from a script.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/ProgramDir.h"
#include "data/settings/CQeltCFG.h"
#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt::test {

inline CQeltGoods MakeGoods(const std::string& goodsNo, const std::string& dueDate, const std::string& price,
                            const std::string& preClose, int position) {
    CQeltGoods g;
    g.goods_no = goodsNo;
    g.due_date = dueDate;
    g.name = "桑蚕丝-" + dueDate.substr(dueDate.size() > 2 ? 2 : 0);
    g.price = price;
    g.pre_close = preClose;
    g.state = "3";
    g.last_section = "4";
    g.last_price = price;
    g.open_price = preClose;
    g.lowest_price = preClose;
    g.highest_price = price;
    g.all_num = "120";
    g.pure_num = "300";
    g.null_num = "450";
    g.last_invest_input = "11";
    g.last_sale_input = "12";
    g.invest_price = price;
    g.sale_price = price;
    g.invest_input = "5";
    g.sale_input = "6";
    g.newest_price = price;
    g.all_num_d = "7";
    g.position = position;
    return g;
}

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

    ViewSelection& Selection() override { return selection; }
    const ViewSelection& Selection() const override { return selection; }
    std::vector<std::string> CategoryCodes() const override { return codes; }
    std::vector<std::string> CategoryNames() const override { return names; }
    std::vector<CQeltGoods> GoodsOfCategory(int index) const override {
        auto it = goods.find(index);
        return it == goods.end() ? std::vector<CQeltGoods>{} : it->second;
    }
    std::vector<GoodsSummary> MainSummaries() const override {
        std::vector<GoodsSummary> out;
        for (const CQeltGoods& g : mainList) out.push_back(SummaryOf(g));
        return out;
    }
    bool IsFlagged(std::string_view goodsNo) const override {
        for (const auto& f : flagged)
            if (f == goodsNo) return true;
        return false;
    }
    CQeltGoods CurrentGoods() const override {
        if (selection.goods >= 0 && static_cast<size_t>(selection.goods) < mainList.size())
            return mainList[static_cast<size_t>(selection.goods)];
        return {};
    }
    std::optional<CQeltGoods> GoodsQuote(const std::string& goodsNo,
                                         const std::string& dueDate) const override {
        for (const CQeltGoods& g : mainList) {
            if (g.goods_no != goodsNo || g.due_date != dueDate) continue;
            CQeltGoods quote = g;
            quote.trades.clear();
            quote.series.clear();
            return quote;
        }
        return std::nullopt;
    }
    TradeUpdate TradesAfter(const std::string& goodsNo, const std::string& dueDate, std::size_t held,
                            const std::string& lastIdentity) const override {
        ++tradeFetches;
        TradeUpdate update;
        for (const CQeltGoods& g : mainList) {
            if (g.goods_no != goodsNo || g.due_date != dueDate) continue;
            update.found = true;
            const bool continues =
                held > 0 && held <= g.trades.size() && IdentityOf(g.trades[held - 1]) == lastIdentity;
            update.restart = !continues;
            update.rows.assign(g.trades.begin() + static_cast<std::ptrdiff_t>(continues ? held : 0),
                               g.trades.end());
            return update;
        }
        return update;
    }
    std::vector<TradeRow> TradeList() const override { return tradeList; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override {
        if (selection.goods >= 0 && static_cast<size_t>(selection.goods) < mainList.size())
            edit(mainList[static_cast<size_t>(selection.goods)]);
    }
    CQeltCFG& Settings() override {
        if (!cfg || cfg->ProgramDirectory() != WithTrailingSlash(dir)) {
            cfg = std::make_unique<CQeltCFG>(dir);
        }
        if (cfg->DisplayScale() != scale) cfg->SetDisplayScale(scale);
        return *cfg;
    }
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
    bool GoBack() override {
        if (history.size() < 2) return false;
        history.pop_back();
        selection.goods = history.back().first;
        selection.category = history.back().second;
        return true;
    }
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
    void CommitLines(const std::vector<CMyLine>& before, const std::vector<CMyLine>& after) override {
        EditCurrentGoods([&after](CQeltGoods& g) { g.lines = after; });
        lineCommits.push_back({before, after});
        lineUndo.push_back({before, after});
        lineRedo.clear();
    }
    std::optional<std::vector<CMyLine>> StepLines(bool redo) override {
        std::vector<LineStep>& from = redo ? lineRedo : lineUndo;
        if (from.empty()) return std::nullopt;
        LineStep step = from.back();
        from.pop_back();
        (redo ? lineUndo : lineRedo).push_back(step);
        const std::vector<CMyLine> lines = redo ? step.after : step.before;
        EditCurrentGoods([&lines](CQeltGoods& g) { g.lines = lines; });
        return lines;
    }
    bool CanStepLines(bool redo) const override { return !(redo ? lineRedo : lineUndo).empty(); }

  private:
    std::unique_ptr<CQeltCFG> cfg;
};

/// A host that records what the view asks and answers from a script.
class FakeViewHost : public ViewHost {
  public:
    Size client{1000, 600};
    int invalidations = 0;
    CursorShape cursor = CursorShape::Arrow;
    std::vector<Point> pointerMoves;
    std::vector<PopupMenu> menus;
    int menuAnswer = 0;
    std::vector<std::string> wizardTyped;
    int wizardAnswer = -1;
    std::vector<int> indicatorDialogs;
    bool confirmAnswer = true;
    std::vector<std::string> messages;
    std::map<int, Rect> overlays;
    std::map<int, OverlayPainter> overlayPainters;
    std::map<int, bool> overlayDraggable;

    Size ClientSize() const override { return client; }
    void Invalidate() override { ++invalidations; }
    void SetCursorShape(CursorShape shape) override { cursor = shape; }
    void MovePointer(Point p) override { pointerMoves.push_back(p); }
    int ShowPopupMenu(const PopupMenu& menu, Point) override {
        menus.push_back(menu);
        return menuAnswer;
    }
    int RunKeyboardWizard(const std::string& typed) override {
        wizardTyped.push_back(typed);
        return wizardAnswer;
    }
    bool RunIndicatorDialog(int code) override {
        indicatorDialogs.push_back(code);
        return true;
    }
    bool Confirm(const std::string& text, const std::string&) override {
        messages.push_back(text);
        return confirmAnswer;
    }
    void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
    void ShowOverlay(int id, const Rect& where, OverlayPainter painter, bool draggable) override {
        overlays[id] = where;
        overlayPainters[id] = std::move(painter);
        overlayDraggable[id] = draggable;
    }
    void HideOverlay(int id) override { overlays.erase(id); }
};

}  // namespace qelt::test
