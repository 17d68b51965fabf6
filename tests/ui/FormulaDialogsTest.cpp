// The formula editor's dialogs on the offscreen platform: 确定 refusing a broken formula with
// the cursor at the fault, 测试公式, a new formula found again after a restart, 删除 asking
// first, import and export through the file dialogs, the colours, and the keyboard alone;
// a pane's parameter values refused out of range and taken from the keyboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

#include "OfflineOptions.h"
#include "TestApplication.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "formula/FormulaLibrary.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/QtOpenFileDialog.h"
#include "ui/dialogs/CQeltFormulaEdit.h"
#include "ui/dialogs/CQeltFormulaList.h"
#include "ui/dialogs/CQeltFormulaParam.h"
#include "ui/dialogs/CQeltInsertFunction.h"
#include "ui/dialogs/MessageBoxes.h"
#include "views/ExportFile.h"

namespace qelt {
namespace {

using test::App;

struct RecordedBoxes : MessageBoxes {
    void Show(QWidget*, const std::string& text, const std::string& caption) override {
        shown.emplace_back(text, caption);
    }
    bool Ask(QWidget*, const std::string& text, const std::string& caption) override {
        asked.emplace_back(text, caption);
        return answer;
    }
    std::vector<std::pair<std::string, std::string>> shown;
    std::vector<std::pair<std::string, std::string>> asked;
    bool answer = false;
};

struct FakeFileDialogs : SaveFileDialog, OpenFileDialog {
    std::optional<std::string> AskSavePath(const SaveRequest& request) override {
        saveRequests.push_back(request);
        return path;
    }
    std::optional<std::string> AskOpenPath(const std::string& filter) override {
        openFilters.push_back(filter);
        return path;
    }
    std::optional<std::string> path;
    std::vector<SaveRequest> saveRequests;
    std::vector<std::string> openFilters;
};

template <class T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

/// Waits until `window` is the one that has the keyboard, as a window the user opened.
bool WaitActive(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
}

void ShowActive(QWidget& window) {
    window.show();
    ASSERT_TRUE(WaitActive(&window));
}

/// Types `text` into the focused widget as an input method commits it (Chinese is not typed
/// key by key).
void Commit(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

/// The line:column (both from 1) of the text field's cursor.
std::pair<int, int> CursorPlace(QPlainTextEdit* text) {
    const QTextCursor cursor = text->textCursor();
    return {cursor.blockNumber() + 1, cursor.positionInBlock() + 1};
}

class FormulaDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(library.Load().empty());
    }
    std::string FileNow() const { return ReadWholeFile(library.Path()).value_or("<missing>"); }

    test::TempDir dir;
    FormulaLibrary library{dir.Path()};
    RecordedBoxes boxes;
};

TEST_F(FormulaDialogsTest, OkRefusesABrokenFormulaKeepingTheDialogWithTheCursorAtTheFault) {
    const std::string before = FileNow();
    CQeltFormulaEdit dialog(library, boxes);
    EXPECT_EQ(dialog.windowTitle(), "新建公式");
    ShowActive(dialog);
    Child<QLineEdit>(dialog, "name")->setText("我的指标");
    auto* text = Child<QPlainTextEdit>(dialog, "text");
    text->setPlainText("短线:MA(C,5);\n长线:MA(C,N);");
    Child<QPushButton>(dialog, "ok")->click();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], std::make_pair(std::string("2:9: 未知的名称 N"), std::string("提示")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Child<QLabel>(dialog, "verdict")->text(), "2:9: 未知的名称 N");
    EXPECT_TRUE(text->hasFocus());
    EXPECT_EQ(CursorPlace(text), std::make_pair(2, 9));
    EXPECT_EQ(FileNow(), before) << "nothing saved";
    EXPECT_EQ(library.Formulas().size(), 3u);

