#pragma once
/// `CQeltListView`: the quote board window (报价分析). It hosts the board's rules
/// (QuoteListView), the category tab strip (control 1002) and the two skinned scroll bars
/// (1019 vertical, 1020 horizontal), translates Qt events into the board's handlers, shows
/// its popups, the keyboard wizard, the save dialogs and the printing.
///
/// Messages: WindowMessageEvent WM_NET_LIST (1226) rebuilds the rows keeping scroll position
/// and selection; 1125 (wParam = category index, from the tab strip) switches category.
/// Destroying the window stops the connection's polling.
#include <QWidget>
#include <memory>

#include "views/BoardExport.h"
#include "views/QuoteListView.h"

class QMenu;
class QAction;
class QPrinter;

namespace qelt {

class CMyTab;
class CXScrollBar;
class QtBitmap;

/// The framework's print commands, routed to the view by the frame.
inline constexpr int kCmdPrintDirect = 57606;
inline constexpr int kCmdPrint = 57607;
inline constexpr int kCmdPrintPreview = 57609;

class CQeltListView : public QWidget {
    Q_OBJECT
public:
    /// `host` must outlive the window. The first show's work (rows, current contract,
    /// head.ini) happens here.
    CQeltListView(ListViewHost& host, BoardColours colours, QWidget* parent = nullptr);
    ~CQeltListView() override;

    /// Board commands: 32892/32893 self-selected, 32911/32912 export, 57606/57607/57609
    /// print, 32845–32862 and 32941–32946 columns. False for other ids.
    bool OnCommand(int id);
    void Print();
    void PrintDirect();
    void PrintPreview();
    /// Prints to `printer` as it is set up (used by the three print commands and tests).
    void PrintTo(QPrinter& printer);

    /// New colours (the settings' scheme changed); repaints.
    void SetColours(const BoardColours& colours);
    /// Replaces the save dialog of the exports (tests); nullptr restores the file dialog.
    void SetSaveDialog(SaveFileDialog* dialog) { m_saveDialog = dialog; }
    QuoteListView& Board() { return m_board; }
    CMyTab* Tabs() const { return m_tabs; }
    CXScrollBar* VerticalBar() const { return m_vBar; }
    CXScrollBar* HorizontalBar() const { return m_hBar; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    /// Shows a popup menu at a global position and returns the chosen action (tests
    /// override it: a menu is modal).
    virtual QAction* ExecMenu(QMenu& menu, const QPoint& globalPos);
    /// Runs the keyboard wizard primed with `typed`; the chosen goods index or -1.
    virtual int RunHotKey(const QString& typed);

private:
    void ShowPopup(const BoardPopup& popup);
    void SyncBars();
    void Export(BoardExportKind kind);

    ListViewHost& m_host;
    QuoteListView m_board;
    CMyTab* m_tabs = nullptr;
    CXScrollBar* m_vBar = nullptr;
    CXScrollBar* m_hBar = nullptr;
    std::unique_ptr<QtBitmap> m_buffer;
    SaveFileDialog* m_saveDialog = nullptr;
    int m_barThickness = 20;
    int m_wheelDelta = 0;  ///< wheel units not yet turned into a row step
};

}  // namespace qelt
