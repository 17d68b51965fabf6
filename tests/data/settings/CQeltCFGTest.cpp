#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/Files.h"
#include "data/settings/CQeltCFG.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(QeltCFG, StartValues) {
    test::TempDir dir;
    ASSERT_TRUE(WriteFileAtomic(dir.File("indi.ini"), "1,2,3"));
    CQeltCFG cfg(dir.Path());
    EXPECT_TRUE(cfg.m_autoUpdate);
    EXPECT_FALSE(cfg.m_alarmWindowOn.load());
    EXPECT_EQ(cfg.m_indicators[2], 3) << "indi.ini is loaded at construction";
    EXPECT_EQ(cfg.DatabasePath(), dir.Path() + "his/qelt.db");

    const auto& pens = cfg.Pens();
    EXPECT_EQ(pens[0].style, PenStyle::User);
    EXPECT_EQ(pens[0].dashes, (std::vector<int>{1, 5}));
    EXPECT_EQ(pens[1].dashes, (std::vector<int>{1, 1}));
    EXPECT_TRUE(pens[1].flatEnds);
    EXPECT_EQ(pens[0].colour, 0x0000FFu);
    EXPECT_EQ(pens[3], Pen::Solid(2, 0xFFFFFF));
    EXPECT_EQ(pens[10], Pen::Solid(1, 0xFFFF00));

    cfg.SetDisplayScale(1.5);
    EXPECT_EQ(cfg.Fonts()[0], (Font{"宋体", 14, 400}));
    EXPECT_EQ(cfg.Fonts()[1], (Font{"宋体", 24, 700}));
    EXPECT_EQ(cfg.Fonts()[2], (Font{"宋体", 18, 400}));
    EXPECT_EQ(cfg.Fonts()[3], (Font{"宋体", 27, 700}));
}

TEST(QeltCFG, BothColourSetsShowOnTheirOwnBackground) {
    test::TempDir dir;
    const CQeltCFG cfg(dir.Path());
    EXPECT_EQ(cfg.ScreenScheme().background, Rgb(0, 0, 0));
    EXPECT_EQ(cfg.PrintScheme().background, Rgb(255, 255, 255)) << "paper";
    for (const DisplayScheme* scheme : {&cfg.ScreenScheme(), &cfg.PrintScheme()}) {
        // Whatever a view draws in the set's colours must show on the set's background.
        for (Colour line : scheme->line) EXPECT_NE(line, scheme->background);
        EXPECT_NE(scheme->title, scheme->background);
        EXPECT_NE(scheme->header, scheme->background);
        EXPECT_NE(scheme->level, scheme->background);
        EXPECT_NE(scheme->linePen.colour, scheme->background);
    }
}

TEST(QeltCFG, SelfSelectedAndLoginGoThroughTheProgramDirectory) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    SelfSelectedSource& source = cfg;
    EXPECT_TRUE(source.ReadSelfSelected().empty());
    cfg.AddSelfSelected({"1001", "200903"}, "0001");
    cfg.AddSelfSelected({"1002", "200903"}, "0005");
    cfg.RemoveSelfSelected({"1001", "200903"}, "0001");
    EXPECT_EQ(source.ReadSelfSelected(), (std::vector<SelfSelectedEntry>{{{"1002", "200903"}, "0005"}}));

    ASSERT_TRUE(cfg.SaveLogin("u", "p"));
    EXPECT_EQ(cfg.ReadLogin(), (RememberedLogin{"u", "p"}));
}

TEST(QeltCFG, StartUpSweepsAwayWhatSavesCutShortLeft) {
    test::TempDir dir;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);  // a process that is gone, as after a crash
    const std::string left = dir.File("mylist.ini.tmp" + std::to_string(child) + "_4");
    ASSERT_TRUE(WriteFileAtomic(left, "0101|2007"));
    ASSERT_TRUE(WriteFileAtomic(dir.File("mylist.ini"), "0112|20070625|0001||"));
    CQeltCFG cfg(dir.Path());
    EXPECT_FALSE(FileExists(left));
    EXPECT_EQ(cfg.ReadSelfSelected().size(), 1u);
}

TEST(QeltCFG, AlarmQueriesOnlyWhileTheWindowIsOn) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    cfg.AddAlarmEntry({{"1001", "200903"}, "10.000", "0.000", "0", "0"});
    cfg.AddAlarmEntry({{"1002", "200904"}, "0.000", "0.000", "0", "0"});  // no threshold: no query
    cfg.AddAlarmEntry({{"1003", "200905"}, "0.000", "0.000", "5", "0"});
    EXPECT_TRUE(cfg.AlarmQueries().empty());
    cfg.m_alarmWindowOn = true;
    auto queries = cfg.AlarmQueries();
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_EQ(queries[0].rfind("alarm:goods_no='1001' and due_date='200903' and (", 0), 0u);
    cfg.RemoveAlarmEntries({0, 2});
    ASSERT_EQ(cfg.AlarmEntries().size(), 1u);
    EXPECT_EQ(cfg.AlarmEntries()[0].goods.goodsNo, "1002");
}

}  // namespace
}  // namespace qelt
