// condalarm.ini: what it keeps round trip, what a damaged or hostile file makes of it, and
// the settings files' rule on it (a file that cannot be read is never written over, a
// failed write keeps the run's change, either told once).
#include <gtest/gtest.h>

#include "analysis/ConditionAlarmConfig.h"
#include "analysis/ConditionAlarmFile.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "data/settings/SettingsReports.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

ConditionAlarmEntry Entry(int formula, std::vector<double> values, std::vector<GoodsKey> goods,
                          bool self = false) {
    ConditionAlarmEntry entry;
    entry.formulaId = formula;
    entry.values = std::move(values);
    entry.goods = std::move(goods);
    entry.selfSelected = self;
    return entry;
}

TEST(ConditionAlarmFile, KeepsEntriesAndHitDaysRoundTripAndPutsBackWhatItCannotRead) {
    ConditionAlarmSettings settings;
    settings.nextId = 9;
    settings.entries.push_back(Entry(1001, {20, 0.5, -3.25}, {{"0112", "20261225"}, {"0121", "20270125"}}));
    settings.entries.back().id = 3;
    settings.entries.push_back(Entry(1002, {}, {}, true));
    settings.entries.back().id = 8;
    settings.entries.back().on = false;
    settings.hits.Record(3, {"0112", "20261225"}, 20261209);
    settings.hits.Record(8, {"0130", "20261225"}, 20261208);
    settings.kept = {"entry=broken"};
    const std::string text = FormatConditionAlarmFile(settings);
    EXPECT_EQ(text,
              "next=9\r\n"
              "entry=3|1001|1|20,0.5,-3.25|0112/20261225,0121/20270125\r\n"
              "entry=8|1002|0||self\r\n"
              "hit=3|0112|20261225|20261209\r\n"
              "hit=8|0130|20261225|20261208\r\n"
              "entry=broken\r\n");
    EXPECT_EQ(ParseConditionAlarmFile(text), settings);

    // Line by line: each damaged line stays apart and is written back; a bare "\n" is read.
    const ConditionAlarmSettings read = ParseConditionAlarmFile(
        "hit=4|0112|20261225|20261209\n"  // before its entry: still taken
        "entry=4|1001|1|5|0112/20261225\n"
        "entry=4|1001|1|5|self\n"              // the id again
        "entry=5|1001|2|5|self\n"              // on is 0 or 1
        "entry=6|1001|1|5,x|self\n"            // not a number
        "entry=7|1001|1|1e999|self\n"          // not finite
        "entry=8|1001|1|1,2,3,4,5,6,7|self\n"  // seven values
        "entry=9|-1|1||self\n"                 // no formula id
        "entry=10|1001|1||0112\n"              // a contract without month
        "entry=11|1001|1||01 12/2026\n"        // a blank in a contract
        "hit=4|0112|20261225|20261310\n"       // month 13
        "hit=99|0112|20261225|20261209\n"      // no such entry
        "hit=4|0112|20261225|20261210\n"       // a second day for the same entry and goods
        "next=abc\n"
        "frobnicate\n");
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].goods, (std::vector<GoodsKey>{{"0112", "20261225"}}));
    EXPECT_EQ(read.hits.LastHitDay(4, {"0112", "20261225"}), 20261209);
    EXPECT_EQ(read.nextId, 5) << "past every id read";
    EXPECT_EQ(read.kept.size(), 13u);
    EXPECT_EQ(read.kept.front(), "entry=4|1001|1|5|self");
    EXPECT_EQ(read.kept.back(), "hit=4|0112|20261225|20261210") << "hits are sorted out after the entries";
}

TEST(ConditionAlarmFile, BoundsWhatAHostileFileCanMakeTheRunHold) {
    std::string many;
    for (int i = 1; i <= 250; ++i) many += "entry=" + FormatInt(i) + "|1000|1||self\r\n";
    ConditionAlarmSettings read = ParseConditionAlarmFile(many);
    EXPECT_EQ(read.entries.size(), kMaxConditionAlarmEntries);
    EXPECT_EQ(read.kept.size(), 50u) << "entries past the 200th stay in the file unread";

    std::string goods;
    for (size_t i = 0; i <= kMaxConditionAlarmGoods; ++i) goods += (i ? "," : "") + FormatInt(i) + "/202612";
    read = ParseConditionAlarmFile("entry=1|1000|1||" + goods + "\n");
    EXPECT_TRUE(read.entries.empty()) << "1,001 contracts";
    read = ParseConditionAlarmFile("entry=1|1000|1||" + std::string(33, '1') + "/202612\n");
    EXPECT_TRUE(read.entries.empty()) << "a goods number longer than 32 bytes";
    read = ParseConditionAlarmFile("entry=99999999999|1000|1||self\nnext=2000000000\n");
    EXPECT_TRUE(read.entries.empty());
    EXPECT_EQ(read.nextId, 1) << "ids stay far from overflowing";

    std::string hits = "entry=1|1000|1||self\n";
    for (size_t i = 0; i <= kMaxConditionHitDays; ++i) hits += "hit=1|" + FormatInt(i) + "|m|20261209\n";
    read = ParseConditionAlarmFile(hits);
    EXPECT_EQ(read.hits.Days().size(), kMaxConditionHitDays);
    EXPECT_EQ(read.kept.size(), 1u);
}