    // A fault of a parameter row puts the focus in that row's field instead.
    Child<QLineEdit>(dialog, "parameterName3")->setText("N");
    Child<QLineEdit>(dialog, "parameterDefault3")->setText("5");
    Child<QLineEdit>(dialog, "parameterMinimum3")->setText("1");
    Child<QLineEdit>(dialog, "parameterMaximum3")->setText("x");
    Child<QPushButton>(dialog, "ok")->click();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].first, "参数 N 的最大值 x 不是数字");
    EXPECT_TRUE(Child<QLineEdit>(dialog, "parameterMaximum3")->hasFocus());

    Child<QLineEdit>(dialog, "parameterMaximum3")->setText("250");
    Child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(boxes.shown.size(), 2u);
    ASSERT_NE(library.Find(dialog.SavedId()), nullptr);
    EXPECT_EQ(library.Find(dialog.SavedId())->parameters, (std::vector<FormulaParameter>{{"N", 5, 1, 250}}));
}

TEST_F(FormulaDialogsTest, TestFormulaSaysPassedOrShowsTheFirstFaultAndMovesTheCursorThere) {
    const int existing = library.Formulas().front().id;
    CQeltFormulaEdit dialog(library, boxes, existing);
    EXPECT_EQ(dialog.windowTitle(), "修改公式");
    ShowActive(dialog);
    auto* text = Child<QPlainTextEdit>(dialog, "text");
    auto* verdict = Child<QLabel>(dialog, "verdict");
    EXPECT_EQ(text->toPlainText().toStdString(), library.Find(existing)->text);
    Child<QPushButton>(dialog, "test")->click();
    EXPECT_EQ(verdict->text(), "测试通过");

    text->setPlainText("{ 说明 }\nA:MA(C,5);\nB:EMA(A,12) * * 2;");
    Child<QPushButton>(dialog, "test")->click();
    EXPECT_EQ(verdict->text(), "3:15: 缺少运算数");
    EXPECT_TRUE(text->hasFocus());
    EXPECT_EQ(CursorPlace(text), std::make_pair(3, 15));
    EXPECT_TRUE(boxes.shown.empty()) << "the test shows its verdict below the text, not in a box";
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(FormulaDialogsTest, ANewFormulaTypedAtTheKeyboardIsFoundAgainByTheNextStart) {
    CQeltFormulaList list(library, boxes);
    EXPECT_EQ(list.windowTitle(), "公式管理");
    ShowActive(list);
    bool typed = false;
    QTimer::singleShot(0, [&] {
        auto* edit = qobject_cast<CQeltFormulaEdit*>(QApplication::activeModalWidget());
        ASSERT_NE(edit, nullptr);
        if (!WaitActive(edit)) {
            ADD_FAILURE() << "the edit dialog never became active";
            edit->reject();
            return;
        }
        Commit(QStringLiteral("我的均线"));  // the name has the focus
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        Commit(QStringLiteral("两条均线"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "N");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "100");
        auto* text = edit->findChild<QPlainTextEdit*>("text");
        text->setFocus();
        QTest::keyClicks(text, "short:MA(C,N);");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "long:MA(C,N*4);");
        edit->findChild<QLineEdit*>("parameterMaximum0")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // Enter in a line edit: 确定
        typed = true;
        if (edit->isVisible()) {  // refused: say why rather than wait for ever
            ADD_FAILURE() << (boxes.shown.empty() ? "still open" : boxes.shown.back().first);
            edit->reject();
        }
    });
    QTest::keyClick(Child<QPushButton>(list, "new"), Qt::Key_Space);
    ASSERT_TRUE(typed);
    EXPECT_TRUE(boxes.shown.empty());

    auto* rows = Child<QTreeWidget>(list, "list");
    ASSERT_EQ(rows->topLevelItemCount(), 4);
    EXPECT_EQ(list.SelectedRow(), 3) << "the new formula is selected";
    EXPECT_EQ(rows->topLevelItem(3)->text(0), "我的均线");
    EXPECT_EQ(rows->topLevelItem(3)->text(1), "两条均线");

    FormulaLibrary nextStart(dir.Path());
    ASSERT_TRUE(nextStart.Load().empty());
    ASSERT_EQ(nextStart.Formulas().size(), 4u);
    const StoredFormula& found = nextStart.Formulas().back();
    EXPECT_EQ(found.name, "我的均线");
    EXPECT_EQ(found.description, "两条均线");
    EXPECT_EQ(found.parameters, (std::vector<FormulaParameter>{{"N", 5, 1, 100}}));
    EXPECT_EQ(found.text, "short:MA(C,N);\nlong:MA(C,N*4);");
}

