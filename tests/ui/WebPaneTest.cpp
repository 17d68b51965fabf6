// The information view's browsers against pages served on loopback: the page's charset,
// links resolved against the page on show, back, forward and reload from the keyboard,
// pages that cannot load, printing. Every case runs on the rich-text browser; the engine's
// cases run where the program is built with Qt WebEngine.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "TestApplication.h"
#include "common/Gbk.h"
#include "ui/web/WebEngineEnvironment.h"
#include "ui/web/WebPane.h"

#ifdef QELT_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

namespace qelt {
namespace {

using namespace std::chrono_literals;

bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

/// An HTTP/1.0 server on loopback with fixed pages; counts the requests per path.
class PageServer {
  public:
    struct Page {
        QByteArray contentType;
        QByteArray body;
    };
    PageServer() {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    void Add(const QByteArray& path, Page page) { m_pages[path] = std::move(page); }
    QUrl Url(const QString& path) const {
        return QUrl(QString("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    int Requests(const QByteArray& path) const { return m_requests.count(path) ? m_requests.at(path) : 0; }

  private:
    void Answer(QTcpSocket* socket) {
        QByteArray& head = m_heads[socket];
        head += socket->readAll();
        if (!head.contains("\r\n\r\n")) return;
        const QByteArray path = head.split(' ').value(1);
        m_heads.erase(socket);
        ++m_requests[path];
        const auto page = m_pages.find(path);
        QByteArray reply;
        if (page == m_pages.end()) {
            reply = "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<p>no such page</p>";
        } else {
            reply = "HTTP/1.0 200 OK\r\nContent-Type: " + page->second.contentType +
                    "\r\nContent-Length: " + QByteArray::number(page->second.body.size()) + "\r\n\r\n" +
                    page->second.body;
        }
        socket->write(reply);
        socket->disconnectFromHost();
    }
    QTcpServer m_server;
    std::map<QByteArray, Page> m_pages;
    std::map<QTcpSocket*, QByteArray> m_heads;
    std::map<QByteArray, int> m_requests;
};

QByteArray Gbk(const char* utf8) { return QByteArray::fromStdString(Utf8ToGbk(utf8)); }

enum class Browser { Text, Engine };

class WebPaneTest : public ::testing::TestWithParam<Browser> {
  protected:
    // The loopback server needs the application's event loop from its first moment.
    static void SetUpTestSuite() { test::App(); }
    WebPaneTest() {
        // The operator's pages: a GBK listing that names its charset only in its meta tag,
        // a GBK article named by the reply's type, and pages with relative links.
        server.Add(
            "/web/list.aspx?id=73",
            {"text/html", Gbk("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                              "charset=gb2312\"></head><body><h3>今日要闻</h3>"
                              "<p><a href=\"news/show.aspx?id=1\">生丝指数上涨</a></p></body></html>")});
        server.Add("/web/news/show.aspx?id=1",
                   {"text/html; charset=GBK", Gbk("<html><body><h3>要闻详情</h3><p><a href=\"../other/"
                                                  "page.aspx\">其他</a></p></body></html>")});
        server.Add("/web/other/page.aspx",
                   {"text/html",
                    "<html><head><meta charset=\"utf-8\"></head><body><p>\xe5\x85\xb6\xe4\xbb\x96"
                    "\xe9\xa1\xb5\xe9\x9d\xa2</p></body></html>"});  // "其他页面"
        if (GetParam() == Browser::Text) {
            pane.reset(CreateTextWebPane(nullptr));
        } else {
            if (!WebEngineBuilt()) return;
            pane.reset(CreateWebPane(nullptr));
        }
        pane->resize(800, 600);
        pane->show();
    }
    bool Skipped() const { return pane == nullptr; }
    bool Shows(const char* utf8, std::chrono::milliseconds timeout = 20s) {
        return SpinUntil([&] { return pane->ShownText().contains(QString::fromUtf8(utf8)); }, timeout);
    }
    /// Where the keys of a user go: the widget that has the page's focus.
    QWidget* KeyTarget() {
        QWidget* target = pane->focusProxy() ? pane->focusProxy() : pane.get();
        while (target->focusProxy()) target = target->focusProxy();
        return target;
    }
    /// Activates the first link of the page as a user would from the keyboard (Tab, Enter).
    void FollowFirstLink() {
#ifdef QELT_WEBENGINE
        if (auto* view = pane->findChild<QWebEngineView*>()) {
            // The link gets the focus, then Enter opens it: a navigation the user made (one a
            // script makes alone would be skipped by the engine's history).
            // The engine may take a moment before its window passes keys on: try again then.
            const QUrl before = pane->CurrentUrl();
            for (int attempt = 0; attempt < 5 && pane->CurrentUrl() == before; ++attempt) {
                bool focused = false;
                view->page()->runJavaScript("document.links[0].focus();",
                                            [&](const QVariant&) { focused = true; });
                SpinUntil([&] { return focused; });
                QTest::keyClick(KeyTarget(), Qt::Key_Return);
                SpinUntil([&] { return pane->CurrentUrl() != before; }, 2s);
            }
            return;
        }
#endif
        QTest::keyClick(KeyTarget(), Qt::Key_Tab);
        QTest::keyClick(KeyTarget(), Qt::Key_Return);
    }
    PageServer server;
    std::unique_ptr<WebPane> pane;
};

TEST_P(WebPaneTest, GbkPagesLinksResolvedAgainstThePageOnShowBackAndForward) {
    if (Skipped()) GTEST_SKIP() << "this build has no Qt WebEngine (QELT_WEBENGINE=OFF)";
    pane->Load(server.Url("/web/list.aspx?id=73"));
    ASSERT_TRUE(Shows("今日要闻")) << pane->ShownText().toStdString();
    EXPECT_FALSE(pane->CanGoBack());

    FollowFirstLink();
    ASSERT_TRUE(Shows("要闻详情")) << pane->ShownText().toStdString()
                                   << pane->CurrentUrl().toString().toStdString();
    EXPECT_EQ(pane->CurrentUrl(), server.Url("/web/news/show.aspx?id=1"));
    // "../other/page.aspx" from the article, not from the first page.
    FollowFirstLink();
    ASSERT_TRUE(Shows("其他页面")) << pane->ShownText().toStdString();
    EXPECT_EQ(server.Requests("/web/other/page.aspx"), 1);

    QTest::keyClick(KeyTarget(), Qt::Key_Left, Qt::AltModifier);
    ASSERT_TRUE(Shows("要闻详情")) << pane->ShownText().toStdString()
                                   << pane->CurrentUrl().toString().toStdString() << pane->CanGoBack();
    QTest::keyClick(KeyTarget(), Qt::Key_Backspace);
    ASSERT_TRUE(Shows("今日要闻"));
    EXPECT_TRUE(pane->CanGoForward());
    QTest::keyClick(KeyTarget(), Qt::Key_Right, Qt::AltModifier);
    ASSERT_TRUE(Shows("要闻详情"));
    EXPECT_TRUE(pane->CanGoBack());

    const int before = server.Requests("/web/news/show.aspx?id=1");
    QTest::keyClick(KeyTarget(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(SpinUntil([&] { return server.Requests("/web/news/show.aspx?id=1") > before; }));
    EXPECT_TRUE(Shows("要闻详情"));
}

TEST_P(WebPaneTest, TheManualFromItsFilesKeepsItsOwnPagesInTheView) {
    if (Skipped()) GTEST_SKIP() << "this build has no Qt WebEngine (QELT_WEBENGINE=OFF)";
    // 系统帮助 without a browser: the view showed the operator's news first, then the manual.
    QTemporaryDir manual;
    const auto write = [&](const QString& name, const char* utf8) {
        QFile file(manual.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(utf8);
    };
    write("index.html",
          "<html><head><meta charset=\"utf-8\"></head><body><h3>\xe7\x9b\xae\xe5\xbd\x95</h3>"
          "<p><a href=\"kline.html\">K</a></p></body></html>");  // "目录"
    write("kline.html",
          "<html><head><meta charset=\"utf-8\"></head><body><p>\xe6\x8a\x80\xe6\x9c"
          "\xaf\xe5\x88\x86\xe6\x9e\x90</p></body></html>");  // "技术分析"
    pane->Load(server.Url("/web/list.aspx?id=73"));
    ASSERT_TRUE(Shows("今日要闻"));
    pane->Load(QUrl::fromLocalFile(manual.filePath("index.html")));
    ASSERT_TRUE(Shows("目录")) << pane->ShownText().toStdString();
    FollowFirstLink();
    ASSERT_TRUE(Shows("技术分析")) << pane->ShownText().toStdString();
    EXPECT_EQ(pane->CurrentUrl(), QUrl::fromLocalFile(manual.filePath("kline.html")));
}

TEST_P(WebPaneTest, APageThatCannotLoadSaysSoAndTheViewGoesOn) {
    if (Skipped()) GTEST_SKIP() << "this build has no Qt WebEngine (QELT_WEBENGINE=OFF)";
    // A port nobody listens on: the page cannot load.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    int shown = 0;
    QObject::connect(pane.get(), &WebPane::PageShown, [&] { ++shown; });
    pane->Load(QUrl(QString("http://127.0.0.1:%1/web/TempleteList.aspx?id=73").arg(port)));
    ASSERT_TRUE(SpinUntil([&] { return shown > 0; }));
    EXPECT_FALSE(pane->ShownText().trimmed().isEmpty())
        << "the engine's error page or the view's message, never an empty window";
    if (!pane->UsesEngine()) {
        EXPECT_TRUE(pane->ShownText().contains(QString::fromUtf8("无法打开")));
    }
    // The view still works afterwards.
    pane->Load(server.Url("/web/list.aspx?id=73"));
    EXPECT_TRUE(Shows("今日要闻"));
}

TEST_P(WebPaneTest, ThePagePrints) {
    if (Skipped()) GTEST_SKIP() << "this build has no Qt WebEngine (QELT_WEBENGINE=OFF)";
    pane->Load(server.Url("/web/list.aspx?id=73"));
    ASSERT_TRUE(Shows("今日要闻"));
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    EXPECT_TRUE(pane->PrintTo(printer));
    QFile pdf(dir.filePath("page.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_GT(pdf.size(), 500);
}

INSTANTIATE_TEST_SUITE_P(Browsers, WebPaneTest, ::testing::Values(Browser::Text, Browser::Engine),
                         [](const auto& info) { return info.param == Browser::Text ? "Text" : "Engine"; });

TEST(WebPane, OnlyTheOperatorsSitePagesOpenInTheView) {
    const QUrl site("http://127.0.0.1:3500/web/TempleteList.aspx?id=73");
    EXPECT_TRUE(OpensInView(QUrl("TempleteShow.aspx?id=2"), site));
    EXPECT_TRUE(OpensInView(QUrl("/web/more/list.aspx"), site));
    EXPECT_FALSE(OpensInView(QUrl("/download/qelt.zip"), site)) << "outside /web/";
    EXPECT_FALSE(OpensInView(QUrl("http://example.invalid/web/a.aspx"), site)) << "another site";
    EXPECT_FALSE(OpensInView(QUrl("http://127.0.0.1:8080/web/a.aspx"), site)) << "another port";
    EXPECT_FALSE(OpensInView(QUrl("mailto:news@example.invalid"), site));

    // The user manual shown from its files: its own pages stay in the view, nothing else.
    const QUrl manual = QUrl::fromLocalFile("/usr/share/doc/qelt/manual/index.html");
    EXPECT_TRUE(OpensBesideLocalPage(QUrl("kline.html#keys"), manual));
    EXPECT_TRUE(OpensBesideLocalPage(QUrl("images/kline.png"), manual));
    EXPECT_FALSE(OpensBesideLocalPage(QUrl("../../../../etc/passwd"), manual)) << "climbs out";
    EXPECT_FALSE(OpensBesideLocalPage(QUrl::fromLocalFile("/usr/share/doc/qelt/manualx/a.html"), manual));
    EXPECT_FALSE(OpensBesideLocalPage(QUrl("http://127.0.0.1:3500/web/a.aspx"), manual));
    EXPECT_FALSE(OpensBesideLocalPage(QUrl::fromLocalFile("/tmp/a.html"), site)) << "not from a file";
}

TEST(WebPane, TheEngineRunsWithoutSandboxOnlyAsRootAndInSoftwareWithoutAGpu) {
    EXPECT_TRUE(DecideWebEngineNeeds(true, "xcb", false, true).noSandbox);
    EXPECT_FALSE(DecideWebEngineNeeds(false, "xcb", false, true).noSandbox);
    EXPECT_FALSE(DecideWebEngineNeeds(false, "xcb", false, true).noGpu) << "a real display with a GPU";
    EXPECT_FALSE(DecideWebEngineNeeds(false, "", false, true).noGpu);
    EXPECT_TRUE(DecideWebEngineNeeds(false, "offscreen", false, true).noGpu);
    EXPECT_TRUE(DecideWebEngineNeeds(false, "xcb", true, true).noGpu) << "Xvfb";
    EXPECT_TRUE(DecideWebEngineNeeds(false, "wayland", false, false).noGpu) << "no render node";
}

}  // namespace
}  // namespace qelt
