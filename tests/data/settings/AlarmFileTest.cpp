// alarm.ini: the entries and the two switches survive a restart, byte-exact in GBK; a
// damaged or hostile file gives only its good lines, and keeps the rest through every save.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "common/Gbk.h"
#include "data/settings/AlarmFile.h"
#include "data/settings/CQeltCFG.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(AlarmFile, SettingsComeBackAfterARestart) {
    test::TempDir dir;
    {
        CQeltCFG cfg(dir.Path());
        EXPECT_TRUE(cfg.AlarmEntries().empty());
        EXPECT_FALSE(cfg.m_alarmWindowOn.load());
        EXPECT_FALSE(cfg.AlarmSound()) << "off by default";
        ASSERT_TRUE(cfg.AddAlarmEntry({{"0112", "20261225"}, "10", "8.5", "0", "0"}));
        // The index records' month is a Chinese name: it must reach the disk as GBK.
        ASSERT_TRUE(cfg.AddAlarmEntry({{"0009", "综合指数"}, "0.000", "0.000", "500", "300"}));
        ASSERT_TRUE(cfg.AddAlarmEntry({{"", ""}, "0.000", "0.000", "0", "0"}));  // made without goods: kept
        ASSERT_TRUE(cfg.AddAlarmEntry({{"0121", "20270125"}, "1.000", "0.000", "0", "0"}));
        ASSERT_TRUE(cfg.RemoveAlarmEntries({3}));
        ASSERT_TRUE(cfg.SetAlarmWindowOn(true));
        ASSERT_TRUE(cfg.SetAlarmSound(true));
    }
    const std::string bytes = ReadWholeFile(dir.File("alarm.ini")).value();
    EXPECT_EQ(bytes, Utf8ToGbk("window=1\r\nsound=1\r\nalarm=0112|20261225|10.000|8.500|0|0\r\n"
                               "alarm=0009|综合指数|0.000|0.000|500|300\r\nalarm=||0.000|0.000|0|0\r\n"));
    EXPECT_NE(bytes.find("\xD7\xDB\xBA\xCF"), std::string::npos) << "综合 in GBK";

    CQeltCFG again(dir.Path());
    EXPECT_EQ(again.AlarmEntries(),
              (std::vector<AlarmEntry>{{{"0112", "20261225"}, "10.000", "8.500", "0", "0"},
                                       {{"0009", "综合指数"}, "0.000", "0.000", "500", "300"},
                                       {{"", ""}, "0.000", "0.000", "0", "0"}}));
    EXPECT_TRUE(again.m_alarmWindowOn.load());
    EXPECT_TRUE(again.AlarmSound());
    EXPECT_EQ(again.AlarmQueries().size(), 2u)
        << "the flag read back turns the queries on: one for each entry with a threshold";
}

TEST(AlarmFile, ADamagedFileKeepsItsGoodLines) {
    const std::string content =
        "sound=1\n"                                                   // a bare line feed is read too
        "alarm=0112|20261225|10.000|0.000|0|0\r\n"                    // good
        "alarm=0112|20261225|10.000|0.000|0\r\n"                      // five fields
        "alarm=0112|20261225|10.000|0.000|0|0|9\r\n"                  // seven fields
        "alarm=0112|20261225|ten|0.000|0|0\r\n"                       // not a number
        "alarm=0112|20261225|-1|0.000|0|0\r\n"                        // below the range
        "alarm=0112|20261225|0.000|0.000|1000000|0\r\n"               // above the range
        "alarm=0112|20261225|0.000|0.000|1.5|0\r\n"                   // a count with a fraction
        "alarm=0112|20261225|0.000|0.000|99999999999999999999|0\r\n"  // would overflow
        "alarm=0112') or (price>=0|20261225|1.000|0.000|0|0\r\n"      // would rewrite the query
        "alarm=0112|2026\x01|1.000|0.000|0|0\r\n"                     // control character
        "alarm=" +
        std::string(70, '1') +
        "|20261225|1.000|0.000|0|0\r\n"  // too long for the server
        "window=yes\r\n"                 // not a flag: stays off
        "garbage\r\n"
        "alarm=0121| 20270125 |7|  0 | 12 |0";  // spaces around numbers; last line unterminated
    const AlarmSettings settings = ParseAlarmFile(content);
    EXPECT_FALSE(settings.windowOn);
    EXPECT_TRUE(settings.sound);
    EXPECT_EQ(settings.entries,
              (std::vector<AlarmEntry>{{{"0112", "20261225"}, "10.000", "0.000", "0", "0"},
                                       {{"0121", " 20270125 "}, "7.000", "0.000", "12", "0"}}));

    std::string many;
    for (int i = 0; i < 1500; ++i) many += "alarm=0112|20261225|1.000|0.000|0|0\r\n";
    EXPECT_EQ(ParseAlarmFile(many).entries.size(), kMaxAlarmEntries);
}

