// libFuzzer target: arbitrary bytes as what the quote server sends the client. The stream is
// framed whole and in pieces (both must cut the same messages), converted from GBK and
// dispatched into the store; then every reader of the store runs, the day, week and month
// series of the first main records and the last are built as the K-line view builds them
// (every record is checked), and one input in sixteen also goes through the history database
// (its "his" records stored, the store saved and an offline store loaded back from it).
// Built only with clang (scripts/fuzz-client.sh).
//
// One store, one offline store and one database (in memory) serve every input: each is
// emptied before an input uses it, so an input runs as on a new client without paying for
// one, and tens of thousands of inputs fit in a short run.
//
// Input: byte 0 chooses the mode (bit 0 online; bits 1-3 all set: the database round trip,
// which costs about three times the rest of an input, so the mutator gives it to one mutant
// in sixteen; bits 4-7 the piece size of the second framing, see PieceSize); the rest is the
// stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart/Series.h"
#include "chart/SeriesWindow.h"
#include "common/Gbk.h"
#include "data/CQeltData.h"
#include "data/history/HistoryDatabase.h"
#include "data/history/StoreArchive.h"
#include "net/Framer.h"
#include "net/Replies.h"
#include "net/Requests.h"

namespace {

using namespace qelt;

class NullPoster : public Poster {
  public:
    void PostWindowMessage(WindowId, unsigned, std::intptr_t, std::intptr_t) override {}
    void PostThreadMessage(unsigned, std::intptr_t, std::intptr_t) override {}
};

class NullSender : public MessageSender {
  public:
    void Send(const std::string&) override {}
};

/// Two self-selected entries, one of them of a contract the seeds use.
class FixedSelfSelected : public SelfSelectedSource {
  public:
    std::vector<SelfSelectedEntry> ReadSelfSelected() const override {
        return {{{"0112", "20270125"}, "0001"}, {{"0131", "20270525"}, "0005"}};
    }
};

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

/// The second framing's piece size for bits 4-7 of the mode byte: 0 whole; 1-3 bytes, so
/// that a terminator straddles pieces at every offset; beyond that sizes that grow with the
/// square (256 up to 3,600 bytes).
size_t PieceSize(std::uint8_t mode) {
    const size_t code = mode >> 4;
    return code <= 3 ? code : code * code * 16;
}

/// Pieces of 1-3 bytes cut only the first bytes of a stream: past them a terminator has been
/// split at every offset already, and feeding a long stream a byte at a time would spend most
/// of the run in the framer. The rest goes in pieces of a prime size, so terminators still
/// fall across piece borders.
constexpr size_t kSmallPieceSpan = 256;
constexpr size_t kLaterPiece = 251;

/// Feeds `stream` to `framer` in pieces of `piece` bytes (0: whole) and hands each message
/// to `take`.
template <class Take>
void Frame(Framer& framer, std::string_view stream, size_t piece, Take take) {
    framer.Reset();
    for (size_t at = 0; at < stream.size();) {
        size_t step = piece == 0 ? stream.size() : piece;
        if (step < kLaterPiece && at >= kSmallPieceSpan) step = kLaterPiece;
        if (!framer.Feed(stream.substr(at, step))) break;
        at += step;
        std::string_view message;
        while (framer.Next(message)) {
            // Compared a character at a time: find would call memcmp at every '|', and each
            // call goes through the sanitizer's and libFuzzer's hooks.
            Check(!message.empty() && std::search(message.begin(), message.end(), kTerminator.begin(),
                                                  kTerminator.end()) == message.end());
            take(message);
        }
    }
}

/// Main records whose day, week and month series ReadEverything builds, besides the last.
constexpr size_t kBuiltRecords = 4;

/// What the views do with the store: every query, then the records' periods.
void ReadEverything(CQeltData& data) {
    const std::vector<std::string> codes = data.CategoryCodes();
    Check(codes.size() <= kMaxCategories && data.CategoryNames().size() == codes.size());
    // Every category is read the same way: the first, the last and the two out of range are
    // enough, and an input with many categories does not pay for each.
    const int count = static_cast<int>(codes.size());
    std::vector<int> read{-1, 0};
    if (count > 1) read.push_back(count - 1);
    if (count > 0) read.push_back(count);
    for (int i : read) {
        for (const CQeltGoods& row : data.GoodsOfCategory(i)) Check(row.series.empty() && row.trades.empty());
        data.CurrentGoods(i, 0, "0005");
        data.CurrentGoods(i, 1, "0001");
        data.CategoryName(data.CurrentCategoryCode(i));
    }
    data.IndexValues();
    data.Notice();
    data.AlarmHits();
    data.TradeList();
    data.IsFlagged("0101");
    // The derived lists as the list views read them. Whole copies, series and all, were only
    // made and dropped: the series builds below run on main records.
    for (GoodsList list :
         {GoodsList::Delivery, GoodsList::SpotMonth, GoodsList::ThirdMonth, GoodsList::Contract})
        for (const GoodsSummary& row : data.Summaries(list))
            Check(row.goods_no.size() <= kMaxShortField && row.due_date.size() <= kMaxShortField);
    std::vector<CQeltGoods> main = data.MainList();
    Check(main.size() <= kMaxMainRecords && main.size() == data.MainCount());
    for (size_t index = 0; index < main.size(); ++index) {
        CQeltGoods& goods = main[index];
        for (size_t n = 1; n <= kListFields; ++n) Check((goods.*ListField(n)).size() <= kMaxShortField);
        Check(goods.trades.size() <= kMaxTradesPerGoods);
        // Every record's series goes through the same builds: the first few and the last
        // reach them all (an input puts the series it means anywhere among these), and an
        // input with a long board does not pay for each.
        if (index >= kBuiltRecords && index + 1 != main.size()) continue;
        for (int period : {kPeriodDay, kPeriodWeek, kPeriodMonth}) {
            SeriesWindow window;
            window.period = period;
            StartWindow(window);
            BarSeries shown = LoadSeries(goods, window);
            Check(window.lastVisible < static_cast<int>(shown.size()) &&
                  window.visibleCount <= static_cast<int>(shown.size()) + 100);
        }
        // The incremental builds after today's bar moved on.
        goods.last_date = "20270126";
        if (!goods.series.empty()) goods.series.back().Set(kBarNum, "7");
        BuildWeekly(goods);
        BuildMonthly(goods);
        HighestClose(goods);
        LowestClose(goods);
    }
}

/// The collaborators and the stores every input shares.
struct Client {
    Client() {
        targets.notification = 1;
        targets.passwordDialog = 2;
        data.SetSender(&sender, [this] { return online; });
        data.SetSelfSelectedSource(&selfSelected);
    }
    NullPoster poster;
    NullSender sender;
    MessageTargets targets;
    FixedSelfSelected selfSelected;
    bool online = false;
    CQeltData data{poster, targets};
    CQeltData offline{poster, targets};
    HistoryDatabase db = HistoryDatabase::InMemory();
    Framer whole{64 * 1024};
    Framer pieces{64 * 1024};
    std::vector<std::string_view> messages;
};

/// Saves the store as an exit while online does, and loads an empty store from it.
void RoundTrip(Client& client) {
    SaveStoreToHistory(client.db, client.data);
    client.offline.Clear();
    LoadStoreFromHistory(client.db, client.offline);
    ReadEverything(client.offline);
}

/// Bits 1-3 of the mode byte: all set, the input takes the database round trip.
constexpr std::uint8_t kDatabaseBits = 0x0e;

}  // namespace

