#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Files.h"
#include "support/FailingDisk.h"
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
    using Fault = test::FailingDisk::Fault;
    test::TempDir dir;
    const std::string path = dir.File("mylist.ini");
    ASSERT_TRUE(WriteFileAtomic(path, std::string("old content")));
    const std::string longer(100000, 'n');
    for (Fault fault : {Fault::ReadOnlyDirectory, Fault::FullDisk, Fault::SyncFails, Fault::RenameFails}) {
        for (std::size_t room : {std::size_t{0}, std::size_t{3}, longer.size() - 1}) {
            test::FailingDisk disk(fault, room);
            EXPECT_FALSE(WriteFileAtomic(path, longer)) << static_cast<int>(fault) << " room " << room;
            EXPECT_EQ(ReadWholeFile(path).value(), "old content")
                << static_cast<int>(fault) << " room " << room;
        }
    }
    size_t entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file is left behind";
    // A disk with room again takes the rewrite.
    ASSERT_TRUE(WriteFileAtomic(path, longer));
    EXPECT_EQ(ReadWholeFile(path).value(), longer);
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
    // A directory opens but does not read: nothing, not an empty file that a later save
    // would take for the content.
    EXPECT_FALSE(ReadWholeFile(dir.Path()).has_value());
}

/// The system's own calls, each one written down as "open <path>", "write", "sync file",
/// "sync directory" or "rename", in order.
class RecordedCalls : public FileCalls {
  public:
    RecordedCalls() : m_previous(SetFileCalls(this)) {}
    ~RecordedCalls() override { SetFileCalls(m_previous); }
    int Open(const char* path, int flags, mode_t mode) override {
        calls.push_back(std::string("open ") + path);
        return FileCalls::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        calls.push_back("write");
        return FileCalls::Write(fd, data, size);
    }
    int Sync(int fd) override {
        struct stat st {};
        calls.push_back(::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? "sync directory" : "sync file");
        return FileCalls::Sync(fd);
    }
    int Rename(const char* from, const char* to) override {
        calls.push_back("rename");
        return FileCalls::Rename(from, to);
    }
    std::vector<std::string> calls;

  private:
    FileCalls* m_previous;
};

TEST(Files, TheRenameIsFlushedWithItsDirectory) {
    test::TempDir dir;
    const std::string path = dir.File("head.ini");
    RecordedCalls recorded;
    ASSERT_TRUE(WriteFileAtomic(path, "编号|60|"));
    const std::vector<std::string>& calls = recorded.calls;
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0].rfind("open " + path + ".tmp", 0), 0u) << calls[0];
    const auto rename = std::find(calls.begin(), calls.end(), "rename");
    ASSERT_NE(rename, calls.end());
    EXPECT_NE(std::find(calls.begin(), rename, "sync file"), rename) << "the content reaches the disk first";
    EXPECT_NE(std::find(rename, calls.end(), "sync directory"), calls.end())
        << "then the new name: a crash brings back neither the old file nor none";
}

TEST(Files, ARewriteKeepsTheFilesOwnPermissions) {
    test::TempDir dir;
    const auto modeOf = [](const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    };
    const std::string shared = dir.File("config.ini");
    ASSERT_TRUE(WriteFileAtomic(shared, "a:1.1.1.1:3500\r\n"));
    ASSERT_EQ(::chmod(shared.c_str(), 0664), 0);  // the group may edit the server list
    ASSERT_TRUE(WriteFileAtomic(shared, "b:2.2.2.2:3500\r\n"));
    EXPECT_EQ(modeOf(shared), 0664u) << "the user's chmod survives a save";

    const std::string mine = dir.File("mylist.ini");
    ASSERT_TRUE(WriteFileAtomic(mine, "1|2|0001||"));
    ASSERT_EQ(::chmod(mine.c_str(), 0600), 0);
    ASSERT_TRUE(WriteFileAtomic(mine, "1|2|0001||3|4|0001||"));
    EXPECT_EQ(modeOf(mine), 0600u) << "a file made private stays private";

    // A password file never opens up, whatever the old file allowed.
    const std::string login = dir.File("sys.ini");
    ASSERT_TRUE(WriteFileAtomic(login, "old"));
    ASSERT_EQ(::chmod(login.c_str(), 0644), 0);
    ASSERT_TRUE(WriteFileAtomic(login, "secret", 0600));
    EXPECT_EQ(modeOf(login), 0600u);
}

/// A process id that no process has now: a child that has ended and been reaped.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST(Files, TemporariesOfUnfinishedSavesAreRemovedAndNothingElse) {
    test::TempDir dir;
    const std::string ended = std::to_string(EndedProcess());
    const std::string running = std::to_string(::getppid());
    const std::vector<std::string> stale = {"mylist.ini.tmp" + ended + "_0", "alarm.ini.tmp" + ended + "_17"};
    const std::vector<std::string> kept = {
        "mylist.ini",
        "winfile.ini.tmp" + running + "_3",  // another client is saving it right now
        "notes.tmp",                         // not of our naming
        "a.tmp" + ended,
        "b.tmp" + ended + "_x",
        ".tmp" + ended + "_1",
    };
    for (const std::string& name : stale) ASSERT_TRUE(WriteFileAtomic(dir.File(name), "half"));
    for (const std::string& name : kept) ASSERT_TRUE(WriteFileAtomic(dir.File(name), "mine"));
    ASSERT_TRUE(EnsureDirectory(dir.File("his.tmp" + ended + "_2")));

    EXPECT_EQ(RemoveStaleTemporaries(dir.Path()), stale.size());
    for (const std::string& name : stale) EXPECT_FALSE(FileExists(dir.File(name))) << name;
    for (const std::string& name : kept) EXPECT_TRUE(FileExists(dir.File(name))) << name;
    EXPECT_TRUE(FileExists(dir.File("his.tmp" + ended + "_2"))) << "only files";
    EXPECT_EQ(RemoveStaleTemporaries(dir.File("missing/")), 0u);
}

TEST(Files, AReadThatFailsIsNoContent) {
    test::TempDir dir;
    const std::string path = dir.File("indi.ini");
    ASSERT_TRUE(WriteFileAtomic(path, "12,26,9"));
    {
        test::FailingDisk disk(test::FailingDisk::Fault::ReadFails);
        EXPECT_FALSE(ReadWholeFile(path).has_value()) << "never a partial or empty content";
        EXPECT_TRUE(WriteFileAtomic(dir.File("other.ini"), "x")) << "writes still work";
    }
    {
        test::FailingDisk disk(test::FailingDisk::Fault::ReadOnlyDirectory);
        EXPECT_EQ(ReadWholeFile(path).value(), "12,26,9") << "a read-only directory still reads";
    }
}

}  // namespace
}  // namespace qelt
