// The quote board window and its widgets on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>

#include "TestApplication.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "ui/QtPoster.h"
#include "ui/QtSaveFileDialog.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/views/CQeltListView.h"
#include "ui/widgets/CHotKey.h"
#include "ui/widgets/CInfoTip.h"
#include "ui/widgets/CMyTab.h"
#include "ui/widgets/CXScrollBar.h"
#include "views/ScrollCodes.h"

namespace qelt {
namespace {

using test::App;

// A board whose popups and wizard answer from a script instead of running modally.
class ScriptedBoard : public CQeltListView {
  public:
    using CQeltListView::CQeltListView;
    QString chooseLabel;               // the menu entry to choose, empty: dismiss
    std::vector<QString> shownLabels;  // entries of the last menu
    QString checkedLabel;
    int wizardAnswer = -1;
    QString wizardTyped;

  protected:
    QAction* ExecMenu(QMenu& menu, const QPoint&) override {
        shownLabels.clear();
        QAction* chosen = nullptr;
        for (QAction* a : menu.actions()) {
            shownLabels.push_back(a->text());
            if (a->isChecked()) checkedLabel = a->text();
            if (a->text() == chooseLabel) chosen = a;
        }
        return chosen;
    }
    int RunHotKey(const QString& typed) override {
        wizardTyped = typed;
        return wizardAnswer;
    }
};

class BoardWidget : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        host.dir = dir.Path();
        for (int i = 0; i < 40; ++i) {
            auto g = test::MakeGoods("0101", "2007" + std::to_string(1001 + i), i % 3 ? "1523.00" : "1490.00",
                                     "1500.00", i);
            g.change = i % 3 ? "23.00" : "-10.00";
            g.changePercent = i % 3 ? "1.53" : "-0.67";
            host.goods[0].push_back(g);
            host.mainList.push_back(g);
        }
        host.goods[1] = {host.goods[0][0]};
        view = std::make_unique<QuoteListView>(host);
        board = std::make_unique<ScriptedBoard>(*view, host);
        view->OnInitialUpdate();
        board->resize(1000, 600);
        board->ViewReady();
        board->show();
    }
    test::TempDir dir;
    test::FakeViewServices host;
    std::unique_ptr<QuoteListView> view;  // outlives its window
    std::unique_ptr<ScriptedBoard> board;
};

TEST_F(BoardWidget, ChildWindowsAreLaidOutAroundTheBoard) {
    EXPECT_EQ(board->VerticalBar()->geometry(), QRect(980, 0, 20, 580));
    EXPECT_EQ(board->Tabs()->geometry(), QRect(0, 580, 80 * 5 + 30, 20));
    EXPECT_EQ(board->HorizontalBar()->geometry(), QRect(430, 580, 570, 20));
    EXPECT_EQ(board->Board().RowsPerPage(), (600 - 30 - 20) / 22);
    EXPECT_EQ(board->VerticalBar()->Bar().Length(), 40);
    EXPECT_EQ(board->HorizontalBar()->Bar().Length(), board->Board().MaxHorizontalOffset())
        << "the columns scroll as far as the last one";
    EXPECT_LT(board->Board().MaxHorizontalOffset(), kScrollableSlots);
    EXPECT_EQ(host.selection.goods, 0);

    const QImage image = board->grab().toImage();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(0, 0, 0));
    // Set QELT_BOARD_PNG to look at the board.
    if (const char* png = std::getenv("QELT_BOARD_PNG")) image.save(QString::fromLocal8Bit(png));
}