extern "C" size_t LLVMFuzzerMutate(std::uint8_t* bytes, size_t size, size_t maxSize);

/// libFuzzer's own mutations, then the database bits drawn afresh: one mutant in sixteen
/// takes the round trip whatever its parent did. Inputs that take it reach more code, so more of
/// them are kept, and a mutant inherits its parent's mode byte: left alone, the corpus drifts
/// to nine inputs in ten taking the round trip, and the run spends most of its time there.
extern "C" size_t LLVMFuzzerCustomMutator(std::uint8_t* bytes, size_t size, size_t maxSize, unsigned seed) {
    size = LLVMFuzzerMutate(bytes, size, maxSize);
    if (size == 0) return size;
    const bool roundTrip = ((seed >> 8) & 0x0f) == 0;
    bytes[0] = static_cast<std::uint8_t>(roundTrip ? bytes[0] | kDatabaseBits : bytes[0] & ~kDatabaseBits);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static Client client;
    if (size == 0) return 0;
    const std::uint8_t mode = bytes[0];
    const std::string_view stream(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    const bool withDatabase = (mode & kDatabaseBits) == kDatabaseBits;
    const size_t piece = PieceSize(mode);

    // The whole stream is fed at once, so the messages it cuts stay valid for the input.
    std::vector<std::string_view>& messages = client.messages;
    messages.clear();
    Frame(client.whole, stream, 0, [&](std::string_view message) { messages.push_back(message); });
    size_t matched = 0;
    Frame(client.pieces, stream, piece, [&](std::string_view message) {
        Check(matched < messages.size() && messages[matched] == message);
        ++matched;
    });
    Check(matched == messages.size());

    client.online = mode & 1;
    client.data.Clear();
    client.data.SetHistorySink(withDatabase ? &client.db : nullptr);
    if (withDatabase) client.db.Reset();
    for (std::string_view message : messages) client.data.Dispatch(GbkToUtf8(message));
    ReadEverything(client.data);
    if (withDatabase) RoundTrip(client);
    return 0;
}
