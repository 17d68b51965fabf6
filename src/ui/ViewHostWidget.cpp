#include "ViewHostWidget.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWheelEvent>

#include "DoubleBuffer.h"
#include "ModalDialog.h"
#include "OverlayWidget.h"
#include "QtCanvas.h"
#include "QtPoster.h"
#include "QtSaveFileDialog.h"
#include "ViewPrint.h"
#include "dialogs/CQeltFormulaParam.h"
#include "dialogs/CQeltIndiDlg.h"
#include "dialogs/MessageBoxes.h"
#include "widgets/CHotKey.h"

namespace qelt {
namespace {

constexpr const char* kSystemCaption = "系统提示";

QString WrittenText(const std::string& path) {
    return QString::fromUtf8("已导出到文件：") + QString::fromStdString(path);
}

Point ToPoint(const QPointF& p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }

MouseButton ToButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return MouseButton::None;
    }
}

MouseInput ToMouseInput(const QMouseEvent& event) {
    MouseInput mouse;
    mouse.at = ToPoint(event.position());
    mouse.button = ToButton(event.button());
    mouse.leftHeld = (event.buttons() & Qt::LeftButton) != 0;
    mouse.control = (event.modifiers() & Qt::ControlModifier) != 0;
    mouse.shift = (event.modifiers() & Qt::ShiftModifier) != 0;
    return mouse;
}

KeyInput ToKeyInput(const QKeyEvent& event) {
    KeyInput key;
    key.control = (event.modifiers() & Qt::ControlModifier) != 0;
    key.shift = (event.modifiers() & Qt::ShiftModifier) != 0;
    key.alt = (event.modifiers() & Qt::AltModifier) != 0;
    key.text = event.text().toStdString();
    static const std::pair<int, ViewKey> kKeys[] = {
        {Qt::Key_Return, ViewKey::Enter},      {Qt::Key_Enter, ViewKey::Enter},
        {Qt::Key_Escape, ViewKey::Escape},     {Qt::Key_Backspace, ViewKey::Backspace},
        {Qt::Key_Delete, ViewKey::Delete},     {Qt::Key_Up, ViewKey::Up},
        {Qt::Key_Down, ViewKey::Down},         {Qt::Key_Left, ViewKey::Left},
        {Qt::Key_Right, ViewKey::Right},       {Qt::Key_PageUp, ViewKey::PageUp},
        {Qt::Key_PageDown, ViewKey::PageDown}, {Qt::Key_Home, ViewKey::Home},
        {Qt::Key_End, ViewKey::End},           {Qt::Key_F8, ViewKey::F8}};
    const int qtKey = event.key();
    for (const auto& [k, v] : kKeys)
        if (qtKey == k) key.key = v;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) key.letter = static_cast<char>('A' + (qtKey - Qt::Key_A));
    // Digits from the main keys and the numeric pad alike.
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9 && !key.control && !key.alt) {
        key.key = ViewKey::Digit;
        key.digit = qtKey - Qt::Key_0;
    }
    return key;
}

Qt::CursorShape ToQtCursor(CursorShape shape) {
    switch (shape) {
        case CursorShape::SizeVertical:
            return Qt::SizeVerCursor;
        case CursorShape::Cross:
            return Qt::CrossCursor;
        case CursorShape::Hand:
            return Qt::PointingHandCursor;
        case CursorShape::SizeAll:
            return Qt::SizeAllCursor;
        case CursorShape::Arrow:
            break;
    }
    return Qt::ArrowCursor;
}

/// A menu entry's text as Qt shows it: plain text ("&" is no mnemonic; a formula's name may
/// hold one).
QString MenuText(const std::string& text) { return QString::fromStdString(text).replace('&', "&&"); }

void AddEntries(QMenu& menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntry::Kind::Separator:
                menu.addSeparator();
                break;
            case MenuEntry::Kind::SubMenu: {
                QMenu* sub = menu.addMenu(MenuText(entry.text));
                sub->setEnabled(entry.enabled);
                AddEntries(*sub, entry.children);
                break;
            }
            case MenuEntry::Kind::Command: {
                QAction* action = menu.addAction(MenuText(entry.text));
                action->setData(entry.command);
                action->setEnabled(entry.enabled);
                action->setCheckable(entry.checkable);
                action->setChecked(entry.checked);
                break;
            }
        }
    }
}

}  // namespace

