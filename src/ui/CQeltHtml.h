#pragma once
/// `CQeltHtml` (view kind 5, "资讯系统"): the operator's news listing page inside the main
/// frame. The page is fetched over HTTP and shown in a rich-text browser, which needs no GPU
/// and no sandbox, so the view opens everywhere; links of the site open in the view, others
/// in the desktop's browser.
#include "ui/ViewHostWidget.h"
#include "views/WebPageView.h"

class QTextBrowser;
class QNetworkAccessManager;

namespace qelt {

class CQeltHtml : public ViewHostWidget {
    Q_OBJECT
public:
    CQeltHtml(WebPageView& page, ViewServices& services, QWidget* parent = nullptr);
    QString Url() const { return m_url; }
    QString ShownText() const;
    void ViewReady() override;

protected:
    void LayOutChildren() override;

private:
    void Load(const QUrl& url);
    QTextBrowser* m_browser;
    QNetworkAccessManager* m_network;
    QString m_url;
};

}  // namespace qelt
