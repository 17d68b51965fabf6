// libFuzzer target: arbitrary bytes as what the quote server sends the client. The stream is
// framed whole and in pieces (both must cut the same messages), converted from GBK and
// dispatched into the store; then every reader of the store runs, the day, week and month
// series of every record are built as the K-line view builds them, and one input in four
// also goes through the history database (its "his" records stored, the store saved and an
// offline store loaded back from it). Built only with clang (scripts/fuzz-client.sh).
//
// One store, one offline store and one database (in memory) serve every input: each is
// emptied before an input uses it, so an input runs as on a new client without paying for
// one, and tens of thousands of inputs fit in a short run.
//
// Input: byte 0 chooses the mode (bit 0 online, bit 1 database round trip when bit 2 is
// also set, bits 3-7 the piece size of the second framing); the rest is the stream.
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
        return {{"0112", "20270125", "0001"}, {"0131", "20270525", "0005"}};
    }
};

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

/// Messages of `stream` cut by one framer fed in pieces of `piece` bytes (0: whole).
std::vector<std::string> Frame(std::string_view stream, size_t piece) {
    std::vector<std::string> out;
    Framer framer(64 * 1024);
    size_t step = piece == 0 ? stream.size() : piece;
    for (size_t at = 0; at < stream.size(); at += step) {
        if (!framer.Feed(stream.substr(at, step))) break;
        std::string_view message;
        while (framer.Next(message)) {
            Check(!message.empty() && message.find(kTerminator) == std::string_view::npos);
            out.emplace_back(message);
        }
    }
    return out;
}

/// What the views do with the store: every query, then each record's periods.
void ReadEverything(CQeltData& data) {
    const std::vector<std::string> codes = data.CategoryCodes();
    Check(codes.size() <= kMaxCategories && data.CategoryNames().size() == codes.size());
    for (int i = -1; i <= static_cast<int>(codes.size()); ++i) {
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
    data.Copy(GoodsList::Delivery);
    data.Copy(GoodsList::SpotMonth);
    data.Copy(GoodsList::ThirdMonth);
    data.Copy(GoodsList::Contract);
    std::vector<CQeltGoods> main = data.MainList();
    Check(main.size() <= kMaxMainRecords && main.size() == data.MainCount());
    for (CQeltGoods& goods : main) {
        for (size_t n = 1; n <= kListFields; ++n) Check((goods.*ListField(n)).size() <= kMaxShortField);
        Check(goods.trades.size() <= kMaxTradesPerGoods);
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
};

/// Saves the store as an exit while online does, and loads an empty store from it.
void RoundTrip(Client& client) {
    SaveStoreToHistory(client.db, client.data);
    client.offline.Clear();
    LoadStoreFromHistory(client.db, client.offline);
    ReadEverything(client.offline);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static Client client;
    if (size == 0) return 0;
    const std::uint8_t mode = bytes[0];
    const std::string_view stream(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    const bool withDatabase = (mode & 6) == 6;
    const size_t piece = mode >> 3;

    std::vector<std::string> messages = Frame(stream, 0);
    Check(Frame(stream, piece) == messages);

    client.online = mode & 1;
    client.data.Clear();
    client.data.SetHistorySink(withDatabase ? &client.db : nullptr);
    if (withDatabase) client.db.Reset();
    for (const std::string& message : messages) client.data.Dispatch(GbkToUtf8(message));
    ReadEverything(client.data);
    if (withDatabase) RoundTrip(client);
    return 0;
}
