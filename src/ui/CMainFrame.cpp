#include "CMainFrame.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "QtPoster.h"
#include "app/IndexPanes.h"
#include "common/Commands.h"
#include "common/Messages.h"
#include "net/Requests.h"

namespace qelt {
namespace {

/// Our own 16 x 16 toolbar icons: a glyph on a dark tile, in the board's colours.
QIcon GlyphIcon(const QString& glyph, QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1E, 0x1E, 0x1E));
    p.setPen(QColor(0x5B, 0x5B, 0x5B));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

}  // namespace

CMainFrame::CMainFrame(Hooks hooks, QWidget* parent) : QMainWindow(parent), m_hooks(std::move(hooks)) {
    setObjectName("mainFrame");
    setMinimumSize(600, 450);
    BuildMenus();
    BuildToolBars();
    BuildStatusBar();
    SetView(new QWidget(this));
    SetOnline(false);
    // A menu shows the states as they are when it opens; the toolbars' buttons follow the
    // application's state as the idle updates of a frame would. (Running a command asks its
    // state again whatever was shown.)
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
    timer->start(500);
}

QString CMainFrame::TitleFor(bool live) {
    QString title = QString::fromUtf8("Qelt行情分析系统 ") +
                    QString::fromUtf8(kClientVersion.data(), static_cast<int>(kClientVersion.size()));
    if (!live) title += QString::fromUtf8(" [脱机]");
    return title;
}

void CMainFrame::SetOnline(bool live) { setWindowTitle(TitleFor(live)); }

void CMainFrame::SetViewCommands(const std::vector<ViewCommand>& commands) {
    for (QAction* action : m_viewActions) {
        m_actions.erase(action->objectName().mid(4).toInt());
        delete action;  // leaves the menu and the toolbar with it
    }
    m_viewActions.clear();
    for (const ViewCommand& view : commands) {
        QAction* action = MakeAction(view.command, view.menuText.c_str(),
                                     view.glyph.empty() ? nullptr : view.glyph.c_str());
        m_analysisMenu->insertAction(m_viewsMenuEnd, action);
        if (view.place == ButtonPlace::Views) m_mainBar->insertAction(m_viewsBarEnd, action);
        if (view.place == ButtonPlace::BesideDrawing)
            m_mainBar->insertAction(Action(cmd::kDrawingBar), action);
        m_viewActions.push_back(action);
    }
    UpdateCommandStates();
}

void CMainFrame::ShowStatus(const QString& text) { statusBar()->showMessage(text); }

QString CMainFrame::StatusText() const { return statusBar()->currentMessage(); }

void CMainFrame::DestroyView() {
    delete takeCentralWidget();
    m_view = nullptr;
}

void CMainFrame::SetView(QWidget* view) {
    DestroyView();
    m_view = view;
    setCentralWidget(view);
    // Shown now, not at the layout's next pass, so that it can take the focus at once.
    if (view && isVisible()) view->show();
}

QAction* CMainFrame::MakeAction(int command, const char* text, const char* glyph, bool checkable) {
    auto* action = new QAction(QString::fromUtf8(text), this);
    action->setObjectName(QString("cmd_%1").arg(command));
    action->setCheckable(checkable);
    if (glyph) action->setIcon(GlyphIcon(QString::fromUtf8(glyph), QColor(0xFF, 0xFF, 0x80)));
    connect(action, &QAction::triggered, this, [this, command] {
        if (m_hooks.command) m_hooks.command(command);
        UpdateCommandStates();
    });
    m_actions[command] = action;
    return action;
}