TEST_F(BoardWidget, NetListAndTabMessagesRebuildTheRows) {
    board->Board().OnVScroll(kSbLineDown, 0);
    host.goods[0][1].price = "1600.00";
    WindowMessageEvent netList(WM_NET_LIST, 0, 0);
    QCoreApplication::sendEvent(board.get(), &netList);
    EXPECT_EQ(board->Board().Rows()[1].texts[kRowPrice], "1600.00");
    EXPECT_EQ(board->Board().FirstRow(), 1);

    // A click on the second tab posts 1125 to the board.
    QTest::mouseClick(board->Tabs(), Qt::LeftButton, {}, QPoint(120, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(host.selection.category, 1);
    EXPECT_EQ(board->Board().GoodsCount(), 1);
    EXPECT_EQ(board->Tabs()->Strip().Selected(), 1);
    EXPECT_EQ(board->VerticalBar()->Position(), 0);
}

TEST_F(BoardWidget, TheTabsFollowTheStoresCategories) {
    ASSERT_EQ(board->Tabs()->Strip().Tabs().size(), 5u);
    host.codes = {"0101", "0112", "0121", "0001", "0005", "0000"};
    host.names = {"桑蚕丝", "生丝", "干茧", "全部", "合约", "自选"};
    WindowMessageEvent netList(WM_NET_LIST, 0, 0);
    QCoreApplication::sendEvent(board.get(), &netList);
    EXPECT_EQ(board->Tabs()->Strip().Tabs().size(), 6u);
    EXPECT_EQ(board->Tabs()->geometry().width(), 80 * 6 + 30);
}

TEST_F(BoardWidget, AnExportThatCannotBeWrittenIsReported) {
    struct Dialog : SaveFileDialog {
        std::optional<std::string> AskSavePath(const SaveRequest&) override {
            return "/nonexistent/dir/board.csv";
        }
    } dialog;
    struct Boxes : MessageBoxes {
        std::vector<std::string> shown;
        void Show(QWidget*, const std::string& text, const std::string&) override { shown.push_back(text); }
        bool Ask(QWidget*, const std::string&, const std::string&) override { return false; }
    } boxes;
    board->SetSaveDialog(&dialog);
    board->SetMessageBoxes(&boxes);
    board->Export(ExportKind::Csv);
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{kExportFailedText}));
}

TEST_F(BoardWidget, ScrollBarArrowScrollsTheBoard) {
    CXScrollBar* bar = board->VerticalBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(10, 575));
    EXPECT_EQ(board->Board().FirstRow(), 1);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(10, 575));
    EXPECT_TRUE(bar->TimerActive(kTimerDelay));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(10, 575));
    EXPECT_FALSE(bar->TimerActive(kTimerDelay));
    EXPECT_EQ(board->Board().FirstRow(), 2);
}

TEST_F(BoardWidget, ColumnChooserAndSelfSelectedPopups) {
    board->chooseLabel = QStringLiteral("净持有量");
    QTest::mouseClick(board.get(), Qt::RightButton, {}, QPoint(300, 10));
    EXPECT_EQ(board->shownLabels.size(), 24u);
    EXPECT_EQ(board->checkedLabel, QStringLiteral("价格"));
    EXPECT_EQ(board->Board().Columns().Slot(3).title, "净持仓量");
    EXPECT_TRUE(FileExists(dir.File("head.ini")));

    board->chooseLabel = QStringLiteral("添加到自选");
    QTest::mouseClick(board.get(), Qt::RightButton, {}, QPoint(300, 60));
    ASSERT_EQ(host.added.size(), 1u);
    EXPECT_EQ(host.added[0][1], "20071002");
}

TEST_F(BoardWidget, KeysOpenTheWizardAndRequestTheKLineView) {
    board->wizardAnswer = 17;
    QTest::keyClick(board.get(), Qt::Key_3);
    EXPECT_EQ(board->wizardTyped, QStringLiteral("3"));
    EXPECT_EQ(host.selection.goods, 17);
    ASSERT_EQ(host.switches.size(), 1u);
    board->wizardAnswer = -1;
    QTest::keyClick(board.get(), Qt::Key_5);
    EXPECT_EQ(host.switches.size(), 1u);
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, QPoint(300, 60));
    QTest::keyClick(board.get(), Qt::Key_Return);
    EXPECT_EQ(host.selection.goods, 1);
    EXPECT_EQ(host.switches.size(), 2u);
}

TEST_F(BoardWidget, ArrowAndPageKeysScroll) {
    QTest::keyClick(board.get(), Qt::Key_Down);
    EXPECT_EQ(board->Board().SelectedRow(), 2);
    QTest::keyClick(board.get(), Qt::Key_PageDown);
    EXPECT_EQ(board->Board().FirstRow(), 5);
    EXPECT_EQ(board->VerticalBar()->Position(), 5);
    QTest::keyClick(board.get(), Qt::Key_Right);
    EXPECT_EQ(board->Board().HorizontalOffset(), 1);
    EXPECT_EQ(board->HorizontalBar()->Position(), 1);
}

TEST_F(BoardWidget, WheelNotchesMoveTheSelection) {
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(100, 100), board->mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(board.get(), &event);
    };
    wheel(-120);  // towards the user
    EXPECT_EQ(board->Board().SelectedRow(), 2);
    EXPECT_EQ(host.selection.goods, 1);
    wheel(60);
    EXPECT_EQ(board->Board().SelectedRow(), 2);
    wheel(60);
    EXPECT_EQ(board->Board().SelectedRow(), 1);
}

