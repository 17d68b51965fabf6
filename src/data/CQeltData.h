#pragma once
/// `CQeltData`: the market data store. The receive thread hands every incoming message to
/// `Dispatch`, which folds it under the store lock and then, with the lock released, sends
/// the requests the fold produced, hands history records on and posts the kind's
/// notification. Every other thread reads copies through the query methods.
///
/// Lists kept:
/// - main goods list: one record per goods_no + due_date in order of first arrival, tag "12";
/// - delivery-month list: copies of main records whose state was "1", tag "0";
/// - contract list: one entry per main record except goods "0009", tag "3";
/// - spot-month / third-month lists: contract entries with state "1" / "2", tags "1" / "2".
/// Every derived entry keeps as its position the index of its main record.
///
/// Week and month series after a "line" reply: the reply replaces the record's day series
/// wholesale (in whichever list its tag names) and empties the record's week and month
/// series, so the next weekly or monthly build starts over from the new day bars. The
/// incremental builds assume that only the newest day bar changed since the previous build,
/// which no longer holds once the whole series was replaced. A view holding its own copy
/// takes a fresh copy (with empty week and month series) after WM_NET_LINE.
///
/// Set the collaborators (Set...) before the receive thread starts; they are not guarded.
#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/GoodsKey.h"
#include "common/Poster.h"
#include "data/CQeltGoods.h"
#include "data/Categories.h"
#include "data/GoodsSummary.h"
#include "data/HistorySink.h"
#include "data/SelfSelected.h"
#include "data/TradeIdentities.h"
#include "net/MessageSink.h"

namespace qelt {

/// One triggered alarm as received; the first text is its increasing numeric id.
using AlarmHitRow = std::vector<std::string>;

/// The last "real"/"hisreal" reply that carried a selector (a past day's trades): the key and
/// selector it carried, and its rows.
struct DetailList {
    std::string key;       ///< goods_no followed by due_date, as the reply carried it
    std::string selector;  ///< "category-date" for a past day's trades
    std::vector<TradeRow> rows;
};

/// Bounds on what a server can make the store hold, far above any real market (a board of a
/// few hundred contracts, a few thousand trades a day each): a broken or hostile server
/// cannot exhaust memory through them.
inline constexpr std::size_t kMaxMainRecords = 20000;
/// A goods at its trade cap gives way to new trades by dropping its oldest tenth at once
/// (the latest trades are the ones the views show; dropping in chunks keeps each reply cheap).
inline constexpr std::size_t kMaxTradesPerGoods = 100000;
inline constexpr std::size_t kMaxAlarmHits = 10000;
/// Category codes (with their names and kinds) kept across replies, "自选" included: each
/// reply appends, so a server repeating its categories cannot grow the tabs or the saved
/// table without end. Records of a reply beyond the bound are not taken in at all.
inline constexpr std::size_t kMaxCategories = 1000;
/// A board record with a price of this magnitude or more is dropped whole: no quote of this
/// market comes near it, single precision cannot tell such prices apart, and its "%.2f" text
/// would run to hundreds of digits (2e260).
inline constexpr double kMaxPriceMagnitude = 1e15;

class CQeltData : public MessageSink {
  public:
    CQeltData(Poster& poster, const MessageTargets& targets);
    ~CQeltData() override;
    CQeltData(const CQeltData&) = delete;
    CQeltData& operator=(const CQeltData&) = delete;

    // ---- collaborators (set before the receive thread starts) ----

    /// Where the paced "line" requests go, and whether the client is online right now
    /// (the settings object owns the flag). Without a sender nothing is sent; without an
    /// online query the store counts as offline.
    void SetSender(MessageSender* sender, std::function<bool()> isOnline);
    void SetSelfSelectedSource(const SelfSelectedSource* source);
    void SetHistorySink(HistorySink* sink);
    /// Called (outside the lock, on the receive thread) when an "alarm" reply added hits:
    /// the application registers a function that posts a refresh to its alarm window.
    void SetAlarmRefresh(std::function<void()> refresh);
    /// Called (outside the lock, on the receive thread) with the code of every "login" reply,
    /// besides WM_NET_LOGIN to the notification window: the verdict of a re-login reaches
    /// the session whatever view is on show.
    void SetLoginVerdict(std::function<void(int code)> verdict);
    /// Called under the store lock for every record that enters a list (a new contract on
    /// the board, a new delivery-month entry, every entry of a rebuilt derived list), once
    /// its list tag, goods_no and due_date are set: the drawn lines' journal gives the record
    /// its saved lines this way, whenever the goods arrives. Same rules as EditGoods' `edit`.
    void SetGoodsEntering(std::function<void(CQeltGoods&)> entering);

