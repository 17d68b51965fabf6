// Condition alarms (条件预警) in the application: a pass after each board update over the
// store's live series, the entries against the formulas of the day, the alarm window's rows
// beside the server's, and the alarm log.
#include <gtest/gtest.h>

#include "analysis/ConditionAlarmConfig.h"
#include "app/AlarmLog.h"
#include "app/AlarmWindowModel.h"
#include "app/ConditionAlarmPass.h"
#include "app/ConditionAlarmRules.h"
#include "common/Files.h"
#include "data/StoreFixture.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

const GoodsKey kSilk{"0101", "20060625"};

/// A store holding 生丝 20060625 with two day bars (closes 9), then quoted at `price` on `day`.
struct LiveStore : test::StoreFixture {
    LiveStore() {
        Categories();
        Quote("9", "20060602");
        data.Dispatch(
            "line:010120060625:12:20060601|9|9|9|9|10|9|7|0|20060625||"
            "20060602|9|9|9|9|10|9|7|0|20060625||");
    }
    void Quote(const std::string& price, const std::string& day) {
        data.Dispatch(
            test::ListReply({test::ListRow(kSilk.goodsNo, kSilk.dueDate).Price(price, "9").Set(20, day)}));
    }
};

/// "UP:C>N;" with N from 1 to 1000 (default 10), added to the library.
int AddAbove(FormulaLibrary& library) {
    StoredFormula formula;
    formula.name = "站上";
    formula.parameters = {{"N", 10, 1, 1000}};
    formula.text = "UP:C>N;";
    const FormulaChange change = library.Add(formula);
    EXPECT_TRUE(change.applied) << change.message;
    return change.id;
}

ConditionAlarmEntry Watching(int formula, double n) {
    ConditionAlarmEntry entry;
    entry.formulaId = formula;
    entry.values = {n};
    entry.goods = {kSilk};
    return entry;
}

/// One pass as the application runs it: the hits recorded in the file's memory.
std::vector<ConditionHit> Pass(ConditionAlarmPass& pass, ConditionAlarmConfig& config,
                               const CQeltData& store) {
    ConditionHitMemory memory = config.Hits();
    std::vector<ConditionHit> hits = pass.Run(store, {}, memory);
    config.SetHits(memory);
    return hits;
}

TEST(ConditionAlarmApp, ATrueConditionHitsOnceADayAlsoAcrossARestartAndAgainOnTheNextDay) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    const int formula = AddAbove(library);
    LiveStore store;
    {
        ConditionAlarmConfig config(dir.Path(), nullptr);
        const int id = config.Add(Watching(formula, 10)).value();
        ConditionAlarmPass pass;
        EXPECT_TRUE(pass.Configure(config.Entries(), library).empty());
        EXPECT_TRUE(Pass(pass, config, store.data).empty()) << "close 9 is not above 10";
        EXPECT_TRUE(Pass(pass, config, store.data).empty()) << "nothing changed: nothing computed";

        store.Quote("12", "20060602");  // the live quote rewrites today's bar
        const std::vector<ConditionHit> hits = Pass(pass, config, store.data);
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(hits[0].entry, id);
        EXPECT_EQ(hits[0].goods, kSilk);
        EXPECT_EQ(hits[0].day, 20060602);
        EXPECT_DOUBLE_EQ(hits[0].price, 12.0);
        EXPECT_EQ(pass.FormulaName(id), "站上");

        store.Quote("13", "20060602");
        EXPECT_TRUE(Pass(pass, config, store.data).empty()) << "still true the same day: once a day";
        store.Quote("8", "20060602");
        store.Quote("14", "20060602");
        EXPECT_TRUE(Pass(pass, config, store.data).empty()) << "false, then true again the same day";
    }
    {
        // A restart: a new pass computes the series from its first bar; the file remembers today.
        ConditionAlarmConfig config(dir.Path(), nullptr);
        ConditionAlarmPass pass;
        EXPECT_TRUE(pass.Configure(config.Entries(), library).empty());
        EXPECT_TRUE(Pass(pass, config, store.data).empty()) << "hit today before the restart";

        store.Quote("15", "20060605");  // the next trading day appends its bar
        const std::vector<ConditionHit> hits = Pass(pass, config, store.data);
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(hits[0].day, 20060605);
        EXPECT_EQ(hits[0].bar, 2);
    }
    EXPECT_EQ(ConditionAlarmConfig(dir.Path(), nullptr).Hits().LastHitDay(1, kSilk), 20060605);
}

