// The past days of a minute chart: one past-day request at a time, newest day first, each
// reply kept in the history database and never asked again (in this run or the next), the
// user's own past-day replies left alone, silence and offline handled, progress said.
#include <gtest/gtest.h>

#include "app/MinuteHistoryFlow.h"
#include "chart/MinuteBars.h"
#include "common/Split.h"
#include "data/CQeltData.h"
#include "data/history/HistoryDatabase.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"
#include "support/TradeRows.h"

namespace qelt {
namespace {

const GoodsKey kContract{"0131", "20260624"};

/// A day's continuous trades as the wire carries them: "f|f|...||".
std::string TradesText(std::int64_t date, int count, double base) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const TradeRow row =
            test::Flagged(i, static_cast<int>(date), 90000 + i * 700, base + (i % 5) * 0.01, (i + 1) * 3);
        for (const std::string& field : row) text += field + "|";
        text += "|";
    }
    return text;
}

/// The flow over a real store (fed the server's replies) and a history database.
struct Bench {
    explicit Bench(MinuteArchive* archive)
        : flow(archive, {[this](const std::string& r) { sent.push_back(r); }, [this] { return online; },
                         [this](const std::string& text) { status.push_back(text); },
                         [this] { return store.LastDetailList(); }}) {}

    /// The server's answer to the past-day request of `date`, stored as the receive thread
    /// stores it; then the notification reaches the flow.
    bool Answer(std::int64_t date, int trades = 12, const std::string& category = "0131") {
        store.Dispatch("hisreal:" + kContract.goodsNo + kContract.dueDate + ":" + category + "-" +
                       FormatInt(date) + ":" +
                       TradesText(date, trades, 16.0 + static_cast<double>(date % 7)));
        return flow.TakeReply();
    }

    test::QueuePoster poster;
    MessageTargets targets;
    CQeltData store{poster, targets};
    std::vector<std::string> sent;
    std::vector<std::string> status;
    bool online = true;
    MinuteHistoryFlow flow;
};

std::string Request(std::int64_t date) { return "real:0131-" + FormatInt(date) + ":0131:20260624:8:"; }

TEST(MinuteHistoryFlow, AsksOneDayAtATimeNewestFirstAndKeepsEachAsItsTradesMakeIt) {
    HistoryDatabase db = HistoryDatabase::InMemory();
    Bench bench(&db);
    bench.flow.Want(kContract, "0131", {20260305, 20260304, 20260303});
    EXPECT_EQ(bench.sent, (std::vector<std::string>{Request(20260305)})) << "one request, the newest day";
    EXPECT_EQ(bench.status.back(), "下载分钟线 1/3 天");
    bench.flow.Want(kContract, "0131", {20260305, 20260304, 20260303});  // the chart reloads
    EXPECT_EQ(bench.sent.size(), 1u);

    ASSERT_TRUE(bench.Answer(20260305));
    EXPECT_EQ(bench.sent.back(), Request(20260304)) << "the next day goes out once the reply is in";
    EXPECT_EQ(bench.status.back(), "下载分钟线 2/3 天");
    ASSERT_TRUE(bench.Answer(20260304));
    ASSERT_TRUE(bench.Answer(20260303, 0));  // a day without continuous trades
    EXPECT_EQ(bench.sent.size(), 3u);
    EXPECT_EQ(bench.status.back(), "分钟线历史下载完毕：3 天");
    EXPECT_EQ(bench.flow.Revision(), 3u);
    EXPECT_FALSE(bench.flow.Awaited());

    EXPECT_EQ(db.KeptDays(kContract), (std::vector<std::int64_t>{20260303, 20260304, 20260305}));
    const std::string rows = TradesText(20260304, 12, 16.0 + 20260304 % 7);
    EXPECT_EQ(bench.flow.KeptBars(kContract, 5, 20260304), [&] {
        BarSeries bars = MinuteBarsFromTrades(SplitRecords(rows), 5, kContract.dueDate);
        const BarSeries later = MinuteBarsFromTrades(
            SplitRecords(TradesText(20260305, 12, 16.0 + 20260305 % 7)), 5, kContract.dueDate);
        bars.insert(bars.end(), later.begin(), later.end());
        return bars;
    }());
}

