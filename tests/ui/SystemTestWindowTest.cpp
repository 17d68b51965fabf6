// 交易评测 on the offscreen platform, driven from the keyboard: the example systems added,
// a test run with Alt+S and shown (report, trades, equity curve), a trade sent to the chart
// with Enter, the marks with Alt+M, the export, a refused input with its message and focus,
// an optimisation with its table and heat map, a cell picked with the arrows and taken with
// Enter, 取消 leaving no table, and Esc.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <condition_variable>
#include <mutex>

#include "TestApplication.h"
#include "WindowTestDoubles.h"
#include "app/ExampleSystems.h"
#include "app/SystemGoods.h"
#include "common/Files.h"
#include "common/Gbk.h"
#include "support/KLineTestSupport.h"
#include "ui/QtPoster.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/SystemTestWindow.h"
#include "ui/widgets/PaintedChart.h"

namespace qelt {
namespace {

using test::App;

using test::Child;
using test::FixedSaveDialog;
using test::NoBoxes;

/// The window over a contract of 400 day bars that wave enough for a moving-average cross.
class SystemWindowTest : public ::testing::Test {
  protected:
    SystemWindowTest() : k(400) {
        App();
        BarSeries& bars = k.services.mainList[0].series;
        for (int i = 0; i < static_cast<int>(bars.size()); ++i) {
            const double price = 100 + 15 * std::sin(i / 11.0) + (i % 7) * 0.5;
            bars[static_cast<std::size_t>(i)].Set(kBarOpen, FormatFixed2(price));
            bars[static_cast<std::size_t>(i)].Set(kBarClose, FormatFixed2(price + 0.5));
        }
        hooks.showBar = [this](const GoodsKey& goods, int period, int bar, int date) {
            shownBars.push_back({goods, period, bar, date});
        };
        hooks.showMarks = [this](std::shared_ptr<const TradeMarks> marks) {
            k.services.tradeMarks = marks;
            ++markings;
        };
        window = std::make_unique<SystemTestWindow>(k.services, k.services.MutableFormulas(), poster, hooks);
        window->SetSaveDialog(&saveDialog);
        window->SetMessageBoxes(&boxes);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    /// Alt+`key` where the keyboard is (a page's tab switches at once).
    void Alt(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }
    /// Alt+`key` on a button: the button shows itself pressed for a moment, then clicks.
    void Press(const char* button, Qt::Key key) {
        auto* pushed = Child<QPushButton>(*window, button);
        bool clicked = false;
        const QMetaObject::Connection connection =
            QObject::connect(pushed, &QPushButton::clicked, [&clicked] { clicked = true; });
        Alt(key);
        EXPECT_TRUE(QTest::qWaitFor([&clicked] { return clicked; }, 5000)) << button;
        QObject::disconnect(connection);
    }
    void Type(QLineEdit* edit, const char* text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }
    /// Adds the examples (Alt+X) and picks the moving-average cross.
    void ChooseCross() {
        Child<QComboBox>(*window, "formula")->setFocus();
        Press("addExamples", Qt::Key_X);
        auto* formula = Child<QComboBox>(*window, "formula");
        ASSERT_EQ(formula->currentText().toStdString(), ExampleSystems()[0].name);
    }
    std::vector<std::string> Column(QTableWidget* table, int column) {
        std::vector<std::string> texts;
        for (int r = 0; r < table->rowCount(); ++r)
            texts.push_back(table->item(r, column)->text().toStdString());
        return texts;
    }

    struct ShownBar {
        GoodsKey goods;
        int period, bar, date;
    };
    test::KLineFixture k;
    QtPoster poster;
    SystemTestHooks hooks;
    std::vector<ShownBar> shownBars;
    int markings = 0;
    FixedSaveDialog saveDialog;
    NoBoxes boxes;
    std::unique_ptr<SystemTestWindow> window;
};

TEST_F(SystemWindowTest, ATestRunFromTheKeyboardShowsTheReportTheTradesAndGoesToTheChart) {
    EXPECT_FALSE(Child<QPushButton>(*window, "start")->isEnabled()) << "no system in a new formula file";
    EXPECT_NE(Child<QLabel>(*window, "status")->text().indexOf("ENTERLONG"), -1);
    ChooseCross();
    EXPECT_FALSE(Child<QPushButton>(*window, "addExamples")->isEnabled()) << "all three are there now";
    EXPECT_EQ(Child<QLineEdit>(*window, "param0")->text(), "5");
    EXPECT_EQ(Child<QLineEdit>(*window, "param1")->text(), "20");
    EXPECT_FALSE(Child<QLineEdit>(*window, "param2")->isVisible());

    Type(Child<QLineEdit>(*window, "commission"), "0.001");
    Press("start", Qt::Key_S);
    QTRY_VERIFY_WITH_TIMEOUT(window->Result().has_value(), 20000);
    EXPECT_EQ(window->Model().Work(), SystemWork::None);

    // What the engine gives for the same inputs, shown whole.
    SystemCosts costs;
    costs.commissionRate = 0.001;
    const StoredFormula& cross = k.services.Formulas().Formulas()[3];
    const TradingSystem system = *TradingSystem::Of(*CompileFormula(cross.text, cross.parameters).formula);
    // On the bars the chart shows: the day series with today's quote folded in.
    const SystemTest direct = TestSystem(system, GoodsForSystemTest(k.services, 1).bars, {5, 20}, costs);
    ASSERT_EQ(window->Result()->result, direct.result);
    ASSERT_GT(direct.result.trades.size(), 3u);
    auto* report = Child<QTableWidget>(*window, "report");
    std::vector<std::string> values;
    for (const SystemReportRow& row : SystemReportRows(direct.result.report)) values.push_back(row.value);
    EXPECT_EQ(Column(report, 1), values);
    EXPECT_EQ(report->item(0, 0)->text(), "交易次数");
    auto* trades = Child<QTableWidget>(*window, "trades");
    EXPECT_EQ(trades->rowCount(), static_cast<int>(direct.result.trades.size()));
    EXPECT_NE(Child<QLabel>(*window, "status")->text().indexOf("评测完成"), -1);

    // 交易明细 (Alt+2): the second trade, Enter: the chart goes to its entry bar.
    Alt(Qt::Key_2);
    EXPECT_EQ(Child<QTabWidget>(*window, "pages")->currentIndex(), 1);
    trades->setFocus();
    QTest::keyClick(trades, Qt::Key_Down);
    QTest::keyClick(trades, Qt::Key_Return);
    ASSERT_EQ(shownBars.size(), 1u);
    EXPECT_EQ(shownBars[0].goods, k.services.mainList[0].Key());
    EXPECT_EQ(shownBars[0].period, 1);
    EXPECT_EQ(shownBars[0].bar, direct.result.trades[1].entryBar);
    EXPECT_EQ(shownBars[0].date, direct.result.trades[1].entryDate);

    // 在图上显示 (Alt+M), then a new test with the marks on replaces them.
    Press("showOnChart", Qt::Key_M);
    ASSERT_EQ(markings, 1);
    EXPECT_EQ(k.services.tradeMarks->trades, direct.result.trades);
    Type(Child<QLineEdit>(*window, "param1"), "30");
    Press("start", Qt::Key_S);
    QTRY_VERIFY_WITH_TIMEOUT(markings == 2, 20000);
    EXPECT_EQ(window->Result()->values, (std::vector<double>{5, 30}));
    EXPECT_EQ(k.services.tradeMarks->trades, window->Result()->result.trades);

    // 导出 (Alt+O) writes the trades and the report as the other exports are written.
    test::TempDir out;
    saveDialog.path = out.File("system.csv");
    Press("export", Qt::Key_O);
    ASSERT_EQ(saveDialog.requests.size(), 1u);
    EXPECT_EQ(ReadWholeFile(out.File("system.csv")).value(),
              Utf8ToGbk(SystemTestExport(*window->Result()).content));
    // 导出图片 (Alt+I): the equity curve as a bitmap file.
    saveDialog.path = out.File("equity.bmp");
    Alt(Qt::Key_1);
    Press("picture", Qt::Key_I);
    EXPECT_EQ(saveDialog.requests.back().defaultExtension, "BMP");
    EXPECT_EQ(ReadWholeFile(out.File("equity.bmp")).value().substr(0, 2), "BM");
    // 打印's drawing, onto a PDF file here: a page of the equity curve.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(out.File("equity.pdf")));
    Child<PaintedChart>(*window, "equity")->PrintTo(printer);
    EXPECT_EQ(ReadWholeFile(out.File("equity.pdf")).value_or("").substr(0, 4), "%PDF");
}

TEST_F(SystemWindowTest, AWrongInputIsNamedAndTakesTheFocusAndNothingRuns) {
    ChooseCross();
    Type(Child<QLineEdit>(*window, "capital"), "0");
    Press("start", Qt::Key_S);
    EXPECT_EQ(Child<QLabel>(*window, "status")->text(), "初始资金必须大于 0");
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(*window, "capital"));
    EXPECT_EQ(window->Model().Work(), SystemWork::None);
    Type(Child<QLineEdit>(*window, "capital"), "100000");
    Type(Child<QLineEdit>(*window, "param0"), "1");
    Press("start", Qt::Key_S);
    EXPECT_NE(Child<QLabel>(*window, "status")->text().indexOf("SHORT 的值必须在 2 到 100 之间"), -1);
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(*window, "param0"));
    EXPECT_FALSE(window->Result());
}

TEST_F(SystemWindowTest, TheEditorOpenedFromTheWindowChangesTheSystemTestedNext) {
    ChooseCross();
    const int id = Child<QComboBox>(*window, "formula")->currentData().toInt();
    std::vector<int> edited;
    // What the user does in the editor: a third parameter, and the long exit made stricter.
    hooks.editFormula = [&](QWidget*, int formula) {
        edited.push_back(formula);
        StoredFormula changed = *k.services.Formulas().Find(formula);
        changed.parameters.push_back({"GAP", 0.5, 0, 5});
        changed.text =
            "MAS:MA(CLOSE,SHORT);MAL:MA(CLOSE,LONG);ENTERLONG:CROSS(MAS,MAL);EXITLONG:CLOSE<MAL-GAP;";
        EXPECT_TRUE(k.services.MutableFormulas().Replace(formula, changed).saved);
        return formula;
    };
    window = std::make_unique<SystemTestWindow>(k.services, k.services.MutableFormulas(), poster, hooks);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Child<QComboBox>(*window, "formula")->setFocus();
    Press("editFormula", Qt::Key_E);
    EXPECT_EQ(edited, std::vector<int>{id});
    EXPECT_EQ(Child<QLabel>(*window, "paramName2")->text(), "GAP") << "the new parameter shows";
    EXPECT_EQ(Child<QLineEdit>(*window, "param2")->text(), "0.5");
    Press("start", Qt::Key_S);
    QTRY_VERIFY_WITH_TIMEOUT(window->Result().has_value(), 20000);
    EXPECT_EQ(window->Result()->parameterNames, (std::vector<std::string>{"SHORT", "LONG", "GAP"}));
    EXPECT_EQ(window->Result()->values, (std::vector<double>{5, 20, 0.5}));
}

TEST_F(SystemWindowTest, AnOptimisationFillsTheTableAndTheHeatMapAndACellIsTakenFromTheKeyboard) {
    ChooseCross();
    Alt(Qt::Key_3);
    ASSERT_EQ(Child<QTabWidget>(*window, "pages")->currentIndex(), 2);
    EXPECT_EQ(Child<QComboBox>(*window, "optParam0")->currentText(), "SHORT");
    EXPECT_EQ(Child<QComboBox>(*window, "optParam1")->currentText(), "LONG");
    Type(Child<QLineEdit>(*window, "optFrom0"), "3");
    Type(Child<QLineEdit>(*window, "optTo0"), "6");
    Type(Child<QLineEdit>(*window, "optFrom1"), "10");
    Type(Child<QLineEdit>(*window, "optTo1"), "30");
    Type(Child<QLineEdit>(*window, "optStep1"), "5");
    EXPECT_EQ(Child<QLabel>(*window, "combinations")->text(), "共 20 种组合");
    Press("optimise", Qt::Key_Z);
    QTRY_VERIFY_WITH_TIMEOUT(window->Table().RowCount() == 20 && window->Model().Work() == SystemWork::None,
                             20000);

    auto* table = Child<QTableView>(*window, "optTable");
    EXPECT_EQ(table->model()->rowCount(), 20);
    EXPECT_EQ(table->model()->headerData(2, Qt::Horizontal).toString(), "净利润");
    // Sorted by net profit, the best first and selected.
    const std::optional<HeatMap> map = window->Table().HeatMapOf(0);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->selected, BestHeatMapCell(*map));
    EXPECT_EQ(table->model()->index(0, 2).data().toString().toStdString(),
              FormatFixed2(*map->cells[static_cast<std::size_t>(map->selected)]));
    // A click on the header turns the order round, the same combination kept selected.
    const int best = map->selected;
    QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(table->horizontalHeader()->sectionViewportPosition(2) + 5, 5));
    EXPECT_FALSE(window->Table().Descending());
    EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), window->Table().RowOf(best));

    // The heat map: Home goes to the best cell, the arrows move, Enter is 选用.
    auto* heat = Child<PaintedChart>(*window, "heatMap");
    heat->setFocus();
    QTest::keyClick(heat, Qt::Key_Home);
    QTest::keyClick(heat, best % 5 == 4 ? Qt::Key_Left : Qt::Key_Right);
    const int picked = best % 5 == 4 ? best - 1 : best + 1;
    const int row = table->selectionModel()->selectedRows().front().row();
    EXPECT_EQ(window->Table().CombinationOf(row), picked) << "the table follows the heat map";
    const std::vector<std::pair<int, double>> values = window->Table().ValuesOf(row);
    QTest::keyClick(heat, Qt::Key_Return);
    EXPECT_EQ(Child<QLineEdit>(*window, "param0")->text().toDouble(), values[0].second);
    EXPECT_EQ(Child<QLineEdit>(*window, "param1")->text().toDouble(), values[1].second);
    QTRY_VERIFY_WITH_TIMEOUT(window->Result().has_value(), 20000);
    EXPECT_EQ(window->Result()->values, (std::vector<double>{values[0].second, values[1].second}))
        << "选用 tests the row's values";
    EXPECT_EQ(Child<QTabWidget>(*window, "pages")->currentIndex(), 0);
}