TEST_F(FormulaDialogsTest, DeleteAsksFirstAndNoKeepsTheFormula) {
    CQeltFormulaList list(library, boxes);
    ShowActive(list);
    auto* rows = Child<QTreeWidget>(list, "list");
    rows->setCurrentItem(rows->topLevelItem(1));
    const int second = library.Formulas()[1].id;
    const std::string name = library.Formulas()[1].name;

    boxes.answer = false;
    QTest::keyClick(rows, Qt::Key_Delete);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0], std::make_pair("确实要删除公式 " + name + " 吗？", std::string("提示")));
    EXPECT_NE(library.Find(second), nullptr);
    EXPECT_EQ(rows->topLevelItemCount(), 3);

    boxes.answer = true;
    Child<QPushButton>(list, "delete")->click();
    EXPECT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(library.Find(second), nullptr);
    EXPECT_EQ(rows->topLevelItemCount(), 2);
    EXPECT_EQ(list.SelectedRow(), 1) << "the next formula takes the selection";
    EXPECT_EQ(FileNow().find("name=" + name), std::string::npos) << "the file no longer holds it";

    // With nothing selected the buttons that need a formula are disabled and the keys do nothing.
    rows->clearSelection();
    EXPECT_FALSE(Child<QPushButton>(list, "delete")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(list, "modify")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(list, "export")->isEnabled());
    QTest::keyClick(rows, Qt::Key_Delete);
    EXPECT_EQ(boxes.asked.size(), 2u);
}

TEST_F(FormulaDialogsTest, ExportThenImportThroughTheFileDialogsMovesAFormulaToAnotherDirectory) {
    FakeFileDialogs files;
    CQeltFormulaList list(library, boxes);
    list.SetFileDialogs(&files, &files);
    const StoredFormula exported = library.Formulas()[2];
    Child<QTreeWidget>(list, "list")->setCurrentItem(Child<QTreeWidget>(list, "list")->topLevelItem(2));

    Child<QPushButton>(list, "export")->click();  // cancelled: nothing written, nothing said
    ASSERT_EQ(files.saveRequests.size(), 1u);
    EXPECT_EQ(files.saveRequests[0].defaultName, exported.name + ".txt");
    EXPECT_TRUE(boxes.shown.empty());

    files.path = dir.File("one.txt");
    Child<QPushButton>(list, "export")->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "公式 " + exported.name + " 已导出到 " + *files.path);
    Child<QPushButton>(list, "import")->click();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].first, "已有名为 " + exported.name + " 的公式") << "refused: the name is taken";
    EXPECT_EQ(library.Formulas().size(), 3u);

    test::TempDir other;
    FormulaLibrary elsewhere(other.Path());
    elsewhere.Load();
    ASSERT_TRUE(elsewhere.Remove(exported.id).saved);
    CQeltFormulaList otherList(elsewhere, boxes);
    otherList.SetFileDialogs(&files, &files);
    Child<QPushButton>(otherList, "import")->click();
    EXPECT_EQ(files.openFilters.back(), "公式文件(*.txt)|*.txt");
    EXPECT_EQ(boxes.shown.back().first, "已导入公式 " + exported.name);
    EXPECT_EQ(otherList.SelectedRow(), 2);
    StoredFormula imported = elsewhere.Formulas().back();
    EXPECT_NE(imported.id, exported.id) << "a new id";
    imported.id = exported.id;
    EXPECT_EQ(imported, exported);
}

