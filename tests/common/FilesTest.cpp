#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

}  // namespace
}  // namespace qelt
