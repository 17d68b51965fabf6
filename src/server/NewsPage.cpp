#include "server/NewsPage.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/Gbk.h"
#include "common/Numbers.h"
#include "server/Market.h"
#include "server/ServerState.h"

namespace qelt::server {
namespace {

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string DateText(int yyyymmdd) {
    std::string d = FormatInt(yyyymmdd);
    return d.size() == 8 ? d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) : d;
}

/// Headlines made from the market: the indices and the day's biggest movers.
std::vector<std::string> Headlines(ServerState& state) {
    std::vector<std::string> out;
    std::vector<const Quote*> traded;
    for (const Quote& q : state.Quotes().Quotes()) {
        if (q.contract.kind == ContractKind::Index && q.price > 0)
            out.push_back(q.contract.dueDate + "报 " + FormatFixed2(q.price) + "，较上日" +
                          (q.price >= q.preClose ? "上涨 " : "下跌 ") +
                          FormatFixed2(std::abs(q.price - q.preClose)) + " 点");
        else if (q.contract.kind == ContractKind::Future && q.contract.state > 0 && q.price > 0 &&
                 q.preClose > 0)
            traded.push_back(&q);
    }
    std::sort(traded.begin(), traded.end(), [](const Quote* a, const Quote* b) {
        return std::abs(a->price / a->preClose - 1) > std::abs(b->price / b->preClose - 1);
    });
    for (size_t i = 0; i < traded.size() && i < 3; ++i) {
        const Quote& q = *traded[i];
        const double percent = (q.price - q.preClose) * 100 / q.preClose;
        out.push_back(q.contract.goodsNo + " " + q.contract.dueDate + " 合约成交 " + FormatInt(q.allNum) +
                      " 批，涨跌幅 " + FormatPercent(percent));
    }
    out.push_back("市场交易时间：上午 09:00-11:00，下午 13:30-15:30，其间动盘交易");
    return out;
}

std::string NewsListing(ServerState& state) {
    std::string html =
        "<html><head><meta charset=\"utf-8\"><title>市场资讯</title></head><body>"
        "<h2>市场资讯</h2><p>" +
        DateText(state.Today()) + "</p>";
    const std::string& notice = state.Notice().Current();
    if (!notice.empty()) html += "<h3>市场公告</h3><p>" + Escape(notice) + "</p>";
    html += "<h3>今日要闻</h3><ul>";
    // Relative links, as the operator's pages have them: a browser resolves them against the
    // page on show.
    const auto headlines = Headlines(state);
    for (size_t i = 0; i < headlines.size(); ++i)
        html += "<li><a href=\"TempleteShow.aspx?id=" + FormatInt(static_cast<long long>(i + 1)) + "\">" +
                Escape(headlines[i]) + "</a></li>";
    html += "</ul></body></html>";
    return html;
}

/// One headline's page, in GBK as the operator's article pages are, with the charset named
/// only in the page's own meta tag. Nothing when there is no such headline.
std::optional<std::string> ArticlePage(std::string_view params, ServerState& state) {
    if (params.substr(0, 3) != "id=") return std::nullopt;
    const long long id = LeadingInt(params.substr(3));
    const auto headlines = Headlines(state);
    if (id < 1 || id > static_cast<long long>(headlines.size()) || FormatInt(id) != params.substr(3))
        return std::nullopt;
    const std::string& headline = headlines[static_cast<size_t>(id - 1)];
    return Utf8ToGbk(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
        "<title>" +
        Escape(headline) + "</title></head><body><h2>要闻详情</h2><p>" + DateText(state.Today()) + "</p><p>" +
        Escape(headline) + "</p><p><a href=\"TempleteList.aspx?id=73\">返回列表</a></p></body></html>");
}

/// `charset` empty: the type names none (the page says it itself).
std::string Response(std::string_view status, std::string_view body, bool withBody,
                     std::string_view charset = "utf-8") {
    std::string out = "HTTP/1.0 ";
    out += status;
    out += "\r\nContent-Type: text/html";
    if (!charset.empty()) out += "; charset=" + std::string(charset);
    out += "\r\nContent-Length: " + FormatInt(static_cast<long long>(body.size())) +
           "\r\nConnection: close\r\n\r\n";
    if (withBody) out += body;
    return out;
}

}  // namespace

bool LooksLikeHttp(std::string_view start, bool& undecided) {
    undecided = false;
    for (std::string_view method : {std::string_view("GET "), std::string_view("HEAD ")}) {
        const size_t n = std::min(start.size(), method.size());
        if (start.substr(0, n) != method.substr(0, n)) continue;
        if (start.size() >= method.size()) return true;
        undecided = true;
    }
    return false;
}

std::string HttpResponse(std::string_view requestHead, ServerState& state) {
    const bool head = requestHead.substr(0, 5) == "HEAD ";
    std::string_view rest = requestHead.substr(head ? 5 : 4);
    std::string_view target = rest.substr(0, rest.find(' '));
    const size_t query = target.find('?');
    std::string_view path = target.substr(0, query);
    std::string_view params = query == std::string_view::npos ? std::string_view{} : target.substr(query + 1);
    if (path == "/" || (path == "/web/TempleteList.aspx" && params == "id=73"))
        return Response("200 OK", NewsListing(state), !head);
    if (path == "/web/TempleteShow.aspx")
        if (auto article = ArticlePage(params, state)) return Response("200 OK", *article, !head, "");
    return Response("404 Not Found", "<html><body><p>页面不存在</p></body></html>", !head);
}

}  // namespace qelt::server
