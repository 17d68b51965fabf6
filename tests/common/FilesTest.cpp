#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/Files.h"
#include "common/ProgramDir.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(Files, RewriteIsWholeAndLeavesNoTemporaryBehind) {
    test::TempDir dir;
    const std::string path = dir.File("config.ini");
    EXPECT_FALSE(ReadWholeFile(path).has_value());
    ASSERT_TRUE(WriteFileAtomic(path, std::string("a:b:3500\r\n")));
    ASSERT_TRUE(WriteFileAtomic(path, std::string("x")));
    EXPECT_EQ(ReadWholeFile(path).value(), "x");
    size_t entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(Files, FailedRewriteKeepsTheOldContent) {
    test::TempDir dir;
    const std::string path = dir.File("mylist.ini");
    ASSERT_TRUE(WriteFileAtomic(path, std::string("old")));
    EXPECT_FALSE(WriteFileAtomic(dir.File("missing/mylist.ini"), std::string("new")));
    EXPECT_EQ(ReadWholeFile(path).value(), "old");
}

TEST(Files, ModeAppliesToNewFilesAndSizeIsBounded) {
    test::TempDir dir;
    const std::string path = dir.File("sys.ini");
    ASSERT_TRUE(WriteFileAtomic(path, std::string("secret"), 0600));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(ReadWholeFile(path, 3).has_value());
    EXPECT_TRUE(ReadWholeFile(path, 6).has_value());
}

TEST(ProgramDirectory, HomeOptionThenEnvironmentThenExecutable) {
    const char* withHome[] = {"qelt", "--home", "/opt/qelt"};
    EXPECT_EQ(ResolveProgramDirectory(3, withHome), "/opt/qelt/");
    const char* withEquals[] = {"qelt", "--home=/srv/q//"};
    EXPECT_EQ(ResolveProgramDirectory(2, withEquals), "/srv/q/");
    const char* plain[] = {"qelt"};
    ::setenv("QELT_HOME", "/var/q", 1);
    EXPECT_EQ(ResolveProgramDirectory(1, plain), "/var/q/");
    ::unsetenv("QELT_HOME");
    std::string exeDir = ResolveProgramDirectory(1, plain);
    EXPECT_EQ(exeDir.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(exeDir));
}

}  // namespace
}  // namespace qelt
