// 条件选股 on the offscreen platform, driven from the keyboard: a screening of a small board
// run with Alt+S and shown with its summary, sorted by a header click keeping the selection,
// a row's chart brought up with Enter, 加入自选 of the rows selected and of all, the export
// as written, a refused date with its message and focus, and 取消 (Esc while it runs)
// leaving the table as it was, then Esc closing the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <condition_variable>
#include <map>
#include <mutex>

#include "TestApplication.h"
#include "WindowTestDoubles.h"
#include "common/CivilDate.h"
#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Numbers.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "ui/QtPoster.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/ScreeningWindow.h"

namespace qelt {
namespace {

using test::App;

using test::Child;
using test::FixedSaveDialog;
using test::NoBoxes;

/// Holds the copy of the first goods' bars until the test lets it go, so 取消 is pressed
/// while the work is surely under way.
class SeriesGate {
  public:
    void Arm() {
        std::lock_guard lock(m_mutex);
        m_armed = true;
        m_reached = m_released = false;
    }
    void Pass() {
        std::unique_lock lock(m_mutex);
        if (!m_armed) return;
        m_armed = false;
        m_reached = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
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
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_armed = false, m_reached = false, m_released = false;
};

/// Five contracts of 30 day bars from 20260105 to 20260203; the second and the fourth rise on
/// their last day, the fifth has no bars at all.
class ScreeningWindowTest : public ::testing::Test {
  protected:
    ScreeningWindowTest() {
        App();
        services.dir = dir.Path();
        for (int i = 0; i < 5; ++i) {
            CQeltGoods goods = test::MakeGoods(FormatInt(101 + i), "202603", "20", "19", i);
            if (i < 4) {
                for (int d = 0; d < 30; ++d) {
                    const double close = 20.0 + (d % 3) + (d == 29 && i % 2 == 1 ? 5.0 + i : 0.0);
                    const CivilDate day = CivilFromDays(DaysFromCivil(2026, 1, 5) + d);
                    const int date = static_cast<int>(day.year) * 10000 + day.month * 100 + day.day;
                    goods.series.push_back(CBarRow{FormatInt(date), FormatFixed2(close - 1),
                                                   FormatFixed2(close), FormatFixed2(close + 1),
                                                   FormatFixed2(close - 2), "100", FormatFixed2(close), "10",
                                                   "20", "202603"});
                }
            }
            services.mainList.push_back(goods);
        }
        rising = services.MutableFormulas()
                     .Add(StoredFormula{
                         0, "突破", "", {{"N", 5, 1, 20}}, "UP:C>HHV(REF(C,1),N); GAIN:C-REF(C,1);"})
                     .id;
        EXPECT_NE(rising, 0);
        hooks.showChart = [this](const GoodsKey& goods, int period) { charts.emplace_back(goods, period); };
        hooks.status = [this](const std::string& text) { statuses.push_back(text); };
        DaySeriesSource source = [this](const GoodsKey& key, BarSeries& bars) {
            gate.Pass();
            bars.clear();
            for (const CQeltGoods& g : services.mainList)
                if (g.Key() == key) bars = g.series;
        };
        window = std::make_unique<ScreeningWindow>(services, services.Formulas(), poster, source, hooks);
        window->SetSaveDialog(&saveDialog);
        window->SetMessageBoxes(&boxes);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        auto* formula = Child<QComboBox>(*window, "formula");
        formula->setCurrentIndex(formula->findData(rising));
    }
    void Alt(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }
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
    std::vector<std::string> Column(int column) {
        auto* table = Child<QTableWidget>(*window, "rows");
        std::vector<std::string> texts;
        for (int r = 0; r < table->rowCount(); ++r)
            texts.push_back(table->item(r, column)->text().toStdString());
        return texts;
    }
    void RunToTheEnd() {
        Press("start", Qt::Key_S);
        QTRY_VERIFY_WITH_TIMEOUT(!window->Model().Running(), 20000);
    }
    std::string Status() { return Child<QLabel>(*window, "status")->text().toStdString(); }

