// The rule every settings file of the settings object follows, file by file on a disk that
// fails on demand: a file that cannot be read is never written over, a write that fails keeps
// the old file and the change for the run, and either is told once per file and run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/Files.h"
#include "common/Numbers.h"
#include "data/settings/CQeltCFG.h"
#include "data/settings/SettingsFile.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

using Fault = test::FailingDisk::Fault;

/// One settings file: what it holds before the test, a change numbered `n` made through the
/// settings object, and whether the settings hold change `n`.
struct FileCase {
    std::string file;
    std::string seed;
    std::string content;  ///< what the user calls it in the messages
    std::function<void(CQeltCFG&, int)> change;
    std::function<bool(const CQeltCFG&, int)> holds;
};

std::string Goods(int n) { return "01" + FormatInt(n); }

std::vector<FileCase> Cases() {
    return {
        {"mylist.ini", "0112|20070625|0001||", "自选",
         [](CQeltCFG& cfg, int n) {
             cfg.AddSelfSelected({Goods(n), "20070625"}, "0001");
         },
         [](const CQeltCFG& cfg, int n) {
             const std::vector<SelfSelectedEntry> entries = cfg.ReadSelfSelected();
             return !entries.empty() && entries.back().goods.goodsNo == Goods(n);
         }},
        {"indi.ini", "1,2,3", "指标参数",
         [](CQeltCFG& cfg, int n) {
             cfg.m_indicators[param::kMacdFast] = 100 + n;
             cfg.SaveIndicators();
         },
         [](const CQeltCFG& cfg, int n) { return cfg.m_indicators[param::kMacdFast] == 100 + n; }},
        {"alarm.ini", "window=0\r\n", "预警设置",
         [](CQeltCFG& cfg, int n) {
             cfg.AddAlarmEntry({{Goods(n), "20070625"}, "10.000", "0.000", "0", "0"});
         },
         [](const CQeltCFG& cfg, int n) {
             const std::vector<AlarmEntry> entries = cfg.AlarmEntries();
             return !entries.empty() && entries.back().goods.goodsNo == Goods(n);
         }},
        {"head.ini", "x|60|", "列表设置",
         [](CQeltCFG& cfg, int n) { cfg.Views().SetBoardColumns("x|" + FormatInt(60 + n) + "|"); },
         [](const CQeltCFG& cfg, int n) {
             return cfg.Views().BoardColumns() == "x|" + FormatInt(60 + n) + "|";
         }},
        {"winfile.ini", "1|21|", "指标窗口的设置",
         [](CQeltCFG& cfg, int n) { cfg.Views().SetKLinePanes({40 + n}); },
         [](const CQeltCFG& cfg, int n) { return cfg.Views().KLinePanes() == std::vector<int>{40 + n}; }},
        {"logscale.ini", "0", "对数坐标的设置",
         [](CQeltCFG& cfg, int n) { cfg.Views().SetLogScale(n % 2 == 1); },
         [](const CQeltCFG& cfg, int n) { return cfg.Views().LogScale() == (n % 2 == 1); }},
        {"mainformula.ini", "1003|", "主图公式的设置",
         [](CQeltCFG& cfg, int n) { cfg.Views().SetKLineMainFormulas({1000 + n}); },
         [](const CQeltCFG& cfg, int n) {
             return cfg.Views().KLineMainFormulas() == std::vector<int>{1000 + n};
         }},
        {"klineperiod.ini", "1", "分析周期的设置",
         [](CQeltCFG& cfg, int n) { cfg.Views().SetKLinePeriod(1 + n % 8); },
         [](const CQeltCFG& cfg, int n) { return cfg.Views().KLinePeriod() == 1 + n % 8; }},
        {"mutiview.ini", "0112|20070625\r\n", "多股同列的商品",
         [](CQeltCFG& cfg, int n) {
             cfg.Views().SetMultiGoods({GoodsKey{Goods(n), "20070625"}});
         },
         [](const CQeltCFG& cfg, int n) { return cfg.Views().MultiGoods()[0].goodsNo == Goods(n); }},
    };
}

/// Settings over `dir` whose messages go to `shown`.
struct Watched {
    explicit Watched(const test::TempDir& dir) : cfg(dir.Path()) {
        cfg.Reports().SetSink([this](const std::string& text, const std::string&) { shown.push_back(text); });
    }
    CQeltCFG cfg;
    std::vector<std::string> shown;
};

TEST(SettingsFileRule, AFileThatCannotBeReadIsNeverWrittenOverAndToldOnce) {
    for (const FileCase& c : Cases()) {
        test::TempDir dir;
        ASSERT_TRUE(WriteFileAtomic(dir.File(c.file), c.seed));
        std::optional<Watched> run;
        {
            test::FailingDisk disk(Fault::ReadFails);  // the file is there, its content is not
            run.emplace(dir);
            c.change(run->cfg, 1);  // a file read at its first use fails here
        }
        c.change(run->cfg, 2);
        c.change(run->cfg, 3);
        EXPECT_EQ(ReadWholeFile(dir.File(c.file)).value(), c.seed) << c.file << " is the user's, untouched";
        EXPECT_TRUE(c.holds(run->cfg, 3)) << c.file << ": the run works in memory";
        EXPECT_EQ(run->shown, std::vector<std::string>{"无法读取" + c.content + "（" + c.file +
                                                       "），本次运行不会改写它！"})
            << c.file << ": one message, not one per change";
    }
}