TEST_F(FormulaDialogsTest, TheListIsWorkedFromTheKeyboard) {
    CQeltFormulaList list(library, boxes);
    std::vector<int> edited;
    list.SetEditor([&](QWidget*, int id) {
        edited.push_back(id);
        return id;
    });
    ShowActive(list);
    auto* rows = Child<QTreeWidget>(list, "list");
    EXPECT_TRUE(rows->hasFocus());
    EXPECT_EQ(list.SelectedRow(), 0) << "the first formula is selected at opening";
    QTest::keyClick(rows, Qt::Key_Down);
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(edited, (std::vector<int>{library.Formulas()[1].id}))
        << "Enter is 修改 of the selected formula";
    EXPECT_TRUE(list.isVisible()) << "and does not close the list";
    EXPECT_EQ(list.SelectedRow(), 1);
    QTest::keyClick(rows, Qt::Key_Escape);
    EXPECT_EQ(list.result(), QDialog::Rejected);
    EXPECT_FALSE(list.isVisible());
}

TEST_F(FormulaDialogsTest, TheEditDialogIsWorkedFromTheKeyboard) {
    CQeltFormulaEdit dialog(library, boxes);
    ShowActive(dialog);
    std::vector<std::string> chain;
    for (int i = 0; i < 33; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        chain.push_back(focus->objectName().toStdString());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    std::vector<std::string> expected = {"name", "description"};
    for (int row = 0; row < 6; ++row)
        for (const char* column : {"Name", "Default", "Minimum", "Maximum"})
            expected.push_back("parameter" + std::string(column) + FormatInt(row));
    for (const char* last : {"place", "text", "insertFunction", "test", "ok", "cancel", "name"})
        expected.push_back(last);
    EXPECT_EQ(chain, expected) << "Tab reaches every field and button in order, and comes round";

    // Enter in the description and the text starts a line; Esc anywhere is 取消.
    auto* text = Child<QPlainTextEdit>(dialog, "text");
    text->setFocus();
    QTest::keyClicks(text, "A:C;");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(text->toPlainText(), "A:C;\n");
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(library.Formulas().size(), 3u);

    // Ctrl+Enter in the text is 确定.
    CQeltFormulaEdit again(library, boxes);
    ShowActive(again);
    QTest::keyClicks(Child<QLineEdit>(again, "name"), "K");
    auto* againText = Child<QPlainTextEdit>(again, "text");
    againText->setFocus();
    QTest::keyClicks(againText, "A:C;");
    QTest::keyClick(againText, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(library.Formulas().back().text, "A:C;");
}

TEST_F(FormulaDialogsTest, PlaceChosenFromTheKeyboardIsKeptWithTheFormula) {
    CQeltFormulaEdit dialog(library, boxes);
    ShowActive(dialog);
    auto* place = Child<QComboBox>(dialog, "place");
    EXPECT_EQ(place->currentText(), "副图") << "a new formula goes in an indicator pane";
    QTest::keyClicks(Child<QLineEdit>(dialog, "name"), "Over");
    Child<QPlainTextEdit>(dialog, "text")->setPlainText("M:MA(C,20);");
    QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
    ASSERT_TRUE(place->hasFocus()) << "Alt+P reaches 画在";
    QTest::keyClick(place, Qt::Key_Down);
    EXPECT_EQ(place->currentText(), "主图");
    QTest::keyClick(place, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << (boxes.shown.empty() ? "" : boxes.shown.back().first);
    const StoredFormula* saved = library.Find(dialog.SavedId());
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(saved->mainChart);
    EXPECT_NE(FileNow().find("name=Over\nplace=main\n"), std::string::npos) << FileNow();

    // Opened again it shows 主图; choosing 副图 puts it back in a pane.
    CQeltFormulaEdit again(library, boxes, saved->id);
    auto* againPlace = Child<QComboBox>(again, "place");
    EXPECT_EQ(againPlace->currentText(), "主图");
    againPlace->setCurrentIndex(0);
    Child<QPushButton>(again, "ok")->click();
    EXPECT_FALSE(library.Find(saved->id)->mainChart);
}

TEST_F(FormulaDialogsTest, InsertFunctionFiltersAsTypedAndPutsTheCallAtTheCursor) {
    CQeltFormulaEdit dialog(library, boxes);
    ShowActive(dialog);
    auto* text = Child<QPlainTextEdit>(dialog, "text");
    text->setPlainText("A:;\nB:C;");
    text->setFocus();
    QTextCursor at = text->textCursor();
    at.setPosition(2);
    text->setTextCursor(at);

    std::vector<std::string> rows;
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<CQeltInsertFunction*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        if (!WaitActive(picker)) {
            ADD_FAILURE() << "插入函数 never became active";
            picker->reject();
            return;
        }
        auto* filter = picker->findChild<QLineEdit*>("filter");
        EXPECT_TRUE(filter->hasFocus()) << "ready to type the filter";
        QTest::keyClicks(filter, "ma");
        auto* list = picker->findChild<QTreeWidget*>("functions");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.push_back(list->topLevelItem(i)->text(0).toStdString());
        QTest::keyClick(filter, Qt::Key_Down);
        QTest::keyClick(filter, Qt::Key_Down);
        QTest::keyClick(filter, Qt::Key_Up);
        QTest::keyClick(filter, Qt::Key_Down);
        QTest::keyClick(filter, Qt::Key_Return);
        if (picker->isVisible()) {
            ADD_FAILURE() << "Enter did not insert";
            picker->reject();
        }
    });
    QTest::keyClick(text, Qt::Key_F2);
    EXPECT_EQ(rows, (std::vector<std::string>{"MA(X,N)", "MAX(A,B)", "EMA(X,N)", "SMA(X,N,M)", "DMA(X,A)",
                                              "WMA(X,N)"}));
    EXPECT_EQ(text->toPlainText(), "A:EMA(X,N);\nB:C;");
    ASSERT_TRUE(WaitActive(&dialog));
    EXPECT_TRUE(text->hasFocus()) << "back in the text";
    EXPECT_EQ(text->textCursor().selectedText(), "X,N") << "the arguments, to be typed over";
    QTest::keyClicks(text, "C,12");
    EXPECT_EQ(text->toPlainText(), "A:EMA(C,12);\nB:C;");

    // Through the button, and Esc leaves the text as it was.
    bool closed = false;
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<CQeltInsertFunction*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        if (WaitActive(picker)) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        closed = !picker->isVisible();
        if (!closed) picker->reject();
    });
    Child<QPushButton>(dialog, "insertFunction")->click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(text->toPlainText(), "A:EMA(C,12);\nB:C;");
    Child<QPushButton>(dialog, "test")->click();
    EXPECT_EQ(Child<QLabel>(dialog, "verdict")->text(), "测试通过");
}

