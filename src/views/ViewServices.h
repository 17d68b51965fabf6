#pragma once
/// What the views ask of the application: the selection they share, the store's read API,
/// the settings, view switching, goods navigation and the connection. The application
/// context implements it with the real store and settings; tests with a fake over plain
/// vectors.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/GoodsKey.h"
#include "data/CQeltGoods.h"
#include "data/Categories.h"
#include "data/GoodsSummary.h"
#include "data/settings/CQeltCFG.h"
#include "formula/FormulaLibrary.h"
#include "views/BoardSort.h"
#include "views/PastMinuteDays.h"

namespace qelt {

struct TradeMarks;

/// The selection every view shares. The category and goods indices follow the store's lists;
/// the self-selected code says under which category the entry chosen in the self-selected
/// list was added ("0001" or "0005").
struct ViewSelection {
    int category = 0;  ///< index into the store's category list
    int goods = 0;     ///< position in the store's main goods list
    std::string selfSelectedCategory{kAllGoodsCode};
    std::string spareText;     ///< emptied whenever a view sets the current goods
    std::string dayQualifier;  ///< first field of the standing "real" request
    /// The board's sort, kept for the run: every board made after a view switch starts with it.
    BoardSort boardSort;
    /// Where the last board was left: the next one comes back there.
    BoardPlace boardPlace;
};

/// A trade's identity: its 8th text (empty when the row is shorter).
inline std::string_view IdentityOf(const TradeRow& row) {
    return row.size() > 7 ? std::string_view(row[7]) : std::string_view();
}

/// What a view holding some of a contract's trades lacks (TradesAfter).
struct TradeUpdate {
    bool found = false;    ///< the main list holds the contract
    bool restart = false;  ///< `rows` are all the trades: drop what was held
    std::vector<TradeRow> rows;
};

class ViewServices {
  public:
    virtual ~ViewServices() = default;

    // ---- selection ----
    virtual ViewSelection& Selection() = 0;
    virtual const ViewSelection& Selection() const = 0;
    /// Makes `goodsIndex` the current goods and empties the spare text.
    void SelectGoods(int goodsIndex) {
        Selection().goods = goodsIndex;
        Selection().spareText.clear();
    }

    // ---- the store (copies and projections) ----
    virtual std::vector<std::string> CategoryCodes() const = 0;
    virtual std::vector<std::string> CategoryNames() const = 0;
    /// The code of the current category; empty when out of range.
    std::string CurrentCategoryCode() const;
    /// Rows of the category at `index`: quote fields, name, change figures; no series.
    virtual std::vector<CQeltGoods> GoodsOfCategory(int index) const = 0;
    /// Position, number, month, name and state of every main record (the keyboard wizard).
    virtual std::vector<GoodsSummary> MainSummaries() const = 0;
    virtual bool IsFlagged(std::string_view goodsNo) const = 0;
    /// A copy of the goods the selection points at, with its series and trades.
    virtual CQeltGoods CurrentGoods() const = 0;
    /// Quote fields, name, change figures, position and flagged mark of the main record of
    /// `goods`, without series or trades; nothing when the main list has none.
    /// (A derived-list entry holds no trades: the trades of a contract are its main record's.)
    virtual std::optional<CQeltGoods> GoodsQuote(const GoodsKey& goods) const = 0;
    /// The trades of the main record of `goods` that a view holding the first `held`
    /// of them lacks: the rows after them while the record's row `held` - 1 still has the
    /// identity (8th text) `lastIdentity`; otherwise (the store dropped old trades, or the
    /// view held none) all rows, with `restart` set. Copies only what is new, so following a
    /// contract with a hundred thousand trades costs what arrived.
    virtual TradeUpdate TradesAfter(const GoodsKey& goods, std::size_t held,
                                    const std::string& lastIdentity) const = 0;
    /// Rows of the last "real"/"hisreal" reply that carried a selector (a past day's trades
    /// for the history review).
    virtual std::vector<TradeRow> TradeList() const = 0;
    /// Applies `edit` to the stored goods the selection points at, under the store lock
    /// (view-owned state: drawn lines, cover mode). `edit` must not block or call back.
    virtual void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) = 0;

    // ---- drawn lines of the goods on show (the application keeps their history) ----
    /// A completed drawing edit: `after` becomes the goods' lines in the store and, written at
    /// once, in myline.txt; the edit goes on the goods' undo history with `before`, the lines
    /// it started from. Without a journal the store alone takes the lines.
    virtual void CommitLines(const std::vector<CMyLine>& before, const std::vector<CMyLine>& after) {
        (void)before;
        EditCurrentGoods([&after](CQeltGoods& goods) { goods.lines = after; });
    }
    /// Undoes (redo = false) or redoes the goods' last drawing edit; the lines it leaves
    /// (already in the store and the file), nothing when there is no such edit.
    virtual std::optional<std::vector<CMyLine>> StepLines(bool redo) {
        (void)redo;
        return std::nullopt;
    }
    virtual bool CanStepLines(bool redo) const {
        (void)redo;
        return false;
    }
    /// The same for the goods' lines on its `minutes`-minute bars, whose anchors carry minute
    /// stamps (MinuteLineAnchors.h) and which live in myline.txt beside the others. Without a
    /// journal none are kept.
    virtual std::vector<CMyLine> MinuteLines(int minutes) const {
        (void)minutes;
        return {};
    }
    virtual void CommitMinuteLines(int minutes, const std::vector<CMyLine>& before,
                                   const std::vector<CMyLine>& after) {
        (void)minutes;
        (void)before;
        (void)after;
    }
    virtual std::optional<std::vector<CMyLine>> StepMinuteLines(int minutes, bool redo) {
        (void)minutes;
        (void)redo;
        return std::nullopt;
    }
    virtual bool CanStepMinuteLines(int minutes, bool redo) const {
        (void)minutes;
        (void)redo;
        return false;
    }