TEST(SettingsFileRule, AFailedWriteKeepsTheOldFileAndTheChangeAndIsToldOnce) {
    for (Fault fault : {Fault::ReadOnlyDirectory, Fault::FullDisk, Fault::SyncFails, Fault::RenameFails}) {
        for (const FileCase& c : Cases()) {
            const std::string name = c.file + " fault " + FormatInt(static_cast<int>(fault));
            test::TempDir dir;
            ASSERT_TRUE(WriteFileAtomic(dir.File(c.file), c.seed));
            Watched run(dir);
            {
                test::FailingDisk disk(fault, 0);
                c.change(run.cfg, 1);
                c.change(run.cfg, 2);
            }
            EXPECT_EQ(ReadWholeFile(dir.File(c.file)).value(), c.seed) << name << ": never half written";
            EXPECT_TRUE(c.holds(run.cfg, 2)) << name << ": the change holds for the run";
            EXPECT_EQ(run.shown, std::vector<std::string>{"无法保存" + c.content + "！"}) << name;

            c.change(run.cfg, 3);  // the disk is back: the next change writes what the run holds
            EXPECT_TRUE(c.holds(CQeltCFG(dir.Path()), 3)) << name << ": the next start has it";
            EXPECT_EQ(run.shown.size(), 1u) << name;
        }
    }
}

TEST(SettingsFileRule, AMissingFileIsNoFaultAndTheFirstChangeMakesIt) {
    for (const FileCase& c : Cases()) {
        test::TempDir dir;
        Watched run(dir);
        c.change(run.cfg, 5);
        EXPECT_TRUE(c.holds(CQeltCFG(dir.Path()), 5)) << c.file;
        EXPECT_TRUE(run.shown.empty()) << c.file;
    }
}

TEST(SettingsFileRule, EveryViewFileIsReadOnceAndHeldForTheRun) {
    // A view made after a switch asks again: it gets the run's value, whatever the file says.
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    cfg.Views().SetKLinePanes({1, 41, 3});
    cfg.Views().SetBoardColumns("涨幅|80|");
    ASSERT_TRUE(WriteFileAtomic(dir.File("winfile.ini"), "22|"));
    ASSERT_TRUE(WriteFileAtomic(dir.File("head.ini"), "x|1|"));
    EXPECT_EQ(cfg.Views().KLinePanes(), (std::vector<int>{1, 41, 3}));
    EXPECT_EQ(cfg.Views().BoardColumns(), "涨幅|80|");

    ASSERT_TRUE(WriteFileAtomic(dir.File("mutiview.ini"), "0130|20240625\r\n"));
    ASSERT_TRUE(WriteFileAtomic(dir.File("logscale.ini"), "1"));
    const CQeltCFG next(dir.Path());  // read when first asked for, after start-up
    EXPECT_EQ(next.Views().MultiGoods()[0], (GoodsKey{"0130", "20240625"}));
    EXPECT_TRUE(next.Views().LogScale());
    EXPECT_EQ(next.Views().KLinePanes(), std::vector<int>{22});
    ASSERT_TRUE(WriteFileAtomic(dir.File("logscale.ini"), "0"));
    EXPECT_TRUE(next.Views().LogScale()) << "read once";
}

TEST(SettingsFile, TellsMissingReadAndUnreadableApartAndRefusesOnlyTheLast) {
    test::TempDir dir;
    SettingsReports reports;
    std::vector<std::string> shown;
    reports.SetSink([&shown](const std::string& text, const std::string&) { shown.push_back(text); });

    SettingsFile file(dir.Path(), "head.ini", 8, &reports);
    EXPECT_EQ(file.LastRead(), SettingsFile::State::NotRead);
    EXPECT_FALSE(file.Read().has_value());
    EXPECT_EQ(file.LastRead(), SettingsFile::State::Missing);
    ASSERT_TRUE(file.Write("12345678"));
    EXPECT_EQ(file.Read().value(), "12345678");
    EXPECT_EQ(file.LastRead(), SettingsFile::State::Read);

    ASSERT_TRUE(WriteFileAtomic(dir.File("head.ini"), "123456789"));  // one byte over: not ours
    EXPECT_FALSE(file.Read().has_value());
    EXPECT_TRUE(file.Unreadable());
    EXPECT_FALSE(file.Write("1"));
    EXPECT_EQ(ReadWholeFile(dir.File("head.ini")).value(), "123456789");
    EXPECT_EQ(shown.size(), 1u);

    // An owner that tells the user itself: nothing goes to the reports.
    SettingsFile quiet(dir.Path(), "config.ini", 8, nullptr);
    {
        test::FailingDisk disk(Fault::RenameFails);
        EXPECT_FALSE(quiet.Write("a:b:1\r\n"));
    }
    EXPECT_EQ(shown.size(), 1u);
}

}  // namespace
}  // namespace qelt