TEST(ConditionAlarmApp, GoodsSeenForTheFirstTimeAreTakenUpOverSeveralPassesWithinTheirBudget) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    const int formula = AddAbove(library);
    LiveStore store;
    const GoodsKey later{"0101", "20060725"};
    store.data.Dispatch(
        test::ListReply({test::ListRow(later.goodsNo, later.dueDate).Price("12", "9").Set(20, "20060602")}));
    store.data.Dispatch("line:010120060725:12:20060601|9|9|9|9|10|9|7|0|20060725||");
    store.data.Dispatch(
        test::ListReply({test::ListRow(later.goodsNo, later.dueDate).Price("12", "9").Set(20, "20060602")}));
    store.Quote("12", "20060602");
    ConditionAlarmConfig config(dir.Path(), nullptr);
    ConditionAlarmEntry entry = Watching(formula, 10);
    entry.goods.push_back(later);
    config.Add(entry);
    ConditionAlarmPass pass(std::chrono::milliseconds(0));  // one new goods a pass
    ASSERT_TRUE(pass.Configure(config.Entries(), library).empty());
    EXPECT_EQ(Pass(pass, config, store.data).size(), 1u);
    EXPECT_EQ(pass.Deferred(), 1);
    const std::vector<ConditionHit> next = Pass(pass, config, store.data);
    ASSERT_EQ(next.size(), 1u) << "the goods left over is taken at the next pass";
    EXPECT_EQ(pass.Deferred(), 0);
    EXPECT_TRUE(Pass(pass, config, store.data).empty());
}

TEST(ConditionAlarmApp, AFormulaDeletedOrChangedUnderALiveEntryTurnsItOffAndTheListSaysWhy) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    const int formula = AddAbove(library);
    LiveStore store;
    ConditionAlarmConfig config(dir.Path(), nullptr);
    const int kept = config.Add(Watching(formula, 10)).value();
    const int other = config.Add(Watching(formula, 5)).value();
    ConditionAlarmPass pass;
    ASSERT_TRUE(pass.Configure(config.Entries(), library).empty());
    EXPECT_EQ(Pass(pass, config, store.data).size(), 1u) << "9 is above 5";
    auto nameOf = [](std::string_view goods) {
        return goods == "0101" ? std::string("生丝") : std::string();
    };
    EXPECT_EQ(ConditionListRowOf(*config.Find(kept), library, nameOf),
              (ConditionListRow{"站上", "10", "生丝060625", "开启"}));

    // The parameter's range now starts at 8: the entry with 5 no longer fits.
    StoredFormula narrowed = *library.Find(formula);
    narrowed.parameters[0].minimum = 8;
    ASSERT_TRUE(library.Replace(formula, narrowed).applied);
    std::vector<ConditionTurnOff> off = pass.Configure(config.Entries(), library);
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(off[0].id, other);
    EXPECT_EQ(off[0].why, ConditionEntryState::ValuesWrong);
    config.SetOn(other, false);  // what the application does with it
    EXPECT_EQ(ConditionListRowOf(*config.Find(other), library, nameOf)[3], "参数不符");

    ASSERT_TRUE(library.Remove(formula).applied);
    off = pass.Configure(config.Entries(), library);
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(off[0].why, ConditionEntryState::FormulaDeleted);
    config.SetOn(kept, false);
    EXPECT_FALSE(pass.Active());
    store.Quote("50", "20060602");
    EXPECT_TRUE(Pass(pass, config, store.data).empty()) << "an entry turned off computes nothing";
    const ConditionListRow row = ConditionListRowOf(*config.Find(kept), library, nameOf);
    EXPECT_EQ(row[0], "#" + std::to_string(formula));
    EXPECT_EQ(row[3], "公式已删除");
    EXPECT_FALSE(ConditionAlarmConfig(dir.Path(), nullptr).Entries()[0].on) << "off in the file too";

    StoredFormula values;
    values.parameters = {{"N", 10, 1, 100}, {"M", 1, 0, 1}};
    EXPECT_EQ(CheckConditionValues(values, {101, 1}), "参数N应在 1 到 100 之间");
    EXPECT_EQ(CheckConditionValues(values, {1, 0.5}), std::nullopt);
    EXPECT_EQ(CheckConditionValues(values, {1}), "公式有 2 个参数");
}