ViewHostWidget::ViewHostWidget(View& view, ViewServices& services, QWidget* parent)
    : QWidget(parent), m_view(view), m_services(services) {
    setObjectName(QStringLiteral("viewHost"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // the charts follow the pointer without a button held
    m_view.Attach(*this);
}

ViewHostWidget::~ViewHostWidget() { m_view.Attach(NullViewHost()); }

void ViewHostWidget::ViewReady() {
    m_view.OnSize(ClientSize());
    LayOutChildren();
    setFocus(Qt::OtherFocusReason);
    update();
}

bool ViewHostWidget::event(QEvent* event) {
    if (auto* message = dynamic_cast<WindowMessageEvent*>(event)) {
        m_view.OnNotify(message->Message(), message->WParam());
        return true;
    }
    return QWidget::event(event);
}

void ViewHostWidget::paintEvent(QPaintEvent*) {
    PaintDoubleBuffered(*this, m_buffer, [this](Canvas& canvas, Size client) {
        m_view.Paint(canvas, client, m_services.Settings().ScreenScheme());
    });
}

void ViewHostWidget::resizeEvent(QResizeEvent*) {
    m_view.OnSize(ClientSize());
    LayOutChildren();
}

void ViewHostWidget::keyPressEvent(QKeyEvent* event) {
    if (!m_view.OnKey(ToKeyInput(*event))) QWidget::keyPressEvent(event);
}

void ViewHostWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const MouseInput mouse = ToMouseInput(*event);
    m_view.OnMouseDown(mouse);
    if (mouse.button == MouseButton::Right) m_view.OnContextMenu(mouse.at);
}

void ViewHostWidget::mouseMoveEvent(QMouseEvent* event) { m_view.OnMouseMove(ToMouseInput(*event)); }

void ViewHostWidget::mouseReleaseEvent(QMouseEvent* event) { m_view.OnMouseUp(ToMouseInput(*event)); }

void ViewHostWidget::mouseDoubleClickEvent(QMouseEvent* event) { m_view.OnDoubleClick(ToMouseInput(*event)); }

void ViewHostWidget::wheelEvent(QWheelEvent* event) {
    // One step per notch (120 units); touchpads send smaller steps that add up to one.
    m_wheelDelta += event->angleDelta().y();
    const Point at = ToPoint(event->position());
    while (m_wheelDelta >= 120 || m_wheelDelta <= -120) {
        m_view.OnWheel(m_wheelDelta < 0, at);
        m_wheelDelta += m_wheelDelta < 0 ? 120 : -120;
    }
}

void ViewHostWidget::SetCursorShape(CursorShape shape) { setCursor(ToQtCursor(shape)); }

void ViewHostWidget::MovePointer(Point client) { QCursor::setPos(mapToGlobal(QPoint(client.x, client.y))); }

QAction* ViewHostWidget::ExecMenu(QMenu& menu, const QPoint& globalPos) { return menu.exec(globalPos); }

int ViewHostWidget::ShowPopupMenu(const PopupMenu& popup, Point at) {
    QMenu menu(this);
    menu.setTitle(QString::fromStdString(popup.title));
    AddEntries(menu, popup.entries);
    QAction* chosen = ExecMenu(menu, mapToGlobal(QPoint(at.x, at.y)));
    return chosen ? chosen->data().toInt() : 0;
}

int ViewHostWidget::RunHotKey(const QString& typed) {
    QPointer<CHotKey> dialog =
        new CHotKey(m_services.MainSummaries(), typed, mapToGlobal(QPoint(width(), height())), this);
    const bool chosen = dialog->exec() == QDialog::Accepted;
    const int result = dialog && chosen ? dialog->Result() : -1;
    delete dialog.data();
    return result;
}

int ViewHostWidget::RunKeyboardWizard(const std::string& typed) {
    return RunHotKey(QString::fromStdString(typed));
}

bool ViewHostWidget::RunIndicatorDialog(int code) {
    const bool accepted = ExecModal<CQeltIndiDlg>(
                              m_services.EditableIndicators(), [this] { return m_services.SaveIndicators(); },
                              code, this) == QDialog::Accepted;
    update();
    return accepted;
}

std::optional<std::vector<double>> ViewHostWidget::RunFormulaParam(FormulaParamModel model) {
    QPointer<CQeltFormulaParam> dialog = new CQeltFormulaParam(std::move(model), Boxes(), this);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    std::optional<std::vector<double>> values;
    if (dialog && accepted) values = dialog->Values();
    delete dialog.data();
    return values;
}

bool ViewHostWidget::RunFormulaDialog(int formulaId) {
    const StoredFormula* formula = m_services.Formulas().Find(formulaId);
    if (!formula) return false;
    const std::optional<std::vector<double>> values =
        RunFormulaParam(FormulaParamModel(*formula, m_services.FormulaValues(formulaId)));
    if (values) m_services.SetFormulaValues(formulaId, *values);
    update();
    return values.has_value();
}

MessageBoxes& ViewHostWidget::Boxes() const { return m_boxes ? *m_boxes : DefaultMessageBoxes(); }

bool ViewHostWidget::Confirm(const std::string& text, const std::string& caption) {
    return Boxes().Ask(this, text, caption);
}

void ViewHostWidget::ShowMessage(const std::string& text, const std::string& caption) {
    Boxes().Show(this, text, caption);
}

void ViewHostWidget::ShowOverlay(int id, const Rect& where, OverlayPainter painter, bool draggable) {
    QPointer<OverlayWidget>& overlay = m_overlays[id];
    if (!overlay) {
        overlay = new OverlayWidget(this);
        overlay->setObjectName(QString("overlay%1").arg(id));
    }
    const QSize size(std::max(1, where.Width()), std::max(1, where.Height()));
    if (draggable && overlay->isVisible() && overlay->MovedByUser()) {
        // A tip the user dragged away stays where it was put, taking the size its texts need.
        overlay->resize(size);
    } else {
        // Otherwise it follows the view (the bar tip the pointer).
        overlay->setGeometry(QRect(QPoint(where.left, where.top), size));
        overlay->ForgetUserMove();
    }
    overlay->SetDraggable(draggable);
    overlay->SetPainter(std::move(painter));
    overlay->show();
    overlay->raise();
}

void ViewHostWidget::HideOverlay(int id) {
    const auto found = m_overlays.find(id);
    if (found != m_overlays.end() && found->second) found->second->hide();
}

void ViewHostWidget::PrintTo(QPrinter& printer) {
    PrintView(m_view, printer, size(), m_services.Settings().PrintScheme());
}

void ViewHostWidget::Print() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPointer<QPrintDialog> dialog = new QPrintDialog(&printer, this);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    delete dialog.data();
    if (accepted) PrintTo(printer);
}

