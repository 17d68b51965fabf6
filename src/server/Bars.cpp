#include "server/Bars.h"

#include <cmath>

#include "common/Numbers.h"

namespace qelt::server {

std::string FormatBar(const Bar& b, const std::string& dueDate) {
    std::string s;
    s.reserve(96);
    s += FormatInt(b.date);
    for (double v : {b.open, b.close, b.high, b.low}) {
        s += '|';
        s += FormatFixed2(v);
    }
    s += '|';
    s += FormatInt(b.num);
    s += '|';
    s += FormatFixed2(b.avg);
    s += '|';
    s += FormatInt(b.pure);
    s += '|';
    s += FormatInt(b.null);
    s += '|';
    s += dueDate.empty() ? " " : dueDate;
    return s;
}

std::string FormatTrade(const Trade& t) {
    std::string s;
    s.reserve(160);
    auto add = [&s](const std::string& v) {
        if (!s.empty()) s += '|';
        s += v;
    };
    add(FormatInt(t.section));
    add(FormatFixed2(t.sectionPrice));
    add(FormatFixed2(t.comparePrice));
    add(FormatInt(t.cumSection));
    add(FormatInt(t.date));
    add(FormatInt(t.buy));
    add(FormatInt(t.sell));
    add(FormatInt(t.id));
    add(FormatInt(t.pure));
    add(FormatInt(t.null));
    add(t.isSection ? "1" : " ");
    std::string time = FormatInt(t.time);
    add(std::string(time.size() < 6 ? 6 - time.size() : 0, '0') + time);
    add(FormatFixed2(t.newest));
    add(FormatInt(t.cumContinuous));
    add(FormatFixed2(t.bid));
    add(FormatInt(t.bidQty));
    add(FormatFixed2(t.ask));
    add(FormatInt(t.askQty));
    add(FormatFixed2(t.reference));
    add(FormatInt(t.minuteContinuous));
    return s;
}

double RoundToTick(double value, double tick) {
    if (tick < 0.01) tick = 0.01;
    return std::round(value / tick) * tick;
}

}  // namespace qelt::server