/// Relays the runner's messages to the window, holding the worker that reports the first
/// progress until the test lets it go: the test presses 取消 while the work is surely under
/// way.
class GatePoster : public Poster {
  public:
    explicit GatePoster(Poster& inner) : m_inner(inner) {}
    void PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                           std::intptr_t lParam) override {
        if (message == WM_SYSTEM_PROGRESS) {
            std::unique_lock lock(m_mutex);
            if (!m_reached) {
                m_reached = true;
                m_changed.notify_all();
                m_changed.wait(lock, [this] { return m_released; });
            }
        }
        m_inner.PostWindowMessage(window, message, wParam, lParam);
    }
    void PostThreadMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override {
        m_inner.PostThreadMessage(message, wParam, lParam);
    }
    bool WaitReached() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [this] { return m_reached; });
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

  private:
    Poster& m_inner;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_released = false;
};

TEST_F(SystemWindowTest, CancelStopsAnOptimisationAndLeavesNoTableAndEscThenCloses) {
    GatePoster gate(poster);
    window->SetRunnerPoster(gate, 2);
    ChooseCross();
    Alt(Qt::Key_3);
    Press("optimise", Qt::Key_Z);  // the default ranges: thousands of combinations
    ASSERT_EQ(window->Model().Work(), SystemWork::Optimising);
    EXPECT_FALSE(Child<QPushButton>(*window, "start")->isEnabled());
    ASSERT_TRUE(gate.WaitReached());
    QTest::keyClick(window.get(), Qt::Key_Escape);  // Esc while it runs is 取消
    EXPECT_TRUE(window->isVisible());
    gate.Release();
    QTRY_VERIFY_WITH_TIMEOUT(window->Model().Work() == SystemWork::None, 20000);
    EXPECT_TRUE(window->Table().Empty());
    EXPECT_EQ(Child<QTableView>(*window, "optTable")->model()->rowCount(), 0);
    EXPECT_EQ(Child<QLabel>(*window, "status")->text(), "优化已取消，没有保留任何结果");
    EXPECT_TRUE(Child<QPushButton>(*window, "optimise")->isEnabled());

    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "with nothing under way Esc closes the window";
}

TEST_F(SystemWindowTest, ClosingTheWindowWhileItOptimisesCancelsAndNoTableComesAfterwards) {
    GatePoster gate(poster);
    window->SetRunnerPoster(gate, 2);
    ChooseCross();
    Alt(Qt::Key_3);
    Press("optimise", Qt::Key_Z);
    ASSERT_TRUE(gate.WaitReached());
    window->close();
    EXPECT_FALSE(window->isVisible());
    gate.Release();
    QTRY_VERIFY_WITH_TIMEOUT(window->Model().Work() == SystemWork::None, 20000);
    EXPECT_TRUE(window->Table().Empty());
}

}  // namespace
}  // namespace qelt