TEST(ConditionAlarmApp, TheAlarmWindowShowsServerAndConditionHitsInTheOrderTheyCameWithTheirKind) {
    auto nameOf = [](std::string_view goods) {
        return goods == "0112" ? std::string("生丝") : std::string();
    };
    AlarmWindowModel model;
    std::vector<AlarmHitRow> hits = {{"5", "0112", "20261225", "12345.00", "40", "7", "10:01:02"}};
    EXPECT_TRUE(model.Refresh(hits, nameOf, "10:01:05"));
    ASSERT_EQ(model.Arrived().size(), 1u);
    EXPECT_EQ(model.Arrived()[0].second, "10:01:02");
    model.AddConditionHits({{ConditionKindText("突破"), "生丝261225", "12400.00", "10:02:00"}});
    hits.push_back({"6", "0112", "20270125", "1.50", "2", "3"});
    EXPECT_TRUE(model.Refresh(hits, nameOf, "10:03:00"));
    ASSERT_EQ(model.Arrived().size(), 1u) << "only the new one goes to the log";
    EXPECT_EQ(model.Arrived()[0].first[0], "6");
    EXPECT_EQ(model.Shown(), (std::vector<AlarmShownRow>{
                                 {"生丝270125", "1.50", "2", "3", "10:03:00", "服务器"},
                                 {"生丝261225", "12400.00", "", "", "10:02:00", "条件：突破"},
                                 {"生丝261225", "12345.00", "40", "7", "10:01:02", "服务器"},
                             }));
    EXPECT_FALSE(model.Refresh(hits, nameOf, "10:04:00"));
    EXPECT_TRUE(model.Arrived().empty());
    EXPECT_EQ(model.Shown().size(), 3u);
}

TEST(AlarmLog, AppendsUnderOneHeaderRotatesAtTheLimitAndTellsAFailureOnce) {
    test::TempDir dir;
    std::vector<std::string> told;
    const AlarmLogRecord first{"20261209", "10:01:02", "服务器", "生丝", "0112", "20261225", "12345.00"};
    const AlarmLogRecord second{"20261209", "10:02:00", "条件：突破,\"快\"", "生丝",
                                "0112",     "20261225", "12400.00"};
    const std::string firstLine = "20261209,10:01:02,服务器,生丝,0112,20261225,12345.00\r\n";
    const std::string secondLine =
        "20261209,10:02:00,\"条件：突破,\"\"快\"\"\",生丝,0112,20261225,12400.00\r\n";
    EXPECT_EQ(AlarmLogLine(second), secondLine) << "a comma or a quote in a formula's name is quoted";

    const std::string header = kAlarmLogHeader;
    // Exactly the header and two lines fit.
    AlarmLog log(
        dir.Path(), [&told](const std::string& text) { told.push_back(text); },
        header.size() + firstLine.size() + secondLine.size());
    ASSERT_TRUE(log.Append({first, second}));
    EXPECT_EQ(ReadWholeFile(log.Path()).value(), header + firstLine + secondLine)
        << "at the limit: no rotation";
    EXPECT_FALSE(FileExists(log.OlderPath()));
    ASSERT_TRUE(log.Append({first}));  // one byte past would do
    EXPECT_EQ(ReadWholeFile(log.OlderPath()).value(), header + firstLine + secondLine);
    EXPECT_EQ(ReadWholeFile(log.Path()).value(), header + firstLine);
    EXPECT_EQ(log.ExportText(), header + firstLine + secondLine + firstLine) << "older first, one header";

    {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 5);
        EXPECT_FALSE(log.Append({second}));
        EXPECT_FALSE(log.Append({second}));
    }
    EXPECT_EQ(ReadWholeFile(log.Path()).value(), header + firstLine) << "no half line left by a full disk";
    EXPECT_EQ(told, std::vector<std::string>{"无法写入预警记录（alarmlog.csv）！"});
    EXPECT_TRUE(log.Append({second}));
    EXPECT_EQ(told.size(), 1u);
}

}  // namespace
}  // namespace qelt