TEST_F(FormulaDialogsTest, TheTextIsColouredAndACommentOverLinesIsColouredWhole) {
    CQeltFormulaEdit dialog(library, boxes);
    auto* text = Child<QPlainTextEdit>(dialog, "text");
    text->setPlainText("A:MA(CLOSE,5);{ one\ntwo MA\nthree } HIGH");
    auto formats = [&](int block) {
        std::vector<std::pair<int, int>> spans;
        for (const QTextLayout::FormatRange& range :
             text->document()->findBlockByNumber(block).layout()->formats())
            spans.emplace_back(range.start, range.length);
        return spans;
    };
    EXPECT_EQ(formats(0), (std::vector<std::pair<int, int>>{{2, 2}, {5, 5}, {11, 1}, {14, 5}}));
    EXPECT_EQ(formats(1), (std::vector<std::pair<int, int>>{{0, 6}}))
        << "inside the comment: nothing but comment";
    EXPECT_EQ(formats(2), (std::vector<std::pair<int, int>>{{0, 7}, {8, 4}}));
    const QTextLayout* first = text->document()->findBlockByNumber(0).layout();
    EXPECT_NE(first->formats()[0].format.foreground(), first->formats()[3].format.foreground())
        << "a function and a comment in colours of their own";

    // Closing the comment on the first line colours the next one again.
    QTextCursor cursor(text->document()->findBlockByNumber(0));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText("}");
    EXPECT_EQ(formats(1), (std::vector<std::pair<int, int>>{{4, 2}}));
}

