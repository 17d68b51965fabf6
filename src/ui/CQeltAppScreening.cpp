// 条件选股 in the application: the command that opens the screening window, the goods' day
// series it reads from the store, the K-line chart a row brings up and 加入自选.
#include <QComboBox>
#include <QPushButton>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "ScreenPlacement.h"
#include "common/Commands.h"
#include "common/Messages.h"
#include "data/Categories.h"
#include "dialogs/ScreeningWindow.h"

namespace qelt {

ScreeningWindow* CQeltApp::ScreeningWin() const { return m_screeningWindow.data(); }

void CQeltApp::RegisterScreeningCommands() {
    m_context.RegisterCommand(cmd::kScreening, {[this] { OpenScreeningWindow(); }, {}});
}

void CQeltApp::OpenScreeningWindow() {
    if (!m_screeningWindow) {
        ScreeningHooks hooks;
        hooks.showChart = [this](const GoodsKey& goods, int period) {
            if (ShowChartOf(goods, period) && m_host) m_host->update();
        };
        hooks.addSelfSelected = [this](const std::vector<GoodsKey>& goods) {
            // As F6 adds a contract: under "0001", the list kept for the run either way.
            bool saved = true;
            for (const GoodsKey& key : goods)
                saved = m_cfg.AddSelfSelected(key, std::string(kAllGoodsCode)) && saved;
            m_poster.PostWindowMessage(m_targets.notification.load(), WM_NET_LIST, 0, 0);
            return saved;
        };
        hooks.status = [this](const std::string& text) { ShowStatus(text); };
        // Online the store holds every contract's series from the start-up synchronisation;
        // offline it was filled from the history database.
        auto* window = new ScreeningWindow(m_context, m_context.Formulas(), m_poster, StoreDaySeries(m_store),
                                           std::move(hooks), m_frame.data());
        PlaceOnScreen(*window, QRect(QPoint(80, 60), window->size()));
        m_screeningWindow = window;
    }
    m_screeningWindow->show();
    m_screeningWindow->raise();
    m_screeningWindow->activateWindow();
}

void CQeltApp::StartScreenshotScreening() {
    OpenScreeningWindow();
    // The manual's breakout formula when the program directory has it (a real condition: some
    // contracts pass), else the example channel, whose first output holds wherever it exists.
    auto* formula = m_screeningWindow->findChild<QComboBox*>(QStringLiteral("formula"));
    const int breakout = formula->findText(QStringLiteral("突破"), Qt::MatchExactly);
    formula->setCurrentIndex(breakout >= 0 ? breakout : formula->findText(QStringLiteral("通道突破")));
    m_screeningWindow->findChild<QPushButton*>(QStringLiteral("start"))->click();
}

}  // namespace qelt
