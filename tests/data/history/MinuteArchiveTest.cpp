// Past days' minute bars in the history database: kept once, read back as they were made,
// beside the tables that were there before, and never trusted further than they check.
#include <gtest/gtest.h>

#include <filesystem>

#include "chart/MinuteBars.h"
#include "data/history/HistoryDatabase.h"
#include "data/history/MinuteBarText.h"
#include "support/TempDir.h"
#include "support/TradeRows.h"

namespace qelt {
namespace {

const GoodsKey kContract{"0131", "20260624"};

std::vector<TradeRow> DayOfTrades(int date, double base) {
    std::vector<TradeRow> trades;
    long volume = 0;
    for (int i = 0; i < 300; ++i) {
        const int second = i * 47;
        const int time = (9 + second / 3600) * 10000 + second / 60 % 60 * 100 + second % 60;
        volume += 1 + i % 9;
        trades.push_back(test::Flagged(i, date, time, base + (i % 23) * 0.01 + (i % 3) * 0.003, volume));
    }
    return trades;
}

MinuteDay DayOf(const std::vector<TradeRow>& trades, std::int64_t date, const std::string& dueDate) {
    MinuteDay day;
    day.date = date;
    const auto periods = MinuteBarsOfDay(trades, date, dueDate);
    for (std::size_t k = 0; k < kMinutePeriods.size(); ++k)
        day.periods.emplace_back(kMinutePeriods[k], periods[k]);
    return day;
}

TEST(MinuteArchive, APastDayComesBackAsItWasMadeInEveryPeriodAfterARestart) {
    test::TempDir dir;
    const auto first = DayOfTrades(20260302, 16.0), second = DayOfTrades(20260303, 17.0);
    {
        HistoryDatabase db(dir.Path());
        EXPECT_TRUE(db.KeptDays(kContract).empty());
        EXPECT_TRUE(db.KeepDay(kContract, DayOf(second, 20260303, kContract.dueDate)));
        EXPECT_TRUE(db.KeepDay(kContract, DayOf(first, 20260302, kContract.dueDate)));
        // A day without continuous trades is kept too: it is not asked for again.
        EXPECT_TRUE(db.KeepDay(kContract, DayOf({}, 20260304, kContract.dueDate)));
    }
    HistoryDatabase reopened(dir.Path());  // the next start
    EXPECT_EQ(reopened.KeptDays(kContract), (std::vector<std::int64_t>{20260302, 20260303, 20260304}));
    for (int minutes : kMinutePeriods) {
        BarSeries expected = MinuteBarsFromTrades(first, minutes, kContract.dueDate);
        const BarSeries later = MinuteBarsFromTrades(second, minutes, kContract.dueDate);
        expected.insert(expected.end(), later.begin(), later.end());
        const BarSeries kept = reopened.KeptBars(kContract, minutes, 0);
        ASSERT_EQ(kept, expected) << minutes;  // texts, times and due_date alike
        EXPECT_EQ(reopened.KeptBars(kContract, minutes, 20260303), later) << "from a date on";
    }
    EXPECT_TRUE(reopened.KeptBars({"0131", "20260724"}, 5, 0).empty()) << "another contract has none";
    EXPECT_TRUE(reopened.KeptBars(kContract, 7, 0).empty()) << "no such period";
}

TEST(MinuteArchive, ADayIsKeptOnceAndItsFirstBarsStay) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    const auto trades = DayOfTrades(20260302, 16.0);
    ASSERT_TRUE(db.KeepDay(kContract, DayOf(trades, 20260302, kContract.dueDate)));
    EXPECT_TRUE(db.KeepDay(kContract, DayOf(DayOfTrades(20260302, 30.0), 20260302, kContract.dueDate)));
    EXPECT_EQ(db.KeptBars(kContract, 15, 0), MinuteBarsFromTrades(trades, 15, kContract.dueDate));
    EXPECT_EQ(db.KeptDays(kContract).size(), 1u);
    EXPECT_EQ(db.Query("select count(*) from minutebars").at(0).at(0), "5");
}

TEST(MinuteArchive, TheOtherTablesAndTheirContentsStayAsTheyWere) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    db.StoreHistory("0:7|20260624|0131|20260302|1|2|3|0.5|10|1|2|7|8||");
    // A database of an earlier client: no minutebars table yet.
    ASSERT_TRUE(db.ExecuteSql("drop table minutebars"));
    const std::vector<SqlRow> before = db.Query("select * from dayrecord");
    HistoryDatabase reader(dir.Path());
    EXPECT_TRUE(reader.KeptDays(kContract).empty());
    EXPECT_TRUE(reader.KeptBars(kContract, 1, 0).empty());

    EXPECT_TRUE(db.KeepDay(kContract, DayOf(DayOfTrades(20260302, 16.0), 20260302, kContract.dueDate)));
    EXPECT_EQ(db.Query("select * from dayrecord"), before);
    EXPECT_EQ(db.Query("select name from sqlite_master where type='table' order by name"),
              (std::vector<SqlRow>{{"category"}, {"dayrecord"}, {"minutebars"}, {"qeltlist"}}));
    // Contract texts are values, never SQL.
    const GoodsKey odd{"01'31", "x'); drop table dayrecord;--"};
    EXPECT_TRUE(db.KeepDay(odd, DayOf({}, 20260305, odd.dueDate)));
    EXPECT_EQ(db.KeptDays(odd), (std::vector<std::int64_t>{20260305}));
    EXPECT_EQ(db.Query("select * from dayrecord"), before);
}

TEST(MinuteArchive, OfflineAMissingDatabaseIsNotMadeAndADamagedDayGivesNoBars) {
    test::TempDir dir;
    {
        HistoryDatabase missing(dir.Path());
        EXPECT_TRUE(missing.KeptDays(kContract).empty());
        EXPECT_TRUE(missing.KeptBars(kContract, 5, 0).empty());
        EXPECT_FALSE(std::filesystem::exists(missing.Path()));
    }
    HistoryDatabase db(dir.Path());
    const auto good = DayOfTrades(20260303, 17.0);
    ASSERT_TRUE(db.KeepDay(kContract, DayOf(DayOfTrades(20260302, 16.0), 20260302, kContract.dueDate)));
    ASSERT_TRUE(db.KeepDay(kContract, DayOf(good, 20260303, kContract.dueDate)));
    for (const std::string& damage :
         {std::string("900,1,2,3"), std::string("1200,1,1,1,1,1,1,1,1"), std::string("900,1,1,1,1,x,1,1,1"),
          std::string(300, '9'), std::string(250, '\n') + "900,1,1,1,1,1,1,1,1"}) {
        ASSERT_TRUE(db.ExecuteSql("update minutebars set bars=? where date=20260302 and period=1", {damage}));
        EXPECT_EQ(db.KeptBars(kContract, 1, 0), MinuteBarsFromTrades(good, 1, kContract.dueDate)) << damage;
    }
    // 241 well-formed lines are more than a day has.
    std::string tooMany;
    for (int i = 0; i < 241; ++i) tooMany += "900,1,1,1,1,1,1,1,1\n";
    BarSeries parsed;
    EXPECT_FALSE(ParseMinuteBars(tooMany, "20260302", "", parsed));
    EXPECT_TRUE(parsed.empty());
    EXPECT_TRUE(ParseMinuteBars(FormatMinuteBars(MinuteBarsFromTrades(good, 1, "")), "20260303", "", parsed));
    EXPECT_EQ(parsed, MinuteBarsFromTrades(good, 1, ""));
}

}  // namespace
}  // namespace qelt
