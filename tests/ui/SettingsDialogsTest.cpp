#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include "TestApplication.h"
#include "common/Files.h"
#include "data/settings/CQeltCFG.h"
#include "data/settings/IndicatorParameters.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"
#include "ui/dialogs/CComServer.h"
#include "ui/dialogs/CComSet.h"
#include "ui/dialogs/CQeltIndiDlg.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
namespace {

using test::App;

struct RecordedBoxes : MessageBoxes {
    void Show(QWidget*, const std::string& text, const std::string& caption) override {
        shown.emplace_back(text, caption);
    }
    bool Ask(QWidget*, const std::string& text, const std::string& caption) override {
        shown.emplace_back(text, caption);
        return answer;
    }
    std::vector<std::pair<std::string, std::string>> shown;
    bool answer = true;
};

template <class T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(ComServerDialog, EmptyAddressKeepsTheDialogOpen) {
    App();
    RecordedBoxes boxes;
    CComServer dialog({"", "", "3500"}, boxes);
    EXPECT_EQ(dialog.windowTitle(), "行情服务器");
    dialog.show();
    Child<QLineEdit>(dialog, "name")->setText("主站");
    Child<QPushButton>(dialog, "ok")->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "请输入服务器地址！");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    Child<QLineEdit>(dialog, "address")->setText("10.0.0.1");
    Child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Entry(), (ServerEntry{"主站", "10.0.0.1", "3500"}));
}

TEST(ComServerDialog, FieldsRefuseTheSeparator) {
    App();
    RecordedBoxes boxes;
    CComServer dialog({"", "", ""}, boxes);
    QLineEdit* name = Child<QLineEdit>(dialog, "name");
    name->setText("a:b");
    EXPECT_FALSE(name->hasAcceptableInput()) << "a ':' would split the config.ini line";
}

class ComSetDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(WriteFileAtomic(dir.File("config.ini"), kFile));
    }
    std::string FileNow() const { return ReadWholeFile(dir.File("config.ini")).value_or("<missing>"); }
    static void Select(QTreeWidget* list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int r : rows) list->topLevelItem(r)->setSelected(true);
    }
    static constexpr const char* kFile = "a:1.1.1.1:1\r\nb:2.2.2.2:2\r\nc:3.3.3.3:3\r\n";
    test::TempDir dir;
    RecordedBoxes boxes;
};

TEST_F(ComSetDialogTest, ListShowsThreeColumnsInFileOrder) {
    CComSet dialog(dir.Path(), boxes);
    EXPECT_EQ(dialog.windowTitle(), "通信设置");
    QTreeWidget* list = Child<QTreeWidget>(dialog, "list");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), "服务器名称");
    EXPECT_EQ(list->headerItem()->text(2), "服务器端口");
    EXPECT_EQ(list->columnWidth(1), 130);
    EXPECT_EQ(list->topLevelItem(1)->text(1), "2.2.2.2");
}

TEST_F(ComSetDialogTest, CancelAfterEditsLeavesTheFileUnchanged) {
    CComSet dialog(dir.Path(), boxes);
    dialog.SetEntryEditor([](const ServerEntry&) { return ServerEntry{"new", "9.9.9.9", "9"}; });
    QTreeWidget* list = Child<QTreeWidget>(dialog, "list");
    Child<QPushButton>(dialog, "add")->click();
    EXPECT_EQ(dialog.SelectedRows(), (std::set<size_t>{3})) << "the new last row is selected";
    Select(list, {0});
    Child<QPushButton>(dialog, "delete")->click();
    Child<QPushButton>(dialog, "cancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(FileNow(), kFile);
}

TEST_F(ComSetDialogTest, MovesAndModifyThenOkRewritesTheFile) {
    CComSet dialog(dir.Path(), boxes);
    QTreeWidget* list = Child<QTreeWidget>(dialog, "list");
    Select(list, {0});
    Child<QPushButton>(dialog, "moveUp")->click();
    Select(list, {2});
    Child<QPushButton>(dialog, "moveDown")->click();
    EXPECT_EQ(dialog.Editor().Entries(), ReadServerList(dir.Path())) << "first up / last down change nothing";

    Select(list, {2});
    Child<QPushButton>(dialog, "moveUp")->click();
    EXPECT_EQ(dialog.SelectedRows(), (std::set<size_t>{1})) << "the moved row stays selected";

    std::vector<ServerEntry> asked;
    dialog.SetEntryEditor([&](const ServerEntry& initial) -> std::optional<ServerEntry> {
        asked.push_back(initial);
        if (initial.name == "c") return ServerEntry{"cc", "3.3.3.3", "33"};
        return std::nullopt;  // cancelled
    });
    Select(list, {0, 1});
    Child<QPushButton>(dialog, "modify")->click();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].name, "c") << "from the last selected row backwards";
    Child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(FileNow(), "a:1.1.1.1:1\r\ncc:3.3.3.3:33\r\nb:2.2.2.2:2\r\n");
}

