// 交易评测 in the application: the command that opens the trading-system window, the way
// its trades reach the K-line chart (the cursor on a trade, the marks of 在图上显示) and the
// command that takes the marks off.
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "ScreenPlacement.h"
#include "common/Commands.h"
#include "dialogs/CQeltFormulaEdit.h"
#include "dialogs/MessageBoxes.h"
#include "dialogs/ScreeningWindow.h"
#include "dialogs/SystemTestWindow.h"
#include "views/CQeltKLineView.h"
#include "views/ViewKinds.h"
#include "views/kline/TradeMarks.h"

namespace qelt {

SystemTestWindow* CQeltApp::SystemWindow() const { return m_systemWindow.data(); }

void CQeltApp::RegisterSystemCommands() {
    m_context.RegisterCommand(cmd::kSystemTest, {[this] { OpenSystemWindow(); }, {}});
    m_context.RegisterCommand(cmd::kTradeMarksOff,
                              {[this] {
                                   m_context.ClearChartTradeMarks();
                                   if (m_host) m_host->update();
                               },
                               [this] {
                                   return CommandState{m_context.ChartTradeMarks() != nullptr, false};
                               }});
}

void CQeltApp::OpenSystemWindow() {
    if (!m_systemWindow) {
        SystemTestHooks hooks;
        hooks.showBar = [this](const GoodsKey& goods, int period, int bar, int date) {
            ShowTradeOnChart(goods, period, bar, date);
        };
        hooks.showMarks = [this](std::shared_ptr<const TradeMarks> marks) {
            ShowTradeMarks(std::move(marks));
        };
        hooks.editFormula = [this](QWidget* owner, int id) {
            QPointer<CQeltFormulaEdit> dialog =
                new CQeltFormulaEdit(m_context.EditableFormulas(), DefaultMessageBoxes(), id, owner);
            const bool accepted = dialog->exec() == QDialog::Accepted;
            const int saved = accepted && dialog ? dialog->SavedId() : 0;
            delete dialog.data();
            if (m_host) m_host->update();  // a pane showing the formula draws it again
            return saved;
        };
        hooks.status = [this](const std::string& text) { ShowStatus(text); };
        auto* window = new SystemTestWindow(m_context, m_context.EditableFormulas(), m_poster,
                                            std::move(hooks), m_frame.data());
        PlaceOnScreen(*window, QRect(QPoint(60, 40), window->size()));
        m_systemWindow = window;
    }
    m_systemWindow->show();
    m_systemWindow->raise();
    m_systemWindow->activateWindow();
}

CQeltKLineView* CQeltApp::ShowChartOf(const GoodsKey& goods, int period) {
    auto* chart = dynamic_cast<CQeltKLineView*>(m_context.ActiveView());
    if (!chart || m_context.ActiveKind() != kViewKLine || chart->Goods().Key() != goods) {
        if (m_context.CurrentGoods().Key() != goods) {
            int index = -1;
            for (const GoodsSummary& summary : m_context.MainSummaries())
                if (summary.Key() == goods && index < 0) index = summary.position;
            if (index < 0) {
                ShowStatus("行情中已没有该商品：" + goods.goodsNo + goods.dueDate);
                return nullptr;
            }
            m_context.SelectGoods(index);
            m_context.Selection().selfSelectedCategory = std::string(kAllGoodsCode);
        }
        m_context.SwitchView(kViewKLine);
        chart = dynamic_cast<CQeltKLineView*>(m_context.ActiveView());
        if (!chart) return nullptr;
    }
    if (chart->Window().period != period)
        chart->OnCommand(period == kPeriodWeek    ? cmd::kWeek
                         : period == kPeriodMonth ? cmd::kMonth
                                                  : cmd::kDay);
    return chart;
}

void CQeltApp::ShowTradeOnChart(const GoodsKey& goods, int period, int bar, int date) {
    CQeltKLineView* chart = ShowChartOf(goods, period);
    if (!chart) return;
    const int shown = MarkBar(chart->Series(), bar, date);
    if (shown < 0) {
        ShowStatus("K线图中已没有这笔交易的开仓K线");
        return;
    }
    chart->ShowCursorAt(shown);
    if (m_host) m_host->update();
}

void CQeltApp::ShowTradeMarks(std::shared_ptr<const TradeMarks> marks) {
    if (!marks) return;
    const GoodsKey goods = marks->goods;
    const int period = marks->period;
    m_context.SetChartTradeMarks(std::move(marks));
    ShowChartOf(goods, period);
    if (m_host) m_host->update();
}

namespace {

/// The example the manual's pictures show, optimised over these ranges of its two periods.
constexpr const char* kScreenshotSystem = "均线交叉系统";
constexpr const char* kScreenshotRanges[2][3] = {{"3", "15", "1"}, {"10", "60", "2"}};

template <typename Widget>
Widget* Child(QWidget& window, const char* name) {
    return window.findChild<Widget*>(QString::fromLatin1(name));
}

}  // namespace

void CQeltApp::StepScreenshotSystem(int step) {
    const ScreenshotSystem picture = m_options.screenshotSystem;
    if (picture == ScreenshotSystem::Alarms) return;
    if (picture == ScreenshotSystem::Screening) {
        if (step == 0) StartScreenshotScreening();
        return;
    }
    if (step == 1) {
        if (picture == ScreenshotSystem::Marks && m_systemWindow) {
            Child<QPushButton>(*m_systemWindow, "showOnChart")->click();
            m_systemWindow->hide();
        }
        return;
    }
    OpenSystemWindow();
    SystemTestWindow& window = *m_systemWindow;
    auto* formula = Child<QComboBox>(window, "formula");
    formula->setCurrentIndex(formula->findText(QString::fromUtf8(kScreenshotSystem)));
    // The demo contracts trade near 16 yuan: a lot of 1000 units makes the money readable.
    Child<QLineEdit>(window, "multiplier")->setText("1000");
    if (picture != ScreenshotSystem::HeatMap) {
        Child<QPushButton>(window, "start")->click();
        return;
    }
    for (int row = 0; row < 2; ++row) {
        const QString suffix = QString::number(row);
        auto* parameter = Child<QComboBox>(window, ("optParam" + suffix).toLatin1().constData());
        parameter->setCurrentIndex(row + 1);
        const char* fields[] = {"optFrom", "optTo", "optStep"};
        for (int part = 0; part < 3; ++part)
            Child<QLineEdit>(window, (fields[part] + suffix).toLatin1().constData())
                ->setText(QString::fromLatin1(kScreenshotRanges[row][part]));
    }
    Child<QComboBox>(window, "optParam2")->setCurrentIndex(0);
    Child<QPushButton>(window, "optimise")->click();
}

QWidget* CQeltApp::ScreenshotWindow() const {
    const ScreenshotSystem picture = m_options.screenshotSystem;
    if ((picture == ScreenshotSystem::Report || picture == ScreenshotSystem::HeatMap) && m_systemWindow)
        return m_systemWindow.data();
    if (picture == ScreenshotSystem::Screening && m_screeningWindow) return m_screeningWindow.data();
    // The alarm window as the condition alarms of the program directory's condalarm.ini left it.
    if (picture == ScreenshotSystem::Alarms && m_alarmWindow) return m_alarmWindow.data();
    return m_frame.data();
}

}  // namespace qelt