TEST(ConditionAlarmFile, ValuesAreReadAsTheFormulaParameterFieldsReadThem) {
    // What 公式参数设置 takes is taken here too: a sign, a leading point, an exponent.
    ConditionAlarmSettings read = ParseConditionAlarmFile("entry=1|1000|1|+5,.5,-2.5e1|self\n");
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].values, (std::vector<double>{5, 0.5, -25}));
    // Neither locale forms nor words nor anything hidden; a value of more than 32 bytes is
    // not read either. Each such line stays in the file as it was.
    const std::vector<std::string> refused = {
        "nan", "inf", "5 ", "0x10", "1e", "5x", std::string("5\0", 2), "1" + std::string(32, '0')};
    for (const std::string& value : refused) {
        read = ParseConditionAlarmFile("entry=1|1000|1|" + value + "|self\n");
        EXPECT_TRUE(read.entries.empty()) << value;
        EXPECT_EQ(read.kept.size(), 1u) << value;
    }
}

TEST(ConditionAlarmConfig, ChangesAreWrittenAtOnceAndADeletedEntryTakesItsDaysAlong) {
    test::TempDir dir;
    ConditionAlarmConfig config(dir.Path(), nullptr);
    EXPECT_TRUE(config.Entries().empty());
    const int first = config.Add(Entry(1000, {5}, {{"0112", "20261225"}})).value();
    const int second = config.Add(Entry(1001, {}, {}, true)).value();
    EXPECT_EQ(second, first + 1);
    ConditionHitMemory hits = config.Hits();
    hits.Record(first, {"0112", "20261225"}, 20261209);
    hits.Record(second, {"0130", "20261225"}, 20261209);
    config.SetHits(hits);
    ASSERT_TRUE(config.Remove(second));
    config.SetHits(hits);  // a pass that began before the deletion
    ConditionAlarmConfig next(dir.Path(), nullptr);
    EXPECT_EQ(next.Entries().size(), 1u);
    EXPECT_EQ(next.Hits().Days().size(), 1u) << "the deleted entry's days stay gone";
    EXPECT_EQ(next.Add(Entry(1000, {}, {}, true)), second + 1) << "an id is not given twice";

    ConditionAlarmEntry changed = *next.Find(first);
    changed.on = false;
    ASSERT_TRUE(next.Replace(changed));
    EXPECT_EQ(next.Hits().LastHitDay(first, {"0112", "20261225"}), 20261209)
        << "off and on is the same condition";
    changed.values = {6};
    ASSERT_TRUE(next.Replace(changed));
    EXPECT_FALSE(next.Hits().LastHitDay(first, {"0112", "20261225"})) << "new values: a new condition";
    EXPECT_FALSE(next.SetOn(12345, true));
}

// The rule of every settings file, on condalarm.ini.
TEST(SettingsFileRule, CondAlarmIniUnreadableIsNeverWrittenOverAndFailedWritesAreToldOnce) {
    using Fault = test::FailingDisk::Fault;
    const std::string seed = "next=2\r\nentry=1|1000|1||self\r\n";
    {
        test::TempDir dir;
        ASSERT_TRUE(WriteFileAtomic(dir.File("condalarm.ini"), seed));
        SettingsReports reports;
        std::vector<std::string> shown;
        reports.SetSink([&shown](const std::string& text, const std::string&) { shown.push_back(text); });
        ConditionAlarmConfig config(dir.Path(), &reports);
        {
            test::FailingDisk disk(Fault::ReadFails);
            EXPECT_TRUE(config.Entries().empty());
        }
        config.Add(Entry(1001, {}, {}, true));
        config.Add(Entry(1002, {}, {}, true));
        EXPECT_EQ(config.Entries().size(), 2u) << "the run works in memory";
        EXPECT_FALSE(config.LastSaved());
        EXPECT_EQ(ReadWholeFile(dir.File("condalarm.ini")).value(), seed) << "the user's file, untouched";
        EXPECT_EQ(shown,
                  std::vector<std::string>{"无法读取条件预警设置（condalarm.ini），本次运行不会改写它！"});
    }
    for (Fault fault : {Fault::ReadOnlyDirectory, Fault::FullDisk, Fault::SyncFails, Fault::RenameFails}) {
        test::TempDir dir;
        ASSERT_TRUE(WriteFileAtomic(dir.File("condalarm.ini"), seed));
        SettingsReports reports;
        std::vector<std::string> shown;
        reports.SetSink([&shown](const std::string& text, const std::string&) { shown.push_back(text); });
        ConditionAlarmConfig config(dir.Path(), &reports);
        ASSERT_EQ(config.Entries().size(), 1u);
        {
            test::FailingDisk disk(fault, 0);
            config.SetOn(1, false);
            ConditionHitMemory hits;
            hits.Record(1, {"0112", "20261225"}, 20261209);
            config.SetHits(hits);
        }
        EXPECT_EQ(ReadWholeFile(dir.File("condalarm.ini")).value(), seed) << "never half written";
        EXPECT_FALSE(config.Entries()[0].on) << "the change holds for the run";
        EXPECT_EQ(shown, std::vector<std::string>{"无法保存条件预警设置！"});
        config.SetOn(1, true);  // the disk is back
        ConditionAlarmConfig next(dir.Path(), nullptr);
        EXPECT_EQ(next.Hits().LastHitDay(1, {"0112", "20261225"}), 20261209) << "the next start has it";
        EXPECT_EQ(shown.size(), 1u);
    }
}

}  // namespace
}  // namespace qelt