TEST_F(ComSetDialogTest, AddOpensTheEntryDialogWithThePortPreset) {
    CComSet dialog(dir.Path(), boxes);
    bool sawEntryDialog = false;
    QTimer::singleShot(0, [&] {
        auto* entry = qobject_cast<CComServer*>(QApplication::activeModalWidget());
        if (!entry) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* c = qobject_cast<CComServer*>(w); c && c->isVisible()) entry = c;
        }
        ASSERT_NE(entry, nullptr);
        sawEntryDialog = true;
        EXPECT_EQ(entry->Entry(), (ServerEntry{"", "", "3500"}));
        entry->findChild<QLineEdit*>("name")->setText("d");
        entry->findChild<QLineEdit*>("address")->setText("4.4.4.4");
        entry->findChild<QPushButton*>("ok")->click();
    });
    Child<QPushButton>(dialog, "add")->click();
    EXPECT_TRUE(sawEntryDialog);
    ASSERT_EQ(dialog.Editor().Count(), 4u);
    EXPECT_EQ(dialog.Editor().Entry(3), (ServerEntry{"d", "4.4.4.4", "3500"}));
}

TEST_F(ComSetDialogTest, MissingFileOpensEmptyAndOkCreatesIt) {
    test::TempDir empty;
    CComSet dialog(empty.Path(), boxes);
    EXPECT_EQ(Child<QTreeWidget>(dialog, "list")->topLevelItemCount(), 0);
    Child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(ReadWholeFile(empty.File("config.ini")).value_or("<missing>"), "");

    CComSet broken(empty.File("no/such/dir/"), boxes);
    Child<QPushButton>(broken, "ok")->click();
    ASSERT_EQ(boxes.shown.size(), 1u) << "a failed save is not reported as done";
    EXPECT_EQ(boxes.shown[0].first, "无法保存服务器列表！");
    EXPECT_NE(broken.result(), QDialog::Accepted);
}

TEST_F(ComSetDialogTest, AListThatCannotBeReadIsSaidAtOpeningAndNeverWrittenOver) {
    std::optional<CComSet> dialog;
    {
        test::FailingDisk disk(test::FailingDisk::Fault::ReadFails);
        dialog.emplace(dir.Path(), boxes);
    }
    EXPECT_EQ(Child<QTreeWidget>(*dialog, "list")->topLevelItemCount(), 0);
    dialog->show();
    QApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 1u) << "the empty list is not the user's: said at once";
    EXPECT_EQ(boxes.shown[0].first, "无法读取服务器列表（config.ini），本次运行不会改写它！");
    dialog->SetEntryEditor([](const ServerEntry&) { return ServerEntry{"new", "9.9.9.9", "9"}; });
    Child<QPushButton>(*dialog, "add")->click();
    Child<QPushButton>(*dialog, "ok")->click();
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(dialog->result(), QDialog::Accepted) << "OK does not close on a list that was not kept";
    EXPECT_EQ(FileNow(), kFile);
}

class IndiDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        cfg.Reports().SetSink([this](const std::string& text, const std::string&) { told.push_back(text); });
    }
    std::vector<std::pair<std::string, int>> VisibleRows(QWidget& dialog) {
        std::vector<std::pair<std::string, int>> rows;
        for (int i = 0; i < 5; ++i) {
            auto* label = dialog.findChild<QLabel*>(QStringLiteral("label%1").arg(i));
            auto* value = dialog.findChild<QSpinBox*>(QStringLiteral("value%1").arg(i));
            if (!label->isHidden()) rows.emplace_back(label->text().toStdString(), value->value());
        }
        return rows;
    }
    /// What the application hands the dialog: the settings' own save.
    std::function<bool()> Save() {
        return [this] { return cfg.SaveIndicators(); };
    }
    test::TempDir dir;
    RecordedBoxes boxes;
    CQeltCFG cfg{dir.Path()};
    IndicatorParameters& table = cfg.m_indicators;
    std::vector<std::string> told;  ///< what the settings told the user
};

TEST_F(IndiDialogTest, KdjPaneOpensWithItsGroupExpandedAndRowsShown) {
    CQeltIndiDlg dialog(table, Save(), 43);
    EXPECT_EQ(dialog.windowTitle(), "技术指标参数设置");
    QTreeWidget* tree = Child<QTreeWidget>(dialog, "tree");
    ASSERT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_TRUE(tree->topLevelItem(2)->isExpanded());
    EXPECT_EQ(tree->topLevelItem(2)->text(0), "摆动指标");
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), "KDJ   随机指标");
    EXPECT_EQ(VisibleRows(dialog),
              (std::vector<std::pair<std::string, int>>{{"天", 9}, {"天", 3}, {"天", 3}}));
    EXPECT_TRUE(Child<QLabel>(dialog, "noParameters")->isHidden());
}

