#include <gtest/gtest.h>

#include "common/Files.h"
#include "data/settings/ServerListModel.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

std::vector<std::string> Names(const ServerListModel& e) {
    std::vector<std::string> out;
    for (const auto& s : e.Entries()) out.push_back(s.name);
    return out;
}

class ServerListEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileAtomic(dir.File("config.ini"),
                                    "a:1.1.1.1:1\r\nbroken:2.2.2.2\r\nb:h.example:2\r\nc:3.3.3.3:3\r\n"));
    }
    test::TempDir dir;
};

TEST_F(ServerListEditorTest, ReadsLinesWithThreeFields) {
    ServerListModel editor(dir.Path());
    EXPECT_EQ(Names(editor), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(editor.Entry(1), (ServerEntry{"b", "h.example", "2"}));
    EXPECT_EQ(ServerListModel(dir.File("none/")).Count(), 0u);
}

TEST_F(ServerListEditorTest, MovesStopAtTheEnds) {
    ServerListModel editor(dir.Path());
    EXPECT_EQ(editor.MoveUp({0}), (std::set<size_t>{0}));
    EXPECT_EQ(editor.MoveDown({2}), (std::set<size_t>{2}));
    EXPECT_EQ(Names(editor), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(editor.MoveUp({2}), (std::set<size_t>{1}));
    EXPECT_EQ(Names(editor), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(editor.MoveDown({0, 1}), (std::set<size_t>{1, 2}));
    EXPECT_EQ(Names(editor), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(editor.MoveUp({0, 1}), (std::set<size_t>{0, 1})) << "a block at the top stays";
    EXPECT_EQ(editor.Entry(0), (ServerEntry{"b", "h.example", "2"})) << "all three vectors move together";
}

TEST_F(ServerListEditorTest, AddModifyDeleteAndSave) {
    ServerListModel editor(dir.Path());
    EXPECT_EQ(editor.Add({"主站", "10.0.0.1", "3500"}), 3u);
    editor.Modify(0, {"z", "9.9.9.9", "9"});
    editor.Delete({1, 2});
    EXPECT_EQ(Names(editor), (std::vector<std::string>{"z", "主站"}));
    std::string before = ReadWholeFile(dir.File("config.ini")).value();
    EXPECT_EQ(ReadWholeFile(dir.File("config.ini")).value(), before) << "nothing written before Save";
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(ReadWholeFile(dir.File("config.ini")).value(),
              "z:9.9.9.9:9\r\n\xD6\xF7\xD5\xBE:10.0.0.1:3500\r\n");
}

TEST_F(ServerListEditorTest, RowsOutOfRangeChangeNothing) {
    ServerListModel editor(dir.Path());
    const std::vector<ServerEntry> before = editor.Entries();
    const size_t past = editor.Count();
    EXPECT_EQ(editor.Entry(past), ServerEntry{}) << "the row after the last is no entry";
    EXPECT_EQ(editor.Entry(past + 7), ServerEntry{});
    editor.Modify(past, {"x", "9.9.9.9", "9"});
    editor.Delete({past, past + 1});
    EXPECT_EQ(editor.MoveUp({past}), std::set<size_t>{}) << "no row to select afterwards";
    EXPECT_EQ(editor.MoveDown({past}), std::set<size_t>{});
    EXPECT_EQ(editor.MoveDown({past + 3}), std::set<size_t>{});
    EXPECT_EQ(editor.Entries(), before);
    // In range and out of range together: only the rows that are there move or go.
    EXPECT_EQ(editor.MoveUp({1, past}), std::set<size_t>{0});
    EXPECT_EQ(editor.MoveDown({0, past}), std::set<size_t>{1});
    editor.Delete({0, past});
    EXPECT_EQ(Names(editor), (std::vector<std::string>{"b", "c"}));
}

TEST_F(ServerListEditorTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    const std::string before = ReadWholeFile(dir.File("config.ini")).value();
    std::optional<ServerListModel> editor;
    {
        test::FailingDisk disk(test::FailingDisk::Fault::ReadFails);
        editor.emplace(dir.Path());
    }
    EXPECT_TRUE(editor->Unreadable());
    EXPECT_EQ(editor->Count(), 0u);
    editor->Add({"主站", "10.0.0.1", "3500"});
    EXPECT_FALSE(editor->Save()) << "the servers the file holds are not this empty list";
    EXPECT_EQ(ReadWholeFile(dir.File("config.ini")).value(), before);
}

TEST_F(ServerListEditorTest, AFailedSaveKeepsTheOldFile) {
    const std::string before = ReadWholeFile(dir.File("config.ini")).value();
    ServerListModel editor(dir.Path());
    EXPECT_FALSE(editor.Unreadable());
    editor.Delete({0});
    {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 5);
        EXPECT_FALSE(editor.Save());
    }
    EXPECT_EQ(ReadWholeFile(dir.File("config.ini")).value(), before);
    ASSERT_TRUE(editor.Save()) << "the disk is back";
    EXPECT_EQ(ReadWholeFile(dir.File("config.ini")).value(), "b:h.example:2\r\nc:3.3.3.3:3\r\n");
}

TEST(ServerEntryValidation, FirstEmptyFieldIsReported) {
    EXPECT_EQ(ServerListModel::Validate({"", "", ""}).value(), "请输入服务器名称！");
    EXPECT_EQ(ServerListModel::Validate({"n", "", "3500"}).value(), "请输入服务器地址！");
    EXPECT_EQ(ServerListModel::Validate({"n", "a", ""}).value(), "请输入服务器端口！");
    EXPECT_FALSE(ServerListModel::Validate({"n", "a", "port"}).has_value()) << "port not checked";
}

}  // namespace
}  // namespace qelt
