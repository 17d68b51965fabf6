#include "common/Numbers.h"
#include "server/Market.h"

namespace qelt::server {

std::string FormatListRecord(const Quote& q) {
    std::string s;
    s.reserve(256);
    auto text = [&s](const std::string& v) {
        s += v.empty() ? "0" : v;  // an empty field would swallow the rest of the record
        s += '|';
    };
    auto num = [&](long v) { text(FormatInt(v)); };
    auto px = [&](double v) { text(FormatFixed2(v)); };
    text(q.contract.dueDate);
    num(q.lastSaleNum);
    num(q.lastInvestNum);
    px(q.lastPrice);
    num(q.lastSection);
    num(q.allNum);
    px(q.low);
    px(q.high);
    px(q.open);
    text(q.contract.goodsNo);
    num(q.null);
    px(q.price);
    num(q.lastSaleInput);
    num(q.lastInvestInput);
    num(q.pure);
    px(q.preClose);
    num(q.contract.state);
    px(q.preAvg);
    px(q.avg);
    num(q.lastDate);
    px(q.bid);
    num(q.bidQty);
    px(q.ask);
    num(q.askQty);
    px(q.newest);
    num(q.allNumD);
    px(q.preNewest);
    return s;
}

std::string Market::ListBody() const {
    std::string out;
    out.reserve(m_quotes.size() * 220);
    for (const auto& q : m_quotes) {
        out += FormatListRecord(q);
        out += '|';  // with the record's own trailing bar: the "||" between records
    }
    return out;
}

}  // namespace qelt::server
