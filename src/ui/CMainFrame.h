#pragma once
/// `CMainFrame`: the one top-level window. Title with the version (and " [脱机]" while the
/// session is not live), menu 128, the main toolbar and the (hidden) drawing toolbar, the
/// status bar whose three right-hand panes show the indices, and the place where the single
/// main view lives. The view kinds' commands in the 分析 menu and on the toolbar come from
/// the application's table of kinds. Command states are read again whenever a menu opens
/// (and every half second for the toolbars).
#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QLabel;
class QAction;
class QMenu;
class QToolBar;

namespace qelt {

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<void(int command)> command;
        std::function<bool(int command)> enabled;
        std::function<bool(int command)> checked;  ///< nullopt-like: false when not checkable
        /// The three index values, read on WM_NET_INDEX.
        std::function<std::array<std::string, 3>()> indexValues;
        /// Double click on an index pane: goods index 0..2.
        std::function<void(int goods)> jumpToIndexGoods;
    };

    /// Where a view kind's button sits on the main toolbar.
    enum class ButtonPlace { None, Views, BesideDrawing };
    /// The command of a view kind, as its menu entry and toolbar button show it.
    struct ViewCommand {
        int command = 0;
        std::string menuText;  ///< "报价分析\tF2"
        std::string glyph;     ///< the toolbar button's text
        ButtonPlace place = ButtonPlace::Views;
    };

    explicit CMainFrame(Hooks hooks, QWidget* parent = nullptr);

    /// "Qelt行情分析系统 1.96", with " [脱机]" appended unless `live`.
    static QString TitleFor(bool live);
    /// The title follows the session: live, or not (offline, given up, disconnected).
    void SetOnline(bool live);
    /// The view kinds' entries at the head of the 分析 menu and their toolbar buttons, in
    /// order; replaces those shown before.
    void SetViewCommands(const std::vector<ViewCommand>& commands);
    /// A text in the status bar's message pane (what a command did).
    void ShowStatus(const QString& text);
    QString StatusText() const;
    /// Destroys the main view now (its destructor runs before anything replaces it).
    void DestroyView();
    /// Shows `view` as the main view (an old one is destroyed first).
    void SetView(QWidget* view);
    QWidget* View() const { return m_view; }
    /// Re-reads enabled and checked states of every command.
    void UpdateCommandStates();
    void RefreshIndexPanes();
    QString IndexPaneText(int pane) const;
    QAction* Action(int command) const;
    void ToggleDrawingBar();
    void ToggleToolBar();
    void ToggleStatusBar();

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void BuildMenus();
    void BuildToolBars();
    void BuildStatusBar();
    QAction* MakeAction(int command, const char* text, const char* glyph = nullptr, bool checkable = false);

    Hooks m_hooks;
    std::map<int, QAction*> m_actions;
    QMenu* m_analysisMenu = nullptr;
    QAction* m_viewsMenuEnd = nullptr;  ///< the separator after the view kinds' entries
    QAction* m_viewsBarEnd = nullptr;   ///< the separator after the view kinds' buttons
    std::vector<QAction*> m_viewActions;
    QToolBar* m_mainBar = nullptr;
    QToolBar* m_drawingBar = nullptr;
    std::array<QLabel*, 3> m_indexPanes{};
    QWidget* m_view = nullptr;
};

}  // namespace qelt