void ViewHostWidget::PrintDirect() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    PrintTo(printer);
}

void ViewHostWidget::PrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPointer<QPrintPreviewDialog> dialog = new QPrintPreviewDialog(&printer, this);
    connect(dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintTo(*p); });
    dialog->exec();
    delete dialog.data();
}

void ViewHostWidget::Export(ExportKind kind) {
    const std::optional<ExportDocument> document = m_view.Export(kind);
    if (!document) return;
    QtSaveFileDialog fileDialog(this);
    RememberingSaveDialog dialog(m_saveDialog ? *m_saveDialog : static_cast<SaveFileDialog&>(fileDialog));
    const ExportResult result = SaveExport(*document, dialog);
    if (result == ExportResult::Failed) ShowMessage(kExportFailedText, kSystemCaption);
    if (result == ExportResult::Written) emit StatusMessage(WrittenText(dialog.chosen));
}

void ViewHostWidget::ExportPicture() {
    const std::optional<SaveRequest> request = m_view.PictureExport();
    if (!request) return;
    QtSaveFileDialog fileDialog(this);
    SaveFileDialog& dialog = m_saveDialog ? *m_saveDialog : static_cast<SaveFileDialog&>(fileDialog);
    const std::optional<std::string> path = dialog.AskSavePath(*request);
    if (!path || path->empty()) return;
    // The view's own pixels, whatever the screen's density.
    QtBitmap bitmap(std::max(1, width()), std::max(1, height()));
    m_view.Paint(bitmap.GetCanvas(), ClientSize(), m_services.Settings().ScreenScheme());
    if (!bitmap.SaveBmp(*path)) {
        ShowMessage(kExportFailedText, kSystemCaption);
        return;
    }
    emit StatusMessage(WrittenText(*path));
}

}  // namespace qelt
