#include "ui/views/CQeltListView.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWheelEvent>

#include "common/Messages.h"
#include "ui/QtCanvas.h"
#include "ui/QtPoster.h"
#include "ui/views/BoardPrint.h"
#include "ui/views/QtSaveFileDialog.h"
#include "ui/widgets/CHotKey.h"
#include "ui/widgets/CMyTab.h"
#include "ui/widgets/CXScrollBar.h"
#include "views/ScrollCodes.h"

namespace qelt {
namespace {
Point ToPoint(const QPointF& p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }
}  // namespace

CQeltListView::CQeltListView(ListViewHost& host, BoardColours colours, QWidget* parent)
    : QWidget(parent), m_host(host), m_board(host, colours) {
    setObjectName(QStringLiteral("quoteList"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    m_vBar = new CXScrollBar(true, [this](int code, int pos) {
        m_board.OnVScroll(code, pos);
        SyncBars();
        update();
    }, this);
    m_vBar->setObjectName(QStringLiteral("scroll1019"));
    m_hBar = new CXScrollBar(false, [this](int code, int pos) {
        m_board.OnHScroll(code, pos);
        SyncBars();
        update();
    }, this);
    m_hBar->setObjectName(QStringLiteral("scroll1020"));
    m_tabs = new CMyTab(this);
    m_tabs->setObjectName(QStringLiteral("tabs1002"));
    m_tabs->SetTabs(host.CategoryNames(), host.CategoryCodes(), 80, host.DisplayScale());

    m_board.InitialUpdate();
    m_tabs->SetSelected(m_board.Category());
    m_hBar->SetRange(0, kScrollableSlots, false);
    SyncBars();
}

CQeltListView::~CQeltListView() = default;

void CQeltListView::SyncBars() {
    m_vBar->SetRange(0, m_board.GoodsCount(), false);
    m_vBar->SetScrollPos(m_board.FirstRow());
    m_hBar->SetScrollPos(m_board.HorizontalOffset());
}

bool CQeltListView::event(QEvent* event) {
    const auto type = static_cast<unsigned>(event->type());
    if (type == WM_NET_LIST) {
        m_board.OnNetList();
        SyncBars();
        update();
        return true;
    }
    if (type == WM_TAB_SELECT) {
        if (auto* message = dynamic_cast<WindowMessageEvent*>(event)) {
            m_board.OnTabSelect(static_cast<int>(message->WParam()));
            m_tabs->SetSelected(m_board.Category());
            SyncBars();
            update();
        }
        return true;
    }
    return QWidget::event(event);
}

void CQeltListView::resizeEvent(QResizeEvent*) {
    const BoardLayout layout = m_board.OnSize(width(), height());
    m_barThickness = layout.barThickness;
    auto place = [](QWidget* w, const Rect& r) { w->setGeometry(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height())); };
    place(m_vBar, layout.vScroll);
    place(m_tabs, layout.tabs);
    place(m_hBar, layout.hScroll);
}

void CQeltListView::paintEvent(QPaintEvent*) {
    const int w = std::max(1, width() - m_barThickness);
    const int h = std::max(1, height() - m_barThickness);
    if (!m_buffer || m_buffer->Width() != w || m_buffer->Height() != h) m_buffer = std::make_unique<QtBitmap>(w, h);
    m_board.Paint(m_buffer->GetCanvas(), width(), height());
    QPainter painter(this);
    QtCanvas screen(painter);
    screen.DrawBitmap(*m_buffer, 0, 0);
}

void CQeltListView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const Point p = ToPoint(event->position());
    if (event->button() == Qt::LeftButton) {
        if (m_board.OnLButtonDown(p)) update();
    } else if (event->button() == Qt::RightButton) {
        const BoardPopup popup = m_board.OnRButtonDown(p);
        update();
        ShowPopup(popup);
    }
}

void CQeltListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_board.OnLButtonDblClk();
}