TEST_F(FormulaDialogsTest, TheParameterDialogRefusesAValueOutOfRangeAndTakesTheNextFromTheKeyboard) {
    const StoredFormula formula{1003, "均线", "", {{"N", 5, 1, 250}, {"K", 0.5, -2, 2}}, "A:MA(C,N)*K;"};
    CQeltFormulaParam dialog(FormulaParamModel(formula, {20, 1}), boxes);
    ShowActive(dialog);
    auto* n = Child<QLineEdit>(dialog, "value0");
    auto* k = Child<QLineEdit>(dialog, "value1");
    EXPECT_EQ(n->text(), "20");
    EXPECT_EQ(k->text(), "1");
    EXPECT_TRUE(n->hasFocus()) << "the first value, ready to be typed over";

    QTest::keyClick(n, Qt::Key_Tab);
    ASSERT_TRUE(k->hasFocus());
    k->selectAll();
    QTest::keyClicks(k, "2.5");
    QTest::keyClick(k, Qt::Key_Return);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], std::make_pair(std::string("K 的值必须在 -2 到 2 之间"), std::string("提示")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(k->hasFocus());
    EXPECT_EQ(k->selectedText(), "2.5") << "all of it, to be typed over";
    EXPECT_TRUE(dialog.Values().empty());

    QTest::keyClicks(k, "-1.5");
    QTest::keyClick(k, Qt::Key_Enter);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Values(), (std::vector<double>{20, -1.5}));

    // 恢复默认 fills in the defaults; Esc keeps nothing.
    CQeltFormulaParam again(FormulaParamModel(formula, {20, 1}), boxes);
    ShowActive(again);
    Child<QPushButton>(again, "restoreDefaults")->click();
    EXPECT_EQ(Child<QLineEdit>(again, "value0")->text(), "5");
    EXPECT_EQ(Child<QLineEdit>(again, "value1")->text(), "0.5");
    QTest::keyClick(Child<QLineEdit>(again, "value0"), Qt::Key_Escape);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_TRUE(again.Values().empty());
}

TEST(FormulaApp, StartUpReadsTheFormulasAndToolsOpensTheListOverThem) {
    App();
    test::TempDir home;
    // One sound formula and one damaged section (no text).
    ASSERT_TRUE(WriteFileAtomic(home.File("formula.txt"),
                                "next_id=1002\n\n[1000]\nname=甲\ntext=A:C;\n\n"
                                "[1001]\nname=乙\n"));
    CQeltApp app(test::OfflineOptions(home));
    ASSERT_TRUE(app.InitInstance()) << "a damaged file does not stop start-up";
    ASSERT_EQ(app.Formulas().Formulas().size(), 1u);
    auto* problems = app.Frame()->findChild<QMessageBox*>("formulaProblems");
    ASSERT_NE(problems, nullptr) << "the problems are told";
    EXPECT_TRUE(problems->isVisible());
    EXPECT_FALSE(problems->isModal());
    EXPECT_NE(problems->text().indexOf(QStringLiteral("未载入")), -1) << problems->text().toStdString();

    QAction* action = app.Frame()->Action(cmd::kFormulas);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "公式管理");
    app.Frame()->UpdateCommandStates();
    EXPECT_TRUE(action->isEnabled());
    std::vector<std::string> listed;
    QTimer::singleShot(0, [&] {
        auto* list = qobject_cast<CQeltFormulaList*>(QApplication::activeModalWidget());
        ASSERT_NE(list, nullptr);
        auto* rows = list->findChild<QTreeWidget*>("list");
        for (int i = 0; i < rows->topLevelItemCount(); ++i)
            listed.push_back(rows->topLevelItem(i)->text(0).toStdString());
        list->reject();
    });
    action->trigger();
    EXPECT_EQ(listed, (std::vector<std::string>{"甲"}));
    app.Frame()->close();
}

}  // namespace
}  // namespace qelt
