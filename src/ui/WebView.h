#pragma once
/// `CQeltHtml` (view kind 5, "资讯系统"): the operator's news listing page inside the main
/// frame. The page is fetched over HTTP and shown in a rich-text browser, which needs no GPU
/// and no sandbox, so the view opens everywhere; links open in the desktop's browser.
#include <QWidget>

class QTextBrowser;
class QNetworkAccessManager;
class QNetworkReply;

namespace qelt {

/// The news listing page on the operator's site: "/web/TempleteList.aspx?id=73".
QString NewsPageUrl(const QString& siteAddress);

class CQeltHtml : public QWidget {
    Q_OBJECT
public:
    explicit CQeltHtml(const QString& siteAddress, QWidget* parent = nullptr);
    QString Url() const { return m_url; }
    QString ShownText() const;

private:
    void Load(const QUrl& url);
    QTextBrowser* m_browser;
    QNetworkAccessManager* m_network;
    QString m_url;
};

}  // namespace qelt