void CQeltListView::wheelEvent(QWheelEvent* event) {
    // One row per notch (120 units); touchpads send smaller steps that add up to one.
    m_wheelDelta += event->angleDelta().y();
    bool moved = false;
    while (m_wheelDelta >= 120 || m_wheelDelta <= -120) {
        m_board.OnWheel(m_wheelDelta < 0);
        m_wheelDelta += m_wheelDelta < 0 ? 120 : -120;
        moved = true;
    }
    if (!moved) return;
    SyncBars();
    update();
}

void CQeltListView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_board.OnEnter();
        return;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const int chosen = RunHotKey(QString(QChar('0' + (key - Qt::Key_0))));
        m_board.OnHotKeyChosen(chosen);
        return;
    }
    using NavKey = QuoteListView::NavKey;
    static const std::pair<int, NavKey> kNavigation[] = {
        {Qt::Key_Up, NavKey::Up},         {Qt::Key_Down, NavKey::Down}, {Qt::Key_PageUp, NavKey::PageUp},
        {Qt::Key_PageDown, NavKey::PageDown}, {Qt::Key_Left, NavKey::Left}, {Qt::Key_Right, NavKey::Right}};
    for (const auto& [qtKey, nav] : kNavigation) {
        if (key != qtKey) continue;
        m_board.OnNavKey(nav);
        SyncBars();
        update();
        return;
    }
    QWidget::keyPressEvent(event);
}

int CQeltListView::RunHotKey(const QString& typed) {
    CHotKey dialog(m_host.MainList(), typed, mapToGlobal(QPoint(width(), height())), this);
    if (dialog.exec() != QDialog::Accepted) return -1;
    return dialog.Result();
}

QAction* CQeltListView::ExecMenu(QMenu& menu, const QPoint& globalPos) { return menu.exec(globalPos); }

void CQeltListView::ShowPopup(const BoardPopup& popup) {
    if (popup.kind == BoardPopup::Kind::None) return;
    QMenu menu(this);
    if (popup.kind == BoardPopup::Kind::ColumnChooser) {
        menu.setTitle(QStringLiteral("list head"));
        for (const ColumnCommand& c : kColumnCommands) {
            QAction* action = menu.addAction(QString::fromUtf8(c.label));
            action->setData(c.id);
            action->setCheckable(true);
            action->setChecked(popup.checkedTitle == c.title);
        }
    } else {
        menu.setTitle(QStringLiteral("自定义"));
        const bool add = popup.kind == BoardPopup::Kind::AddSelfSelected;
        QAction* action = menu.addAction(add ? QStringLiteral("添加到自选") : QStringLiteral("从自选删除"));
        action->setData(add ? kCmdAddSelfSelected : kCmdRemoveSelfSelected);
    }
    QAction* chosen = ExecMenu(menu, mapToGlobal(QPoint(popup.at.x, popup.at.y)));
    if (chosen) OnCommand(chosen->data().toInt());
}

bool CQeltListView::OnCommand(int id) {
    switch (id) {
        case kCmdExportCsv: Export(BoardExportKind::Csv); return true;
        case kCmdExportText: Export(BoardExportKind::Text); return true;
        case kCmdPrint: Print(); return true;
        case kCmdPrintDirect: PrintDirect(); return true;
        case kCmdPrintPreview: PrintPreview(); return true;
        default: break;
    }
    if (m_board.OnCommand(id) || m_board.OnColumnCommand(id)) {
        SyncBars();
        update();
        return true;
    }
    return false;
}

void CQeltListView::Export(BoardExportKind kind) {
    QtSaveFileDialog fileDialog(this);
    ExportBoard(kind, m_board.Rows(), m_saveDialog ? *m_saveDialog : static_cast<SaveFileDialog&>(fileDialog));
}

void CQeltListView::PrintTo(QPrinter& printer) {
    m_host.OnPrinting(true);
    PrintBoard(m_board, printer, size());
    m_host.OnPrinting(false);
}

void CQeltListView::SetColours(const BoardColours& colours) {
    m_board.SetColours(colours);
    update();
}

void CQeltListView::Print() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpBoardPrinter(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintTo(printer);
}

void CQeltListView::PrintDirect() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpBoardPrinter(printer);
    PrintTo(printer);
}

void CQeltListView::PrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpBoardPrinter(printer);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintTo(*p); });
    dialog.exec();
}

}  // namespace qelt