TEST_F(BoardWidget, ExportGoesThroughTheSaveDialog) {
    struct Dialog : SaveFileDialog {
        std::optional<std::string> path;
        std::optional<std::string> AskSavePath(const SaveRequest&) override { return path; }
    } dialog;
    board->SetSaveDialog(&dialog);
    board->Export(ExportKind::Csv);  // cancelled: nothing written
    dialog.path = dir.File("board.csv");
    board->Export(ExportKind::Csv);
    const auto bytes = ReadWholeFile(dir.File("board.csv"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::count(bytes->begin(), bytes->end(), '\n'), 41);
}

/// Answers the save dialog once it is up: the file `choose` (accepted) or nothing
/// (cancelled); records the folder it opened in.
void AnswerSaveDialog(QString& openedIn, const QString& choose) {
    QTimer::singleShot(0, [&openedIn, choose] {
        QFileDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
        if (!dialog) return;
        openedIn = QFileInfo(dialog->directory().absolutePath()).canonicalFilePath();
        if (choose.isEmpty()) return dialog->reject();
        dialog->selectFile(choose);
        static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept, as its button
    });
}

TEST_F(BoardWidget, TheNextExportOpensInTheFolderOfTheLast) {
    const SaveRequest request{"CSV", "Qelt行情列表", "Excel文档(*.CSV)|*.CSV"};
    const QString folder = QFileInfo(QString::fromStdString(dir.Path())).canonicalFilePath();
    QString openedIn;
    AnswerSaveDialog(openedIn, folder + "/mine.csv");
    QtSaveFileDialog first(board.get());
    const std::optional<std::string> chosen = first.AskSavePath(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(QString::fromStdString(*chosen)).fileName(), "mine.csv");

    AnswerSaveDialog(openedIn, {});
    EXPECT_FALSE(QtSaveFileDialog(board.get()).AskSavePath(request).has_value());
    EXPECT_EQ(openedIn, folder) << "the second export starts where the first was saved";
    EXPECT_EQ(QtSaveFileDialog::StartFile(request), QDir(folder).filePath("Qelt行情列表"));
}

TEST_F(BoardWidget, PrintsToAPdfFile) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("board.pdf")));
    board->PrintTo(printer);
    const auto bytes = ReadWholeFile(dir.File("board.pdf"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->rfind("%PDF", 0), 0u);
}

TEST(HotKeyDialog, FiltersAsTypedAndReturnsTheChosenGoods) {
    App();
    std::vector<GoodsSummary> main = {test::SummaryOf(test::MakeGoods("0101", "20071225", "1", "1", 0)),
                                      test::SummaryOf(test::MakeGoods("0112", "20071225", "1", "1", 1)),
                                      test::SummaryOf(test::MakeGoods("0101", "12", "1", "1", 2))};
    CHotKey dialog(main, QStringLiteral("01"), QPoint(800, 600));
    EXPECT_EQ(dialog.geometry(), QRect(647, 445, 150, 230));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("键盘精灵"));
    EXPECT_EQ(dialog.List()->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.Edit()->cursorPosition(), 2);
    // The focus coming to the edit (as the window shows it) keeps the typed digits, and the
    // next keys go on after them.
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(dialog.Edit(), &focus);
    QTest::keyClicks(dialog.Edit(), QStringLiteral("12"));
    EXPECT_EQ(dialog.Edit()->text(), QStringLiteral("0112"));
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 1);
    dialog.Edit()->setText(QStringLiteral("010112"));
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 1);
    dialog.accept();
    EXPECT_EQ(dialog.Result(), 2);

    CHotKey none(main, QStringLiteral("9"), QPoint(800, 600));
    none.accept();
    EXPECT_EQ(none.Result(), -1);
}

TEST(InfoTipWindow, DragsWithTheMouse) {
    App();
    QWidget parent;
    parent.resize(400, 400);
    auto* tip = new CInfoTip(&parent);
    parent.show();
    EXPECT_EQ(tip->geometry(), QRect(0, 0, 80, 100));
    QTest::mousePress(tip, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 40), tip->mapToGlobal(QPointF(60, 40)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tip, &move);
    EXPECT_EQ(tip->pos(), QPoint(50, 30));
    EXPECT_EQ(tip->size(), QSize(80, 100));
}

}  // namespace
}  // namespace qelt