TEST(MinuteHistoryFlow, ADayKeptIsNeverAskedAgainNotEvenAfterARestart) {
    test::TempDir dir;
    {
        HistoryDatabase db(dir.Path());
        Bench bench(&db);
        bench.flow.Want(kContract, "0131", {20260304, 20260303});
        ASSERT_TRUE(bench.Answer(20260304));
        ASSERT_TRUE(bench.Answer(20260303));
        // Another chart of the same contract in this run: nothing to ask.
        bench.flow.Stop();
        bench.flow.Want(kContract, "0131", {20260304, 20260303});
        EXPECT_EQ(bench.sent.size(), 2u);
    }
    HistoryDatabase db(dir.Path());  // the next start
    Bench bench(&db);
    bench.flow.Want(kContract, "0131", {20260305, 20260304, 20260303, 20260302});
    EXPECT_EQ(bench.sent, (std::vector<std::string>{Request(20260305)}));
    ASSERT_TRUE(bench.Answer(20260305));
    EXPECT_EQ(bench.sent, (std::vector<std::string>{Request(20260305), Request(20260302)}));
    EXPECT_EQ(bench.status.back(), "下载分钟线 2/2 天");
    // More than 60 days: the 60 newest.
    std::vector<std::int64_t> many;
    for (int d = 0; d < 80; ++d) many.push_back(20250000 + 500 - d);
    Bench other(&db);
    other.flow.Want({"0131", "20260724"}, "0131", many);
    ASSERT_EQ(other.sent.size(), 1u);
    EXPECT_EQ(other.status.back(), "下载分钟线 1/60 天");
}

TEST(MinuteHistoryFlow, TheUsersOwnPastDayRepliesAreLeftAlone) {
    HistoryDatabase db = HistoryDatabase::InMemory();
    Bench bench(&db);
    bench.flow.Want(kContract, "0131", {20260304, 20260303});
    // The user's double click on another day, answered before ours.
    EXPECT_FALSE(bench.Answer(20260227));
    // Another contract's day of the same date.
    bench.store.Dispatch("hisreal:013120260724:0131-20260304:" + TradesText(20260304, 3, 16));
    EXPECT_FALSE(bench.flow.TakeReply());
    EXPECT_EQ(bench.flow.Awaited(), 20260304);
    EXPECT_TRUE(db.KeptDays(kContract).empty());
    // A server that echoes another selector: the day's trades alone make the reply ours; an
    // empty reply with a strange selector is nobody's.
    bench.store.Dispatch("hisreal:013120260624:x:");
    EXPECT_FALSE(bench.flow.TakeReply());
    EXPECT_TRUE(bench.Answer(20260304, 12, "自选"));
    EXPECT_EQ(bench.sent.back(), Request(20260303));
    // With nothing awaited, every reply is someone else's.
    bench.flow.Stop();
    EXPECT_TRUE(bench.Answer(20260303));  // the one awaited still counts
    EXPECT_FALSE(bench.Answer(20260303));
    EXPECT_EQ(bench.sent.size(), 2u);
}

TEST(MinuteHistoryFlow, SilenceGivesADayUpAndOfflineNothingIsAsked) {
    HistoryDatabase db = HistoryDatabase::InMemory();
    Bench bench(&db);
    bench.flow.Want(kContract, "0131", {20260304, 20260303});
    for (int i = 0; i < MinuteHistoryFlow::kPatience; ++i) bench.flow.Passing();
    EXPECT_EQ(bench.sent.size(), 1u) << "still waiting";
    bench.flow.Passing();
    EXPECT_EQ(bench.sent.back(), Request(20260303)) << "given up: the next day";
    ASSERT_TRUE(bench.Answer(20260303));
    EXPECT_EQ(bench.status.back(), "分钟线历史下载完毕：1 天，1 天未收到（下次打开时再取）");
    // The next time the chart opens, the day given up is asked again.
    bench.flow.Stop();
    bench.flow.Want(kContract, "0131", {20260304, 20260303});
    EXPECT_EQ(bench.sent.back(), Request(20260304));
    EXPECT_EQ(bench.sent.size(), 3u);

    Bench offline(&db);
    offline.online = false;
    offline.flow.Want(kContract, "0131", {20260305, 20260304, 20260303});
    EXPECT_TRUE(offline.sent.empty());
    EXPECT_EQ(offline.status.back(), "脱机：分钟线只有本机保存的日子，缺 2 天");
    EXPECT_FALSE(offline.flow.KeptBars(kContract, 1, 0).empty()) << "the kept day is there offline";

    Bench nowhere(nullptr);  // no database: nothing kept, nothing asked
    nowhere.flow.Want(kContract, "0131", {20260304});
    EXPECT_TRUE(nowhere.sent.empty());
}

}  // namespace
}  // namespace qelt