TEST_F(IndiDialogTest, MenuOpeningShowsNothingUntilALeafIsSelected) {
    CQeltIndiDlg dialog(table, Save());
    EXPECT_TRUE(VisibleRows(dialog).empty());
    EXPECT_TRUE(Child<QLabel>(dialog, "noParameters")->isHidden());
    QTreeWidget* tree = Child<QTreeWidget>(dialog, "tree");
    tree->setCurrentItem(tree->topLevelItem(1)->child(5));  // CDP
    EXPECT_FALSE(Child<QLabel>(dialog, "noParameters")->isHidden());
    EXPECT_EQ(Child<QLabel>(dialog, "noParameters")->text(), "没有参数需要设置!");
    EXPECT_TRUE(VisibleRows(dialog).empty());
}

TEST_F(IndiDialogTest, CloseBoxKeepsCommittedValuesButSavesNothing) {
    ASSERT_TRUE(cfg.SaveIndicators());
    const std::string before = ReadWholeFile(dir.File("indi.ini")).value();
    CQeltIndiDlg dialog(table, Save(), 21);  // MACD
    Child<QSpinBox>(dialog, "value0")->setValue(15);
    QTreeWidget* tree = Child<QTreeWidget>(dialog, "tree");
    tree->setCurrentItem(tree->topLevelItem(2)->child(0));  // RSI: MACD is committed
    dialog.show();
    dialog.close();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(table[param::kMacdFast], 15);
    EXPECT_EQ(ReadWholeFile(dir.File("indi.ini")).value(), before);
}

TEST_F(IndiDialogTest, CancelLikeTheFormulaDialogsLeavesEveryValueAsItWas) {
    table[param::kMa1] = 7;
    ASSERT_TRUE(cfg.SaveIndicators());
    const IndicatorParameters opened = table;
    CQeltIndiDlg dialog(table, Save(), 21);  // MACD
    auto* cancel = Child<QPushButton>(dialog, "cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "取  消");
    Child<QSpinBox>(dialog, "value0")->setValue(15);
    QTreeWidget* tree = Child<QTreeWidget>(dialog, "tree");
    tree->setCurrentItem(tree->topLevelItem(2)->child(0));  // RSI: MACD is committed
    Child<QPushButton>(dialog, "restoreDefaults")->click();
    cancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(table, opened);
    IndicatorParameters onDisk;
    onDisk.Load(dir.Path());
    EXPECT_EQ(onDisk, opened);
}

TEST_F(IndiDialogTest, RestoreDefaultsThenOkWritesTheDefaultsLine) {
    table[param::kMacdFast] = 1;
    table[param::kOxReversal] = 9;
    CQeltIndiDlg dialog(table, Save(), 41);  // RSI
    Child<QSpinBox>(dialog, "value0")->setValue(77);
    Child<QPushButton>(dialog, "restoreDefaults")->click();
    EXPECT_EQ(VisibleRows(dialog).front().second, 6);
    EXPECT_EQ(table, IndicatorParameters());
    EXPECT_FALSE(FileExists(dir.File("indi.ini"))) << "恢复默认 writes nothing";
    Child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ReadWholeFile(dir.File("indi.ini")).value(),
              "12,26,9,6,12,24,14,12,6,26,6,10,9,3,3,14,9,5,5,10,20,14,6,10,6,20,5,10,20,30,60,6,4,2,2,20,23,"
              "8,5,13,34,60,3,6,12,24,12,50,0,0,0,1");
    EXPECT_TRUE(told.empty());
}

TEST_F(IndiDialogTest, OkOnADiskThatFailsClosesKeepsTheValuesAndIsToldOnceARun) {
    for (int value : {15, 16}) {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 3);
        CQeltIndiDlg dialog(table, Save(), 21);  // MACD
        Child<QSpinBox>(dialog, "value0")->setValue(value);
        Child<QPushButton>(dialog, "ok")->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << "the values are in effect either way";
        EXPECT_EQ(table[param::kMacdFast], value);
    }
    EXPECT_EQ(told, std::vector<std::string>{"无法保存指标参数！"}) << "not a box at every 确定";
    EXPECT_FALSE(FileExists(dir.File("indi.ini")));
}

TEST_F(IndiDialogTest, SarRowsShowInDialogOrderAndOkSavesThem) {
    CQeltIndiDlg dialog(table, Save(), 24);
    auto rows = VisibleRows(dialog);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].first, "加速因子参数");
    EXPECT_EQ(rows[2].first, "加速因子增量");
    Child<QSpinBox>(dialog, "value1")->setValue(-3);
    Child<QPushButton>(dialog, "ok")->click();
    IndicatorParameters onDisk;
    onDisk.Load(dir.Path());
    EXPECT_EQ(onDisk[param::kSarInitial], -3);
    EXPECT_EQ(onDisk[param::kSarStep], 2);
}

}  // namespace
}  // namespace qelt
