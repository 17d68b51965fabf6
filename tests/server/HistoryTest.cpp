#include <gtest/gtest.h>

#include "common/Files.h"
#include "common/Split.h"
#include "net/Replies.h"
#include "server/Calendar.h"
#include "server/HistoryStore.h"
#include "support/TempDir.h"

namespace qelt::server {
namespace {

constexpr int kHistoryToday = 20261208;

TEST(History, EveryBoardContractHasTwoYearsOfBars) {
    HistoryStore h(3);
    h.Prepare("", kHistoryToday, ContractsFor(kHistoryToday));
    for (const auto& c : ContractsFor(kHistoryToday)) {
        if (!c.onBoard) continue;
        const Series* s = h.Find(ContractKey(c));
        ASSERT_TRUE(s) << ContractKey(c);
        ASSERT_FALSE(s->bars.empty());
        EXPECT_LE(DaysFromDate(s->bars.front().date), DaysFromDate(kHistoryToday) - 730) << ContractKey(c);
        EXPECT_LT(s->bars.back().date, kHistoryToday);
        for (const auto& b : s->bars) {
            EXPECT_LE(b.low, std::min(b.open, b.close));
            EXPECT_GE(b.high, std::max(b.open, b.close));
            EXPECT_GT(b.low, 0);
        }
    }
}

TEST(History, KeptInTheDataDirectoryAndReloadedUnchanged) {
    test::TempDir dir;
    HistoryStore first(5);
    first.Prepare(dir.Path(), kHistoryToday, ContractsFor(kHistoryToday));
    EXPECT_FALSE(first.LoadedFromFile());
    HistoryStore second(5);
    second.Prepare(dir.Path(), kHistoryToday, ContractsFor(kHistoryToday));
    EXPECT_TRUE(second.LoadedFromFile());
    std::string a, b;
    first.AppendRecords(0, 100000, a);
    second.AppendRecords(0, 100000, b);
    EXPECT_EQ(a, b);
    // Another seed does not take the other seed's file.
    HistoryStore other(6);
    other.Prepare(dir.Path(), kHistoryToday, ContractsFor(kHistoryToday));
    EXPECT_FALSE(other.LoadedFromFile());
}

TEST(History, ContractsAreInTenThousandYuanAndAFileOfYuanPricesIsNotTaken) {
    HistoryStore h(3);
    h.Prepare("", kHistoryToday, ContractsFor(kHistoryToday));
    for (const auto& c : ContractsFor(kHistoryToday)) {
        const Series* s = h.Find(ContractKey(c));
        ASSERT_TRUE(s && !s->bars.empty()) << ContractKey(c);
        const double close = s->bars.back().close;
        if (c.kind == ContractKind::Index)
            EXPECT_GT(close, 500) << "an index stays in points: " << ContractKey(c);
        else
            EXPECT_TRUE(close > 1 && close < 30) << ContractKey(c) << " closes at " << close;
    }

    // A data directory from the days of yuan prices: its file is generated anew.
    test::TempDir dir;
    HistoryStore first(5);
    first.Prepare(dir.Path(), kHistoryToday, ContractsFor(kHistoryToday));
    std::string content = ReadWholeFile(dir.File("history.txt"), 256u << 20).value();
    ASSERT_TRUE(content.starts_with("qelt-history|2|"));
    content.replace(0, 15, "qelt-history|1|");
    ASSERT_TRUE(WriteFileAtomic(dir.File("history.txt"), content));
    HistoryStore second(5);
    second.Prepare(dir.Path(), kHistoryToday, ContractsFor(kHistoryToday));
    EXPECT_FALSE(second.LoadedFromFile()) << "yuan bars never meet quotes in 万元";
    EXPECT_TRUE(ReadWholeFile(dir.File("history.txt"), 256u << 20).value().starts_with("qelt-history|2|"));
}

TEST(History, RecordIdsGrowWithTimeAndResumeAfterTheLastSent) {
    HistoryStore h(3);
    h.Prepare("", kHistoryToday, ContractsFor(kHistoryToday));
    std::string body;
    std::int64_t last = h.AppendRecords(0, 500, body);
    auto records = SplitRecordViews(body);
    ASSERT_EQ(records.size(), 500u);
    std::int64_t previousId = 0;
    int previousDate = 0;
    for (const auto& r : records) {
        ASSERT_EQ(r.size(), 13u);
        std::int64_t id = std::stoll(std::string(r[0]));
        int date = std::stoi(std::string(r[3]));
        EXPECT_GT(id, previousId);
        EXPECT_GE(date, previousDate);
        previousId = id;
        previousDate = date;
    }
    EXPECT_EQ(last, previousId);
    EXPECT_EQ(h.PendingAfter(last) + 500, h.PendingAfter(0));
    EXPECT_EQ(h.PendingAfter(h.LastId()), 0u);
}

TEST(History, CoverModesOfContractEntries) {
    HistoryStore h(3);
    h.Prepare("", kHistoryToday, ContractsFor(kHistoryToday));
    auto own = h.LineBars({"0112", "20270525"}, "12", 1);
    auto later = h.LineBars({"0112", "20270525"}, "3", 1);
    auto earlier = h.LineBars({"0112", "20270525"}, "3", 0);
    ASSERT_FALSE(own.empty());
    EXPECT_GT(later.size(), own.size());
    EXPECT_GT(earlier.size(), own.size());
    for (const auto* series : {&later, &earlier}) {
        EXPECT_NE(*series->front().second, "20270525");
        EXPECT_EQ(*series->back().second, "20270525");
        for (size_t i = 1; i < series->size(); ++i)
            EXPECT_LT((*series)[i - 1].first->date, (*series)[i].first->date);
    }
    // Mode 1 keeps every own bar; mode 0 gives the recent past to the deliveries before.
    EXPECT_EQ(later.back().first, own.back().first);
    EXPECT_NE(later, earlier);
    EXPECT_TRUE(h.LineBars({"0112", "19990125"}, "3", 1).empty());
}

}  // namespace
}  // namespace qelt::server
