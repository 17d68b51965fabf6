#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "common/Files.h"
#include "common/ProgramDir.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

/// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ProgramDirectory, ChoiceGoesFromTheCommandLineToTheUsersOwnDirectory) {
    ProgramDirectorySources s;
    s.homeOption = "/opt/q//";
    s.homeVariable = "/var/q";
    s.executableDirectory = "/usr/bin/";
    s.executableDirectoryUsable = true;
    s.dataHome = "/home/u/data";
    s.userHome = "/home/u";
    auto choice = ChooseProgramDirectory(s);
    EXPECT_EQ(choice.directory, "/opt/q/");
    EXPECT_FALSE(choice.perUser);
    s.homeOption.clear();
    EXPECT_EQ(ChooseProgramDirectory(s).directory, "/var/q/");
    s.homeVariable.clear();
    // A build tree or a portable copy: the executable's directory holds config.ini.
    EXPECT_EQ(ChooseProgramDirectory(s).directory, "/usr/bin/");
    // An installation: never the executable's directory.
    s.executableDirectoryUsable = false;
    choice = ChooseProgramDirectory(s);
    EXPECT_EQ(choice.directory, "/home/u/data/qelt/");
    EXPECT_TRUE(choice.perUser);
    // A relative XDG_DATA_HOME is no base directory at all.
    s.dataHome = "data";
    EXPECT_EQ(ChooseProgramDirectory(s).directory, "/home/u/.local/share/qelt/");
    // No home of the user's: the executable's directory rather than the current one.
    s.userHome.clear();
    choice = ChooseProgramDirectory(s);
    EXPECT_EQ(choice.directory, "/usr/bin/");
    EXPECT_FALSE(choice.perUser);
}

TEST(ProgramDirectory, ResolvedFromArgumentsEnvironmentAndTheExecutablesPlace) {
    test::TempDir home;
    ScopedVariable noVariable("QELT_HOME", nullptr);
    ScopedVariable userHome("HOME", home.Path().c_str());
    ScopedVariable noDataHome("XDG_DATA_HOME", nullptr);
    const char* withHome[] = {"qelt", "--home", "/opt/qelt"};
    EXPECT_EQ(ResolveProgramDirectory(3, withHome), "/opt/qelt/");
    const char* withEquals[] = {"qelt", "--home=/srv/q//"};
    EXPECT_EQ(ResolveProgramDirectory(2, withEquals), "/srv/q/");
    const char* plain[] = {"qelt"};
    {
        ScopedVariable variable("QELT_HOME", "/var/q");
        EXPECT_EQ(ResolveProgramDirectory(1, plain), "/var/q/");
    }
    // The test program's directory holds no config.ini: the per-user directory is made.
    const std::string perUser = home.Path() + ".local/share/qelt/";
    EXPECT_EQ(ResolveProgramDirectory(1, plain), perUser);
    struct stat st {};
    ASSERT_EQ(::stat(perUser.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ScopedVariable dataHome("XDG_DATA_HOME", (home.Path() + "data").c_str());
    EXPECT_EQ(ResolveProgramDirectory(1, plain), home.Path() + "data/qelt/");
    // A per-user directory that cannot be made leaves the executable's directory in charge.
    ASSERT_TRUE(WriteFileAtomic(home.File("blocked"), "a file, not a directory"));
    ScopedVariable blocked("XDG_DATA_HOME", home.File("blocked").c_str());
    EXPECT_EQ(ResolveProgramDirectory(1, plain), ExecutableDirectory());
}

TEST(ProgramDirectory, PerUserDirectoryTakesTheDefaultsItLacksAndKeepsTheUsersFiles) {
    test::TempDir root;
    const std::string defaults = root.File("defaults/");
    ASSERT_TRUE(EnsureDirectory(defaults));
    ASSERT_TRUE(WriteFileAtomic(defaults + "config.ini", "demo:127.0.0.1:3500\r\n"));
    ASSERT_TRUE(WriteFileAtomic(defaults + "indi.ini", "12,26,9"));
    ASSERT_TRUE(EnsureDirectory(defaults + "his"));  // not a file: not copied
    ASSERT_TRUE(WriteFileAtomic(defaults + "huge.ini", std::string((1u << 20) + 1, 'x')));

    const std::string user = root.File("a/b/qelt/");
    ASSERT_TRUE(PreparePerUserDirectory(user, defaults));
    EXPECT_EQ(ReadWholeFile(user + "config.ini"), "demo:127.0.0.1:3500\r\n");
    EXPECT_EQ(ReadWholeFile(user + "indi.ini"), "12,26,9");
    EXPECT_FALSE(FileExists(user + "his"));
    EXPECT_FALSE(FileExists(user + "huge.ini"));

    // The user's own settings survive every later start; a default they deleted comes back.
    ASSERT_TRUE(WriteFileAtomic(user + "config.ini", "mine:10.0.0.1:3500\r\n"));
    ASSERT_EQ(::unlink((user + "indi.ini").c_str()), 0);
    ASSERT_TRUE(PreparePerUserDirectory(user, defaults));
    EXPECT_EQ(ReadWholeFile(user + "config.ini"), "mine:10.0.0.1:3500\r\n");
    EXPECT_EQ(ReadWholeFile(user + "indi.ini"), "12,26,9");

    // No installed defaults (a build tree): the directory alone, the client makes its files.
    EXPECT_TRUE(PreparePerUserDirectory(root.File("bare"), root.File("missing/")));
    EXPECT_TRUE(FileExists(root.File("bare")));
    // A file where a directory must go.
    EXPECT_FALSE(PreparePerUserDirectory(user + "config.ini/sub", defaults));
}

}  // namespace
}  // namespace qelt
