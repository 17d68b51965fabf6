// The operator's web page on the quote port, and quote clients beside browsers.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ServerHarness.h"
#include "common/Gbk.h"
#include "net/Requests.h"
#include "server/NewsPage.h"

namespace qelt::server::test {
namespace {

std::string ReadAll(int fd) {
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
        out.append(buffer, static_cast<size_t>(n));
    return out;
}

TEST(NewsPage, TellsBrowsersFromQuoteClientsByTheFirstBytes) {
    bool undecided = false;
    EXPECT_TRUE(LooksLikeHttp("GET /", undecided));
    EXPECT_FALSE(LooksLikeHttp("login:demo:demo:", undecided));
    EXPECT_FALSE(undecided);
    EXPECT_FALSE(LooksLikeHttp("GE", undecided));
    EXPECT_TRUE(undecided) << "two bytes are a prefix of both";
    EXPECT_FALSE(LooksLikeHttp("GEX", undecided));
    EXPECT_FALSE(undecided);
}

TEST(NewsPage, ListingAtItsPathAndNotFoundElsewhere) {
    ServerHarness server;
    TestClient browser(server.Port());
    // Sent in two pieces: the head is only complete with the blank line.
    ASSERT_TRUE(browser.SendRaw("GET /web/TempleteList.aspx?id=73 HTTP/1.0\r\n"));
    ASSERT_TRUE(browser.SendRaw("Host: localhost\r\n\r\n"));
    std::string page = ReadAll(browser.Fd());
    EXPECT_EQ(page.substr(0, 15), "HTTP/1.0 200 OK");
    EXPECT_NE(page.find("市场资讯"), std::string::npos);
    EXPECT_NE(page.find("综合指数"), std::string::npos);

    TestClient lost(server.Port());
    ASSERT_TRUE(lost.SendRaw("GET /web/TempleteList.aspx?id=1 HTTP/1.0\r\n\r\n"));
    EXPECT_EQ(ReadAll(lost.Fd()).substr(0, 12), "HTTP/1.0 404");

    // A quote client whose first byte is also a browser's still gets its replies.
    TestClient client(server.Port());
    ASSERT_TRUE(client.SendRaw("G"));
    ASSERT_TRUE(client.SendRaw(":|END"));
    EXPECT_TRUE(client.Ask(LoginRequest("demo", "demo"), "login").has_value());
}

TEST(NewsPage, HeadlinesLinkToArticlePagesInGbk) {
    ServerHarness server;
    auto get = [&](const std::string& target) {
        TestClient browser(server.Port());
        browser.SendRaw("GET " + target + " HTTP/1.0\r\n\r\n");
        return ReadAll(browser.Fd());
    };
    const std::string listing = get("/web/TempleteList.aspx?id=73");
    ASSERT_NE(listing.find("<a href=\"TempleteShow.aspx?id=1\">"), std::string::npos) << listing;
    const std::string article = get("/web/TempleteShow.aspx?id=1");
    ASSERT_EQ(article.substr(0, 15), "HTTP/1.0 200 OK");
    // The type names no charset: the page's meta tag does, and the bytes are GBK.
    EXPECT_NE(article.find("Content-Type: text/html\r\n"), std::string::npos);
    EXPECT_NE(article.find("charset=gb2312"), std::string::npos);
    EXPECT_EQ(article.find("要闻详情"), std::string::npos) << "not UTF-8";
    EXPECT_NE(GbkToUtf8(article).find("要闻详情"), std::string::npos);
    EXPECT_NE(GbkToUtf8(article).find("<a href=\"TempleteList.aspx?id=73\">返回列表</a>"), std::string::npos);
    for (const char* missing : {"id=0", "id=99", "id=1x", "id=", "x=1"})
        EXPECT_EQ(get(std::string("/web/TempleteShow.aspx?") + missing).substr(0, 12), "HTTP/1.0 404")
            << missing;
}

TEST(NewsPage, OverlongRequestHeadEndsTheBrowserOnly) {
    ServerHarness server;
    TestClient browser(server.Port());
    browser.SendRaw("GET /" + std::string(kMaxHttpRequest + 10, 'a'));
    EXPECT_TRUE(browser.Closed());
    TestClient client(server.Port());
    EXPECT_TRUE(client.Ask(LoginRequest("demo", "demo"), "login").has_value());
}

}  // namespace
}  // namespace qelt::server::test
