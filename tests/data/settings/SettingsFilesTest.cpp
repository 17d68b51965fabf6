#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/Files.h"
#include "data/settings/CQeltCFG.h"
#include "data/settings/RememberedLogin.h"
#include "data/settings/SelfSelectedFile.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(MyListIni, EntriesAreAppendedOnceInGbk) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    ASSERT_TRUE(cfg.AddSelfSelected({"1001", "200903"}, "0001"));
    ASSERT_TRUE(cfg.AddSelfSelected({"1001", "200903"}, "0001"));
    EXPECT_EQ(ReadWholeFile(dir.File("mylist.ini")).value(), "1001|200903|0001||");
    ASSERT_TRUE(cfg.AddSelfSelected({"1001", "200903"}, "0005"));
    ASSERT_TRUE(cfg.AddSelfSelected({"丝", "200904"}, "0001"));
    EXPECT_EQ(ReadWholeFile(dir.File("mylist.ini")).value(),
              "1001|200903|0001||1001|200903|0005||\xCB\xBF|200904|0001||");
    auto entries = CQeltCFG(dir.Path()).ReadSelfSelected();  // the next start
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1], (SelfSelectedEntry{{"1001", "200903"}, "0005"}));
    EXPECT_EQ(entries[2].goods.goodsNo, "丝");
}

TEST(MyListIni, RemoveDropsOnlyEqualEntries) {
    test::TempDir dir;
    ASSERT_TRUE(CQeltCFG(dir.Path()).RemoveSelfSelected({"1", "2"}, "0001"));
    EXPECT_EQ(ReadWholeFile(dir.File("mylist.ini")).value(), "") << "a missing file becomes empty";
    ASSERT_TRUE(WriteFileAtomic(dir.File("mylist.ini"), "a|1|0001||a|1|0005||b|2|0001||"));
    ASSERT_TRUE(CQeltCFG(dir.Path()).RemoveSelfSelected({"a", "1"}, "0001"));
    EXPECT_EQ(ReadWholeFile(dir.File("mylist.ini")).value(), "a|1|0005||b|2|0001||");
    EXPECT_TRUE(CQeltCFG(dir.File("none/")).ReadSelfSelected().empty());
}

TEST(MyListIni, ShortEntriesReadWithEmptyFields) {
    auto entries = ParseSelfSelected("a|1||b");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (SelfSelectedEntry{{"a", "1"}, ""}));
    EXPECT_EQ(entries[1], (SelfSelectedEntry{{"b", ""}, ""}));
}

TEST(SysIni, ScramblingIsItsOwnInverseAndHidesTheSeparator) {
    std::string text = "user|pass\xB6";
    EXPECT_EQ(ScrambleLogin(ScrambleLogin(text)), text);
    test::TempDir dir;
    ASSERT_TRUE(WriteRememberedLogin(dir.Path(), {"张三", "p|w"}));
    std::string stored = ReadWholeFile(dir.File("sys.ini")).value();
    EXPECT_EQ(stored.find('|'), std::string::npos);
    EXPECT_EQ(ScrambleLogin(stored), "\xD5\xC5\xC8\xFD|p|w") << "GBK, split at the first |";
    EXPECT_EQ(ReadRememberedLogin(dir.Path()), (RememberedLogin{"张三", "p|w"}));

    struct stat st {};
    ASSERT_EQ(::stat(dir.File("sys.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    ASSERT_TRUE(ForgetRememberedLogin(dir.Path()));
    EXPECT_EQ(ReadWholeFile(dir.File("sys.ini")).value(), "");
    EXPECT_FALSE(ReadRememberedLogin(dir.Path()).has_value());
    EXPECT_FALSE(ReadRememberedLogin(dir.File("none/")).has_value());
}

}  // namespace
}  // namespace qelt
