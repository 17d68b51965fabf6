#pragma once
/// `CMainFrame`: the one top-level window. Title with the version (and " [脱机]" offline),
/// menu 128, the main toolbar and the (hidden) drawing toolbar, the status bar whose three
/// right-hand panes show the indices, and the place where the single main view lives.
#include <QMainWindow>
#include <array>
#include <functional>
#include <map>

class QLabel;
class QAction;
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

    explicit CMainFrame(Hooks hooks, QWidget* parent = nullptr);

    /// "Qelt行情分析系统 1.96", with " [脱机]" appended while offline.
    static QString TitleFor(bool online);
    void SetOnline(bool online);
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
    QToolBar* m_mainBar = nullptr;
    QToolBar* m_drawingBar = nullptr;
    std::array<QLabel*, 3> m_indexPanes{};
    QWidget* m_view = nullptr;
};

}  // namespace qelt