    test::TempDir dir;
    test::FakeViewServices services;
    int rising = 0;
    QtPoster poster;
    ScreeningHooks hooks;
    std::vector<std::pair<GoodsKey, int>> charts;
    std::vector<std::string> statuses;
    SeriesGate gate;
    FixedSaveDialog saveDialog;
    NoBoxes boxes;
    std::unique_ptr<ScreeningWindow> window;
};

TEST_F(ScreeningWindowTest, AScreeningFromTheKeyboardShowsSortsOpensChartsAddsAndExports) {
    EXPECT_EQ(Child<QLineEdit>(*window, "param0")->text(), "5");
    EXPECT_FALSE(Child<QLineEdit>(*window, "param1")->isVisible());
    EXPECT_FALSE(Child<QPushButton>(*window, "export")->isEnabled()) << "nothing to export yet";
    EXPECT_EQ(Child<QComboBox>(*window, "scope")->currentText().toStdString(), "全部合约");

    RunToTheEnd();
    EXPECT_EQ(Status(), "共 5 个品种，2 个满足条件，1 个无数据");
    EXPECT_EQ(Column(0), (std::vector<std::string>{"102", "104"}));
    EXPECT_EQ(Column(4), (std::vector<std::string>{"28.00", "30.00"}));
    EXPECT_EQ(Column(6), (std::vector<std::string>{"7.00", "9.00"}));
    auto* table = Child<QTableWidget>(*window, "rows");
    EXPECT_EQ(QApplication::focusWidget(), table) << "the result takes the keyboard";
    EXPECT_EQ(table->horizontalHeaderItem(5)->text().toStdString(), "UP");

    // A header click sorts (the largest gain first) and the selected goods stays selected.
    table->selectRow(0);
    QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(table->horizontalHeader()->sectionViewportPosition(6) + 5, 5));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"104", "102"}));
    EXPECT_EQ(table->horizontalHeaderItem(6)->text().toStdString(), "GAIN ↓");
    EXPECT_EQ(table->currentRow(), 1) << "102 was selected";

    // The same from the keyboard: 排序 (Alt+B), the close column, the largest first.
    auto* sort = Child<QComboBox>(*window, "sort");
    EXPECT_EQ(sort->currentIndex(), 6);
    Alt(Qt::Key_B);
    EXPECT_EQ(QApplication::focusWidget(), sort);
    QTest::keyClick(sort, Qt::Key_Up);
    QTest::keyClick(sort, Qt::Key_Up);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"30.00", "28.00"}));
    EXPECT_EQ(table->horizontalHeaderItem(4)->text().toStdString(), "收盘 ↓");
    EXPECT_EQ(table->currentRow(), 1) << "102 still";
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_EQ(charts.size(), 1u);
    EXPECT_EQ(charts[0].first, (GoodsKey{"102", "202603"}));
    EXPECT_EQ(charts[0].second, kPeriodDay);

    Press("addSelfSelected", Qt::Key_A);
    ASSERT_EQ(services.added.size(), 1u) << "the row selected";
    EXPECT_EQ(services.added[0], (std::vector<std::string>{"102", "202603", "0001"}));
    EXPECT_EQ(Status(), "已添加到自选：1 个品种");
    Press("addAllSelfSelected", Qt::Key_L);
    EXPECT_EQ(services.added.size(), 3u);
    EXPECT_EQ(statuses.back(), "已添加到自选：2 个品种");

    saveDialog.path = dir.Path() + "screen.csv";
    Press("export", Qt::Key_O);
    ASSERT_EQ(saveDialog.requests.size(), 1u);
    EXPECT_EQ(saveDialog.requests[0].defaultName, "条件选股_突破");
    const std::optional<std::string> written = ReadWholeFile(*saveDialog.path);
    ASSERT_TRUE(written);
    EXPECT_EQ(GbkToUtf8(*written),
              "公式,突破,参数,N=5,周期,日线,日期,最新\r\n代码,名称,交割月,日期,收盘,UP,GAIN\r\n"
              "104,桑蚕丝-2603,202603,20260203,30.00,1.00,9.00\r\n"
              "102,桑蚕丝-2603,202603,20260203,28.00,1.00,7.00\r\n"
              "共 5 个品种，2 个满足条件，1 个无数据\r\n");
    EXPECT_EQ(Status(), "已导出到文件：" + *saveDialog.path);

    // A date that is no date: said, and the field takes the keyboard.
    Type(Child<QLineEdit>(*window, "date"), "20260230");
    Press("start", Qt::Key_S);
    EXPECT_FALSE(window->Model().Running());
    EXPECT_NE(Status().find("不是有效日期"), std::string::npos) << Status();
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(*window, "date"));
    EXPECT_EQ(table->rowCount(), 2) << "the result stays";

    // At a past date the later rises do not count.
    Type(Child<QLineEdit>(*window, "date"), "20260202");
    RunToTheEnd();
    EXPECT_EQ(Status(), "共 5 个品种，0 个满足条件，1 个无数据");
    EXPECT_EQ(table->rowCount(), 0);
}

TEST_F(ScreeningWindowTest, CancelLeavesTheTableAsItWasAndEscThenCloses) {
    RunToTheEnd();
    ASSERT_EQ(window->Table().RowCount(), 2);

    window->SetRunnerPoster(poster, 2);
    Child<QComboBox>(*window, "period")->setCurrentIndex(1);  // 周线
    gate.Arm();
    Press("start", Qt::Key_S);
    ASSERT_TRUE(window->Model().Running());
    EXPECT_FALSE(Child<QPushButton>(*window, "start")->isEnabled());
    EXPECT_FALSE(Child<QComboBox>(*window, "formula")->isEnabled()) << "the inputs wait while it runs";
    ASSERT_TRUE(gate.WaitReached());
    QTest::keyClick(window.get(), Qt::Key_Escape);  // Esc while it runs is 取消
    EXPECT_TRUE(window->isVisible());
    gate.Release();
    QTRY_VERIFY_WITH_TIMEOUT(!window->Model().Running(), 20000);
    EXPECT_EQ(Status(), "选股已取消");
    EXPECT_EQ(window->Table().RowCount(), 2) << "no half result replaces the one on show";
    EXPECT_EQ(window->Table().Period(), kPeriodDay);
    EXPECT_EQ(Child<QTableWidget>(*window, "rows")->rowCount(), 2);
    EXPECT_TRUE(Child<QPushButton>(*window, "start")->isEnabled());

    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "with nothing under way Esc closes the window";
}

}  // namespace
}  // namespace qelt