    // ---- settings ----
    /// Read only: a view changes no shared setting, and reads what it keeps of its own (pane
    /// layout, logarithmic scale, chart period, column table, multi-goods choices) from
    /// `Settings().Views()`,
    /// which holds it for the whole run; never from the files.
    virtual const CQeltCFG& Settings() const = 0;
    /// What a view keeps of its own, to change: each change holds for the run and is written
    /// to its file at once (a failure is told once a run by the settings).
    virtual ViewSettings& EditableViewSettings() = 0;
    /// The indicator parameters, for the indicator dialog the host window runs (it edits them
    /// and then SaveIndicators); the views read them through Settings().
    virtual IndicatorParameters& EditableIndicators() = 0;
    /// Writes the indicator parameters to indi.ini; false when they were not written (they
    /// hold for the run; a failure is told once a run).
    virtual bool SaveIndicators() = 0;
    /// A settings file of the application's (`fileName`) could not be written: the user is
    /// told once this run; the value stays in memory.
    virtual void ReportSaveFailed(const std::string& fileName) = 0;
    /// mylist.ini: adds the entry unless an equal one is there / removes entries equal in all
    /// three texts.
    virtual void AddSelfSelected(const GoodsKey& goods, const std::string& category) = 0;
    virtual void RemoveSelfSelected(const GoodsKey& goods, const std::string& category) = 0;
    /// Removes the contract from the self-selected list whichever category it was added
    /// under ("0001" or "0005"): the list itself does not show which.
    void RemoveFromSelfSelected(const GoodsKey& goods) {
        RemoveSelfSelected(goods, std::string(kAllGoodsCode));
        RemoveSelfSelected(goods, std::string(kContractCode));
    }

    // ---- the user's formulas ----
    /// The user's formulas (formula.txt), read only: the K-line view's menu lists them and a
    /// pane draws the one it shows; the editor (工具 → 公式管理) changes them. Its Revision
    /// tells a view that keeps a drawing when to draw again. Empty without an application.
    virtual const FormulaLibrary& Formulas() const;
    /// The parameter values every pane computes formula `id` with (the values set for it, or
    /// its defaults: FormulaValueTable::ValuesFor); empty when the library has no such formula.
    virtual std::vector<double> FormulaValues(int id) const {
        (void)id;
        return {};
    }
    /// The formula's parameter dialog confirmed `values` for formula `id`: they hold for every
    /// pane from now on and are kept in formulaparam.ini; a file that cannot be written is
    /// reported once, the values lasting until the program ends.
    virtual void SetFormulaValues(int id, const std::vector<double>& values) {
        (void)id;
        (void)values;
    }

    // ---- the trades of a system under test (交易评测 → 在图上显示) ----
    /// The trades the K-line chart of their contract and period marks; nothing while none
    /// are on. Each change is a new object, so a view that keeps a drawing compares pointers.
    virtual std::shared_ptr<const TradeMarks> ChartTradeMarks() const { return nullptr; }
    /// 取消交易标记: the marks come off.
    virtual void ClearChartTradeMarks() {}

    // ---- the application ----
    /// Posts `message` to the view on show from any thread (a worker's result is ready): it
    /// arrives as OnNotify on the interface thread, after what is queued before it. Nothing
    /// without an application.
    virtual void PostViewMessage(unsigned message, std::intptr_t wParam) {
        (void)message;
        (void)wParam;
    }
    /// Posts WM_SWITCH_VIEW (kind, argument) to the application thread.
    virtual void PostSwitchView(int kind, int argument) = 0;
    /// Steps the current goods within the current category's list (上一个 / 下一个).
    virtual void StepGoods(bool forward) = 0;
    /// Sends the standing requests of the view on show again (after its goods changed).
    virtual void RefreshStandingRequests() = 0;
    /// One command to the server, paced behind the others; never waits.
    virtual void Send(const std::string& request) = 0;
    virtual bool IsOnline() const = 0;
    /// Says in the frame's status bar what the user cannot see otherwise.
    virtual void ShowStatus(const std::string& text) { (void)text; }
    /// The past days' minute bars (kept in the history database, asked of the server).
    virtual PastMinuteDays& MinuteHistory() {
        static NoPastMinuteDays none;
        return none;
    }
    /// The connection was lost and is being tried again: the quotes on show are not live.
    virtual bool QuotesStale() const { return false; }

    // ---- navigation history (goods and category pairs) ----
    /// Appends the current pair unless the newest entry has the same goods.
    virtual void PushHistory() = 0;
    /// With two entries or more: drops the newest and makes the one before it current.
    virtual bool GoBack() = 0;
};

inline const FormulaLibrary& ViewServices::Formulas() const {
    static const FormulaLibrary kNone("");  // never loaded: no formulas
    return kNone;
}

inline std::string ViewServices::CurrentCategoryCode() const {
    const std::vector<std::string> codes = CategoryCodes();
    const int index = Selection().category;
    if (index < 0 || static_cast<std::size_t>(index) >= codes.size()) return {};
    return codes[static_cast<std::size_t>(index)];
}

}  // namespace qelt