QAction* CMainFrame::Action(int command) const {
    auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus() {
    QMenu* system = menuBar()->addMenu(QString::fromUtf8("系统(&S)"));
    system->addAction(MakeAction(cmd::kConnect, "连接行情主站"));
    system->addAction(MakeAction(cmd::kDisconnect, "断开行情主站"));
    system->addAction(MakeAction(cmd::kComSettings, "通信设置"));
    system->addAction(MakeAction(cmd::kPassword, "修改密码"));
    system->addAction(MakeAction(cmd::kAutoUpdate, "自动升级", nullptr, true));
    system->addSeparator();
    system->addAction(MakeAction(cmd::kExportCsv, "导出到EXCEL"));
    system->addAction(MakeAction(cmd::kExportText, "导出到文本文件"));
    system->addAction(MakeAction(cmd::kExportPicture, "导出到图片"));
    system->addSeparator();
    QAction* print = MakeAction(cmd::kPrint, "打印(&P)...");
    print->setShortcut(QKeySequence::Print);
    system->addAction(print);
    system->addAction(MakeAction(cmd::kPrintPreview, "打印预览(&V)"));
    system->addAction(MakeAction(cmd::kPrintDirect, "直接打印"));
    system->addSeparator();
    QAction* exit = MakeAction(cmd::kExit, "退出(&X)");
    exit->setShortcut(QKeySequence::Quit);
    system->addAction(exit);

    QMenu* analysis = menuBar()->addMenu(QString::fromUtf8("分析(&A)"));
    m_analysisMenu = analysis;
    m_viewsMenuEnd = analysis->addSeparator();  // the view kinds' entries go before it
    QMenu* period = analysis->addMenu(QString::fromUtf8("分析周期"));
    period->addAction(MakeAction(cmd::kDay, "日线", "日"));
    period->addAction(MakeAction(cmd::kWeek, "周线", "周"));
    period->addAction(MakeAction(cmd::kMonth, "月线", "月"));
    period->addSeparator();
    period->addAction(MakeAction(cmd::kMinute1, "1分钟"));
    period->addAction(MakeAction(cmd::kMinute5, "5分钟"));
    period->addAction(MakeAction(cmd::kMinute15, "15分钟"));
    period->addAction(MakeAction(cmd::kMinute30, "30分钟"));
    period->addAction(MakeAction(cmd::kMinute60, "60分钟"));
    QMenu* move = analysis->addMenu(QString::fromUtf8("操作"));
    move->addAction(MakeAction(cmd::kPrevGoods, "上一个", "↑"));
    move->addAction(MakeAction(cmd::kNextGoods, "下一个", "↓"));
    move->addAction(MakeAction(cmd::kZoomIn, "放大", "+"));
    move->addAction(MakeAction(cmd::kZoomOut, "缩小", "-"));
    move->addAction(MakeAction(cmd::kCursorLeft, "前移", "←"));
    move->addAction(MakeAction(cmd::kCursorRight, "后移", "→"));
    move->addAction(MakeAction(cmd::kDetails, "详细信息", "详"));

    QMenu* drawing = menuBar()->addMenu(QString::fromUtf8("画线(&D)"));
    // The armed tool shows checked.
    drawing->addAction(MakeAction(cmd::kDrawSegment, "线段", "╲", true));
    drawing->addAction(MakeAction(cmd::kDrawLine, "直线", "─", true));
    drawing->addAction(MakeAction(cmd::kDrawParallel, "平行线", "═", true));
    drawing->addAction(MakeAction(cmd::kDrawRect, "矩形", "□", true));
    drawing->addAction(MakeAction(cmd::kDrawWave, "波段线", "∧", true));
    drawing->addAction(MakeAction(cmd::kDrawPeriod, "周期线", "‖", true));
    drawing->addAction(MakeAction(cmd::kDrawGold, "黄金分割", "黄", true));
    drawing->addSeparator();
    drawing->addAction(MakeAction(cmd::kDrawDelete, "删除", "删"));
    drawing->addAction(MakeAction(cmd::kDrawClear, "清空", "清"));
    drawing->addAction(MakeAction(cmd::kDrawCancel, "取消", "×"));
    drawing->addSeparator();
    QAction* undo = MakeAction(cmd::kDrawUndo, "撤销", "↶");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    drawing->addAction(undo);
    QAction* redo = MakeAction(cmd::kDrawRedo, "重做", "↷");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    drawing->addAction(redo);

    QMenu* alarms = menuBar()->addMenu(QString::fromUtf8("预警(&W)"));
    alarms->addAction(MakeAction(cmd::kAlarmList, "设置"));
    alarms->addAction(MakeAction(cmd::kAlarmAdd, "添加"));
    alarms->addAction(MakeAction(cmd::kCondAlarms, "条件预警(&C)"));
    alarms->addAction(MakeAction(cmd::kAlarmOn, "开启"));
    alarms->addAction(MakeAction(cmd::kAlarmOff, "关闭"));
    alarms->addSeparator();
    alarms->addAction(MakeAction(cmd::kAlarmSound, "提示音", nullptr, true));

    QMenu* tools = menuBar()->addMenu(QString::fromUtf8("工具(&T)"));
    tools->addAction(MakeAction(cmd::kIndicators, "指标设置"));
    tools->addAction(MakeAction(cmd::kFormulas, "公式管理"));
    tools->addSeparator();
    tools->addAction(MakeAction(cmd::kScreening, "条件选股(&X)"));
    tools->addAction(MakeAction(cmd::kSystemTest, "交易评测"));
    tools->addAction(MakeAction(cmd::kTradeMarksOff, "取消交易标记"));

    QMenu* view = menuBar()->addMenu(QString::fromUtf8("查看(&V)"));
    view->addAction(MakeAction(cmd::kToolBar, "工具栏", nullptr, true));
    view->addAction(MakeAction(cmd::kStatusBar, "状态栏", nullptr, true));
    view->addAction(MakeAction(cmd::kDrawingBar, "画笔", "笔"));

    QMenu* help = menuBar()->addMenu(QString::fromUtf8("帮助(&H)"));
    help->addAction(MakeAction(cmd::kHelp, "系统帮助"));
    help->addAction(MakeAction(cmd::kNotice, "市场公告"));
    help->addAction(MakeAction(cmd::kWebSite, "访问网站"));
    help->addSeparator();
    help->addAction(MakeAction(cmd::kAbout, "关于"));
}

void CMainFrame::BuildToolBars() {
    m_mainBar = addToolBar(QString::fromUtf8("工具栏"));
    m_mainBar->setObjectName("mainToolBar");
    m_mainBar->setIconSize(QSize(16, 16));
    // The view kinds' buttons go before the first separator, 资讯 before 画笔.
    m_viewsBarEnd = m_mainBar->addSeparator();
    const int mainButtons[] = {cmd::kDay,
                               cmd::kWeek,
                               cmd::kMonth,
                               0,
                               cmd::kPrevGoods,
                               cmd::kNextGoods,
                               cmd::kZoomIn,
                               cmd::kZoomOut,
                               cmd::kCursorLeft,
                               cmd::kCursorRight,
                               0,
                               cmd::kDetails,
                               0,
                               cmd::kDrawingBar};
    for (int id : mainButtons) {
        if (id == 0)
            m_mainBar->addSeparator();
        else
            m_mainBar->addAction(Action(id));
    }
    m_drawingBar = new QToolBar(QString::fromUtf8("画笔"), this);
    m_drawingBar->setObjectName("drawingToolBar");
    m_drawingBar->setIconSize(QSize(16, 16));
    addToolBar(Qt::RightToolBarArea, m_drawingBar);
    const int drawingButtons[] = {cmd::kDrawSegment,
                                  cmd::kDrawLine,
                                  cmd::kDrawParallel,
                                  0,
                                  cmd::kDrawRect,
                                  cmd::kDrawWave,
                                  cmd::kDrawPeriod,
                                  cmd::kDrawGold,
                                  0,
                                  cmd::kDrawDelete,
                                  cmd::kDrawClear,
                                  cmd::kDrawCancel,
                                  0,
                                  cmd::kDrawUndo,
                                  cmd::kDrawRedo};
    for (int id : drawingButtons) {
        if (id == 0)
            m_drawingBar->addSeparator();
        else
            m_drawingBar->addAction(Action(id));
    }
    m_drawingBar->hide();
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    bar->showMessage(QString::fromUtf8("就绪"));
    for (int i = 0; i < 3; ++i) {
        m_indexPanes[i] = new QLabel(bar);
        m_indexPanes[i]->setObjectName(QString("indexPane%1").arg(i));
        m_indexPanes[i]->setMinimumWidth(100);
        m_indexPanes[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_indexPanes[i]->setText(QString::fromStdString(qelt::IndexPaneText(i, "")));
        m_indexPanes[i]->installEventFilter(this);
        bar->addPermanentWidget(m_indexPanes[i]);
    }
    auto* spacer = new QWidget(bar);
    spacer->setFixedWidth(5);
    bar->addPermanentWidget(spacer);
}

void CMainFrame::RefreshIndexPanes() {
    if (!m_hooks.indexValues) return;
    auto values = m_hooks.indexValues();
    for (int i = 0; i < 3; ++i)
        m_indexPanes[i]->setText(QString::fromStdString(qelt::IndexPaneText(i, values[i])));
}

QString CMainFrame::IndexPaneText(int pane) const { return m_indexPanes.at(pane)->text(); }

void CMainFrame::UpdateCommandStates() {
    for (auto& [id, action] : m_actions) {
        if (m_hooks.enabled) action->setEnabled(m_hooks.enabled(id));
        if (action->isCheckable() && m_hooks.checked) action->setChecked(m_hooks.checked(id));
    }
    if (QAction* tb = Action(cmd::kToolBar)) tb->setChecked(m_mainBar->isVisible());
    if (QAction* sb = Action(cmd::kStatusBar)) sb->setChecked(statusBar()->isVisible());
}

void CMainFrame::ToggleDrawingBar() { m_drawingBar->setVisible(!m_drawingBar->isVisible()); }

void CMainFrame::ToggleToolBar() { m_mainBar->setVisible(!m_mainBar->isVisible()); }

void CMainFrame::ToggleStatusBar() { statusBar()->setVisible(!statusBar()->isVisible()); }

bool CMainFrame::event(QEvent* e) {
    if (auto* message = dynamic_cast<WindowMessageEvent*>(e)) {
        if (message->Message() == WM_NET_INDEX) RefreshIndexPanes();
        return true;
    }
    return QMainWindow::event(e);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 3; ++i) {
            if (watched != m_indexPanes[i]) continue;
            int goods = IndexGoodsForPane(i);
            if (goods >= 0 && m_hooks.jumpToIndexGoods) m_hooks.jumpToIndexGoods(goods);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace qelt