TEST(AlarmFile, LinesTheRunDoesNotTakeStayInTheFileThroughEverySave) {
    test::TempDir dir;
    const std::string damaged =
        "alarm=0112|20261225|ten|0.000|0|0\r\n"
        "garbage \xD7\xDB\xBA\xCF\r\n"  // GBK text comes back as it was
        "window=yes\r\n";
    std::string content = "window=1\r\n" + damaged;
    for (int i = 0; i < 1003; ++i)
        content += "alarm=0112|20261225|" + std::to_string(i) + ".000|0.000|0|0\r\n";
    ASSERT_TRUE(WriteFileAtomic(dir.File("alarm.ini"), content));
    {
        CQeltCFG cfg(dir.Path());
        ASSERT_EQ(cfg.AlarmEntries().size(), kMaxAlarmEntries);
        ASSERT_TRUE(cfg.RemoveAlarmEntries({0}));
        ASSERT_TRUE(cfg.AddAlarmEntry({{"0121", "20270125"}, "5", "0", "0", "0"}));
    }
    const std::string saved = ReadWholeFile(dir.File("alarm.ini")).value();
    for (const std::string line :
         {"alarm=0112|20261225|ten|0.000|0|0\r\n", "garbage \xD7\xDB\xBA\xCF\r\n", "window=yes\r\n",
          "alarm=0112|20261225|1000.000|0.000|0|0\r\n", "alarm=0112|20261225|1002.000|0.000|0|0\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
    EXPECT_EQ(saved.find("alarm=0112|20261225|0.000|0.000|0|0"), std::string::npos)
        << "the entry removed goes";
    EXPECT_EQ(saved.rfind("window=1\r\nsound=0\r\nalarm=0112|20261225|1.000", 0), 0u);

    // The next start: the entry added is one of the thousand, the others wait in the file.
    CQeltCFG next(dir.Path());
    ASSERT_EQ(next.AlarmEntries().size(), kMaxAlarmEntries);
    EXPECT_EQ(next.AlarmEntries().back().goods.goodsNo, "0121");
    EXPECT_TRUE(next.m_alarmWindowOn.load());
}

TEST(AlarmFile, AFailedRewriteKeepsTheOldFileAndTheChange) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    ASSERT_TRUE(cfg.AddAlarmEntry({{"0112", "20261225"}, "10.000", "0.000", "0", "0"}));
    const std::string before = ReadWholeFile(dir.File("alarm.ini")).value();
    {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 8);
        EXPECT_FALSE(cfg.AddAlarmEntry({{"0121", "20270125"}, "5.000", "0.000", "0", "0"}));
    }
    EXPECT_EQ(ReadWholeFile(dir.File("alarm.ini")).value(), before) << "never half written";
    EXPECT_EQ(cfg.AlarmEntries().size(), 2u) << "the entry works for this run";
    // An entry the file could not keep is refused up front, not lost at the next start: a
    // quote would break the query, a bar the file's fields.
    EXPECT_FALSE(cfg.AddAlarmEntry({{"01'12", "20261225"}, "10.000", "0.000", "0", "0"}));
    EXPECT_FALSE(cfg.AddAlarmEntry({{"0112", "2026|1225"}, "10.000", "0.000", "0", "0"}));
    EXPECT_EQ(cfg.AlarmEntries().size(), 2u);
    EXPECT_EQ(ReadWholeFile(dir.File("alarm.ini")).value(), before);
}

TEST(AlarmFile, FailedWritesOfTheSwitchesAndEntriesAreReportedOnce) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    std::vector<std::string> shown;
    cfg.Reports().SetSink([&shown](const std::string& text, const std::string&) { shown.push_back(text); });
    {
        test::FailingDisk disk(test::FailingDisk::Fault::RenameFails);
        EXPECT_FALSE(cfg.SetAlarmWindowOn(true));
        EXPECT_FALSE(cfg.AddAlarmEntry({{"0112", "20261225"}, "10.000", "0.000", "0", "0"}));
        EXPECT_FALSE(cfg.SetAlarmSound(true));
    }
    EXPECT_EQ(shown, std::vector<std::string>{"无法保存预警设置！"}) << "one message for the file this run";
    EXPECT_TRUE(cfg.m_alarmWindowOn.load()) << "the switch holds in memory";
    EXPECT_FALSE(FileExists(dir.File("alarm.ini")));
    // The disk is back: the next change writes everything the run holds.
    EXPECT_TRUE(cfg.SetAlarmSound(false));
    EXPECT_EQ(ReadAlarmFile(dir.Path()),
              (AlarmSettings{{{{"0112", "20261225"}, "10.000", "0.000", "0", "0"}}, true, false}));
    EXPECT_EQ(shown.size(), 1u);
}

TEST(AlarmFile, AFileThatCannotBeReadIsNeverWrittenOver) {
    test::TempDir dir;
    // Entries the user made, then more than the reader takes: the file is refused whole.
    std::string content = "window=1\r\nalarm=0112|20261225|10.000|0.000|0|0\r\n";
    content += std::string((1u << 20) + 1, ' ');
    ASSERT_TRUE(WriteFileAtomic(dir.File("alarm.ini"), content));
    EXPECT_FALSE(LoadAlarmFile(dir.Path()).has_value());

    CQeltCFG cfg(dir.Path());
    std::vector<std::string> shown;
    cfg.Reports().SetSink([&shown](const std::string& text, const std::string&) { shown.push_back(text); });
    ASSERT_EQ(shown.size(), 1u) << "reported once the application has a place to show it";
    EXPECT_NE(shown[0].find("alarm.ini"), std::string::npos);
    EXPECT_TRUE(cfg.AlarmEntries().empty());
    EXPECT_FALSE(cfg.AddAlarmEntry({{"0121", "20270125"}, "5.000", "0.000", "0", "0"}));
    EXPECT_FALSE(cfg.SetAlarmWindowOn(true));
    EXPECT_EQ(cfg.AlarmEntries().size(), 1u) << "the run works in memory";
    EXPECT_EQ(ReadWholeFile(dir.File("alarm.ini"), 4u << 20).value(), content) << "the user's file stays";
    EXPECT_EQ(shown.size(), 1u) << "no second message for the same file";

    // A missing file is no fault: the defaults, and the first change creates it.
    test::TempDir fresh;
    EXPECT_EQ(LoadAlarmFile(fresh.Path()), AlarmSettings{});
}

}  // namespace
}  // namespace qelt
