#pragma once
/// `CQeltHtml` (view kind 5, "资讯系统"): the operator's news listing page inside the main
/// frame, in the browser this build has (Qt WebEngine, or a rich-text browser without it).
/// Links of the operator's site open in the view, others in the desktop's browser; Alt+Left
/// (or Backspace outside a text field) goes back, Alt+Right forward, Ctrl+R reloads; the
/// frame's print commands print the page.
#include "ui/ViewHostWidget.h"
#include "views/WebPageView.h"

namespace qelt {

class WebPane;

class CQeltHtml : public ViewHostWidget {
    Q_OBJECT
  public:
    CQeltHtml(WebPageView& page, ViewServices& services, QWidget* parent = nullptr);
    /// The news listing this view opened first.
    QString Url() const { return m_url; }
    /// The page on show as plain text (once it has loaded).
    QString ShownText() const;
    WebPane& Pane() const { return *m_pane; }
    void ViewReady() override;
    /// The page itself goes to the printer, as the browser lays it out for paper.
    void PrintTo(QPrinter& printer) override;

  protected:
    void LayOutChildren() override;

  private:
    WebPane* m_pane;
    QString m_url;
};

}  // namespace qelt