    // ---- input ----

    /// Folds one complete message (kind ":" body, UTF-8) under the lock; then, with the lock
    /// released and on the calling thread: sends the collected "line" requests in order
    /// while online (the sender paces them), runs the alarm refresh, hands a "his" body to
    /// the history sink and posts the kind's notification.
    void Dispatch(std::string_view message) override;
    /// Empties the main and derived lists, the category codes, names and name table.
    void Reset();
    /// Everything the store holds back to a new store's state (its collaborators stay): a
    /// process that feeds one store unrelated sessions (the fuzz target) starts each afresh.
    void Clear();
    /// Rebuilds the contract, spot-month and third-month lists from the main list, then
    /// sends (outside the lock, paced by the sender) the "line" requests of new entries.
    void RebuildDerivedLists();

    // ---- queries (copies; any thread) ----

    /// The kind table's flag for the code reads as the integer 1.
    bool IsFlagged(std::string_view goodsNo) const;
    /// Display name of a category code; empty when unknown.
    std::string CategoryName(std::string_view code) const;
    /// The category code at `categoryIndex`; empty when out of range.
    std::string CurrentCategoryCode(int categoryIndex) const;
    /// The record the application shows: by the code at `categoryIndex` ("0000" reads as
    /// `selfSelectedCategory`), the derived-list entry whose position is `goodsIndex`
    /// ("0002" spot month, "0003" delivery month, "0004" third month, "0005" contract),
    /// else the main record at `goodsIndex`; a default record when there is none.
    CQeltGoods CurrentGoods(int categoryIndex, int goodsIndex, std::string_view selfSelectedCategory) const;
    /// New records for the category at `index` (position, name, change, change percent and
    /// the quote fields; everything else as newly constructed). Empty when out of range.
    std::vector<CQeltGoods> GoodsOfCategory(int index) const;

    /// The goods the application shows (as CurrentGoods resolves it) edited in place under
    /// the lock: the views write back what they own in a record (drawn lines, cover mode).
    /// `edit` runs with the store locked: it must not block, send, post or call the store.
    /// False when there is no such record.
    bool EditGoods(int categoryIndex, int goodsIndex, std::string_view selfSelectedCategory,
                   const std::function<void(CQeltGoods&)>& edit);
    /// The first record of the list tagged `tag` ("12", "0", "1", "2", "3") with this
    /// goods_no and due_date, edited in place under the lock (same rules as EditGoods'
    /// `edit`): the drawn lines read from myline.txt go to their goods this way. False when
    /// the tag names no list or the list holds no such record.
    bool EditListedGoods(std::string_view tag, const GoodsKey& goods,
                         const std::function<void(CQeltGoods&)>& edit);
    /// Position, number, month, name and state of every record of `list`, in list order.
    std::vector<GoodsSummary> Summaries(GoodsList list) const;
    /// Calls `visit` for every main record in order, under the lock, without copying: the
    /// exit-time save reads the quote fields this way. Same rules as for EditGoods' `edit`.
    void VisitMain(const std::function<void(const CQeltGoods&)>& visit) const;
    /// Calls `visit` for the main record of `goods`, found through the store's index, under
    /// the lock, without copying (same rules as for VisitMain's `visit`). False when the main
    /// list has no such record.
    bool VisitMainRecord(const GoodsKey& goods, const std::function<void(const CQeltGoods&)>& visit) const;

    /// Whole copies (series included) of a list: for tests and tools (the benchmarks, the
    /// fuzz target), not for views, which read projections.
    std::vector<CQeltGoods> Copy(GoodsList list) const;
    std::vector<CQeltGoods> MainList() const { return Copy(GoodsList::Main); }
    /// The contract of every main / delivery-month record, in list order.
    std::vector<GoodsKey> MainListKeys() const;
    std::vector<GoodsKey> DeliveryMonthKeys() const;
    /// Number of main records.
    std::size_t MainCount() const;

    std::vector<std::string> CategoryCodes() const;
    std::vector<std::string> CategoryNames() const;

