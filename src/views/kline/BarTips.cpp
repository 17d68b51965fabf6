#include "views/kline/BarTips.h"

#include "chart/DateStrip.h"
#include "chart/MinuteStrip.h"
#include "common/Numbers.h"
#include "common/Text.h"

namespace qelt {
namespace {

bool Inside(const BarSeries& bars, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < bars.size();
}

std::string Text(const CBarRow& bar, BarField field) { return std::string(bar[field]); }

}  // namespace

std::string PositionChange(const BarSeries& bars, int index) {
    if (!Inside(bars, index)) return {};
    const CBarRow& bar = bars[static_cast<std::size_t>(index)];
    if (index > 0) {
        const CBarRow& before = bars[static_cast<std::size_t>(index - 1)];
        if (before[kBarDue] == bar[kBarDue])
            return FormatInt(static_cast<std::int64_t>(ClampedInt(bar.Pure())) - ClampedInt(before.Pure()));
    }
    return Text(bar, kBarPure);
}

DataTipContent MakeDataTip(const CQeltGoods& goods, const BarSeries& bars, int index,
                           const std::string& today) {
    DataTipContent tip;
    tip.layout = goods.flagged ? 1 : 2;
    tip.goodsName = goods.name;
    if (!Inside(bars, index)) return tip;
    const CBarRow& bar = bars[static_cast<std::size_t>(index)];
    if (bar.Time() > 0) tip.time = MinuteClockText(bar.Time());
    tip.bar = {Text(bar, kBarDate),         Text(bar, kBarOpen), Text(bar, kBarClose), Text(bar, kBarHigh),
               Text(bar, kBarLow),          Text(bar, kBarAvg),  Text(bar, kBarNum),   Text(bar, kBarPure),
               PositionChange(bars, index), Text(bar, kBarNull)};
    if (TrimLeft(goods.due_date).empty() && bar[kBarDate] == today) {
        tip.today = true;
        tip.liveChange = goods.change;
        tip.liveChangePercent = goods.changePercent;
    }
    return tip;
}

Point PlaceDataTip(Size size, int axisX, const std::vector<Rect>& titles, Point pointer) {
    constexpr int kTop = 30, kMargin = 5;
    auto at = [&](int x) { return Rect{x, kTop, x + size.cx, kTop + size.cy}; };
    // The first title a tip at x would hide, or null.
    auto hidden = [&](int x) -> const Rect* {
        const Rect tip = at(x);
        for (const Rect& t : titles)
            if (t.left < tip.right && tip.left < t.right && t.top < tip.bottom && tip.top < t.bottom)
                return &t;
        return nullptr;
    };
    int pastTitles = kMargin;
    for (int round = 0; round < 64; ++round) {
        const Rect* title = hidden(pastTitles);
        if (!title) break;
        pastTitles = title->right + kMargin;
    }
    const int right = axisX - kMargin - size.cx;
    std::vector<int> places{kMargin, right};
    if (pastTitles + size.cx <= axisX) places.push_back(pastTitles);
    for (int x : places)
        if (!hidden(x) && !at(x).Contains(pointer)) return {x, kTop};
    for (int x : places)
        if (!hidden(x)) return {x, kTop};
    return {right, kTop};
}

InfoTipContent MakeBarTip(const BarSeries& bars, int index) {
    InfoTipContent tip;
    tip.layout = 1;
    if (!Inside(bars, index)) {
        tip.caption = kNoBarCaption;
        return tip;
    }
    const CBarRow& bar = bars[static_cast<std::size_t>(index)];
    tip.caption = BarCaption(bar);
    tip.lines = {"开盘:" + Text(bar, kBarOpen),
                 "最高:" + Text(bar, kBarHigh),
                 "最低:" + Text(bar, kBarLow),
                 "收盘:" + Text(bar, kBarClose),
                 "成交量:" + Text(bar, kBarNum),
                 "净持仓量:" + Text(bar, kBarPure),
                 "持仓变化:" + PositionChange(bars, index),
                 "购销总量:" + Text(bar, kBarNull)};
    return tip;
}

}  // namespace qelt
