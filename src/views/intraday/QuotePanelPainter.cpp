#include "views/intraday/QuotePanelPainter.h"

#include <cmath>
#include <string>

#include "common/Numbers.h"
#include "views/intraday/IntradayChartPainter.h"
#include "views/intraday/TradePoint.h"

namespace qelt {
namespace {

constexpr int kFirstTradeRow = 360;
constexpr int kTradeRowHeight = 16;
constexpr Colour kUpRed = Rgb(255, 0, 0);
constexpr Colour kDownGreen = Rgb(0, 255, 0);

Colour Against(double value, double reference, Colour level) {
    if (std::fabs(value - reference) < 0.0001) return level;
    return value > reference ? kRiseColour : kFallColour;
}

/// "--" for an opening price that has not been set yet.
bool Unopened(const CQeltGoods& g) { return LeadingDouble(g.open_price) < 0.0001; }

/// Labels in 宋体 12, values in Arial 12 right-aligned at their column's right edge: the
/// market's prices run to nine characters ("167110.00"), which a label and a value of a
/// 95-pixel column hold only at this size.
const Font kPanelLabelFont{"宋体", 12, 400};
const Font kValueFont{"Arial", 12, 400};
/// Where the right column's labels start, and the left column's values end: a value stays
/// clear of the next label ("079" ran into "本节价").
constexpr int kRightLabelX = 100;
constexpr int kLeftValueRight = kRightLabelX - 8;
/// Pixels kept free between a label and its value; a value too wide for the rest of its
/// column is drawn smaller.
constexpr int kValueGap = 4;

std::string PercentText(const CQeltGoods& g, bool unopened) {
    if (unopened) return "--";
    return g.changePercent == "--" ? g.changePercent : g.changePercent + "%";
}

struct Cell {
    const char* label;
    int labelX;
    int valueRight;  ///< from the panel's left
    std::string value;
    Colour colour;
};

void PaintTrades(Canvas& canvas, const Rect& panel, const std::vector<TradeRow>& trades, Colour text) {
    if (trades.empty()) return;
    const std::string_view newestDate = FieldOf(trades.back(), 4);
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    canvas.SelectFont(kValueFont);
    int y = panel.bottom - kTradeRowHeight;
    for (std::size_t i = trades.size(); i-- > 0 && y >= panel.top + kFirstTradeRow; y -= kTradeRowHeight) {
        const TradeRow& row = trades[i];
        if (FieldOf(row, 4) != newestDate) break;
        const TradePoint p = ParseTradePoint(row);
        const std::string label =
            FieldOf(row, 0) == "0" ? std::string(FieldOf(row, 11)) : SectionText(p.section);
        canvas.SetTextColour(kLabelGrey);
        canvas.TextOut(panel.left + 45, y, label);

        // The trade's price against the trade before it, and the volume it added.
        const double price = p.dynamic ? p.newest : p.price;
        std::int64_t volume = p.dynamic ? p.dynVolume : p.volume;
        Colour colour = text;
        if (i > 0 && FieldOf(trades[i - 1], 4) == newestDate) {
            const TradePoint before = ParseTradePoint(trades[i - 1]);
            const double previous = before.dynamic ? before.newest : before.price;
            if (price > previous + 0.0001) colour = kUpRed;
            if (price < previous - 0.0001) colour = kDownGreen;
            volume -= p.dynamic ? before.dynVolume : before.volume;
        }
        canvas.SetTextColour(colour);
        canvas.TextOut(panel.left + 125, y, FormatFixed2(price));
        canvas.SetTextColour(kLabelGrey);
        canvas.TextOut(panel.right - 3, y, FormatInt(volume));
    }
}

}  // namespace

void PaintQuotePanel(Canvas& canvas, const Rect& panel, const CQeltGoods& g, bool flagged,
                     const std::vector<TradeRow>& trades, const DisplayScheme& scheme, const Pen& framePen) {
    canvas.SelectPen(framePen);
    canvas.MoveTo(panel.left, panel.top);
    canvas.LineTo(panel.left, panel.bottom);
    for (int y : {40, 80, 210, 340}) {
        canvas.MoveTo(panel.left, panel.top + y);
        canvas.LineTo(panel.right, panel.top + y);
    }
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SelectFont(Font{"宋体", 14, 400});
    canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
    canvas.SetTextColour(scheme.line[4]);
    canvas.TextOut((panel.left + panel.right) / 2, panel.top + 14, g.name);

    const double r = LeadingDouble(flagged ? g.pre_avg_price : g.pre_close);
    const double p = LeadingDouble(flagged ? g.newest_price : g.price);
    const Colour level = scheme.level;
    auto against = [&](const std::string& text) { return Against(LeadingDouble(text), r, level); };
    const Colour current = Against(p, r, level);
    const bool unopened = Unopened(g);
    const std::string percent = PercentText(g, unopened);
    const Colour text = scheme.line[0];

    const int left = kLeftValueRight;
    const int right = panel.Width() - 3;
    const int second = kRightLabelX;
    const std::pair<int, Cell> cells[] = {
        {50,
         {flagged ? "日期" : "节号", 5, left, flagged ? g.last_date : SectionText(LeadingInt(g.last_section)),
          kLabelGrey}},
        {50, {flagged ? "结算价" : "本节价", second, right, FormatFixed2(LeadingDouble(g.price)), current}},
        {90, {"购销总量", 5, left, g.null_num, kLabelGrey}},
        {90, {"净持仓量", second, right, g.pure_num, kLabelGrey}},
        {120, {"申买价", 5, left, g.invest_price, text}},
        {120, {"申卖价", second, right, g.sale_price, text}},
        {150, {"申买量", 5, left, g.invest_input, kLabelGrey}},
        {150, {"申卖量", second, right, g.sale_input, kLabelGrey}},
        {180, {"成交量", 5, left, g.all_num, kLabelGrey}},
        {180, {"动盘价", second, right, g.newest_price, text}},
        {220, {"涨跌", 5, left, unopened ? "--" : g.change, current}},
        {220, {"开盘", second, right, unopened ? "--" : g.open_price, against(g.open_price)}},
        {250, {"幅度", 5, left, percent, current}},
        {250, {"最高", second, right, g.highest_price, against(g.highest_price)}},
        {280, {"昨收", 5, left, g.pre_close, kLabelGrey}},
        {280, {"最低", second, right, g.lowest_price, against(g.lowest_price)}},
        {310, {"现均", 5, left, g.avg_price, against(g.avg_price)}},
        {310, {flagged ? "昨结" : "昨均", second, right, g.pre_avg_price, kLabelGrey}},
    };
    for (const auto& [y, cell] : cells) {
        canvas.SelectFont(kPanelLabelFont);
        canvas.SetTextAlign({HAlign::Left, VAlign::Top});
        canvas.SetTextColour(kLabelGrey);
        canvas.TextOut(panel.left + cell.labelX, panel.top + y, cell.label);
        const int labelEnd = cell.labelX + canvas.TextExtent(cell.label).cx;
        canvas.SelectFont(kValueFont);
        canvas.SetTextAlign({HAlign::Right, VAlign::Top});
        canvas.SetTextColour(cell.colour);
        canvas.TextOutWithin(panel.left + cell.valueRight, panel.top + y, cell.value,
                             cell.valueRight - labelEnd - kValueGap);
    }
    PaintTrades(canvas, panel, trades, text);
}

}  // namespace qelt