    /// price of "综合指数", "生丝指数", "干茧指数".
    std::array<std::string, 3> IndexValues() const;
    std::string Notice() const;
    std::vector<AlarmHitRow> AlarmHits() const;
    /// Rows of the last "real"/"hisreal" reply that had a selector.
    std::vector<TradeRow> TradeList() const;
    /// The same rows with the key and selector of their reply, taken together.
    DetailList LastDetailList() const;
    /// Verdict of the last "login" reply: 0..5, another number the server sent, or
    /// kNoVerdict (-1, net/Replies.h) before any reply and when the reply carried no number.
    /// Anything but 0 is a rejection.
    int LoginCode() const;
    std::string LoginText() const;
    int LoginNumber() const;

  private:
    /// What a fold leaves to do once the lock is released.
    struct Outcome {
        bool post = false;
        unsigned message = 0;
        std::intptr_t wParam = 0;
        std::vector<std::string> requests;
        bool alarmGrew = false;
    };
    using List = std::vector<CQeltGoods>;

    // Handlers; each runs with m_mutex held and fills `out`.
    void FoldLogin(std::string_view body);
    void FoldCategory(std::string_view body);
    void FoldList(std::string_view body, bool online, Outcome& out);
    void FoldLine(std::string_view key, std::string_view tag, BarSeries&& bars);
    void FoldReal(std::string_view body, bool online, Outcome& out);
    void FoldAlarm(std::string_view body, Outcome& out);

    // List folding pieces (CQeltDataList.cpp).
    /// The main record of the key, appended when new; null when the main list is full.
    CQeltGoods* FindOrAddMain(std::string_view goodsNo, std::string_view dueDate);
    void StoreListRecord(CQeltGoods& goods, const std::array<std::string_view, kListFields>& fields);
    void NameMainRecord(CQeltGoods& goods);
    void MirrorDelivery(const CQeltGoods& main, bool online, Outcome& out);

    // Derived lists (CQeltDataDerived.cpp).
    void RebuildDerivedLocked(bool online, std::vector<std::string>& requests);
    void RefreshDerivedLocked();

    List& ListByTag(std::string_view tag);
    std::string CategoryNameLocked(std::string_view code) const;
    bool IsFlaggedLocked(std::string_view goodsNo) const;
    /// The record CurrentGoods copies (in `self`, const or not); null when there is none.
    template <typename Store>
    static auto* ResolveLocked(Store& self, int categoryIndex, int goodsIndex,
                               std::string_view selfSelectedCategory);
    const List& ListOf(GoodsList list) const;
    bool IsOnline() const;
    void Deliver(Outcome& out);
    static std::string KeyOf(std::string_view goodsNo, std::string_view dueDate);

    Poster& m_poster;
    const MessageTargets& m_targets;
    MessageSender* m_sender = nullptr;
    std::function<bool()> m_isOnline;
    const SelfSelectedSource* m_selfSelected = nullptr;
    HistorySink* m_history = nullptr;
    std::function<void()> m_alarmRefresh;
    std::function<void(int)> m_loginVerdict;
    std::function<void(CQeltGoods&)> m_goodsEntering;

    mutable std::mutex m_mutex;  ///< the store lock: guards everything below
    int m_loginCode = -1;
    int m_loginNumber = -1;
    std::string m_loginText;
    std::array<std::string, 2> m_loginSpare;
    std::vector<std::string> m_categoryNames;
    std::vector<std::string> m_categoryCodes;
    std::map<std::string, std::string, std::less<>> m_nameTable;
    std::map<std::string, std::string, std::less<>> m_kindTable;
    List m_main;
    List m_delivery;
    List m_spotMonth;
    List m_thirdMonth;
    List m_contract;
    std::unordered_map<std::string, std::size_t> m_mainIndex;      ///< KeyOf → index in m_main
    std::unordered_map<std::string, std::size_t> m_deliveryIndex;  ///< KeyOf → index in m_delivery
    std::string m_keyBuffer;  ///< reused for look-ups, so folding a known record allocates nothing
    /// Beside m_main by index: the identities of each main record's trades, kept with them
    /// so a "real" reply costs what it carries (rebuilt when they no longer match, as after
    /// Reset).
    std::vector<TradeIdentities> m_mainTradeIds;
    std::vector<TradeRow> m_tradeList;
    std::string m_tradeListKey;       ///< the key of the reply m_tradeList came with
    std::string m_tradeListSelector;  ///< and its selector
    std::vector<AlarmHitRow> m_alarmHits;
    std::string m_notice;
    std::array<std::string, 3> m_indexValues;
};

}  // namespace qelt
