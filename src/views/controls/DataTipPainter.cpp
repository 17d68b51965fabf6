#include "views/controls/DataTipPainter.h"

#include <algorithm>
#include <vector>

#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kTipBackground = 0x1E1E1E;
constexpr Colour kTipFrame = 0x0000FF;

struct Row {
    const char* label;
    int y;
    std::string value;
    Colour colour;
};

std::vector<Row> RowsOf(const DataTipContent& content) {
    const InfoTipBar& bar = content.bar;
    const double open = LeadingDouble(bar.open);
    const double close = LeadingDouble(bar.close);
    const Colour closeColour = TipColourAgainst(close, open),
                 high = TipColourAgainst(LeadingDouble(bar.highest), open),
                 low = TipColourAgainst(LeadingDouble(bar.lowest), open),
                 average = TipColourAgainst(LeadingDouble(bar.average), 0);
    if (content.layout == 1) {
        return {{"开盘", 37, bar.open, kWhite},
                {"收盘", 69, bar.close, closeColour},
                {"最高", 101, bar.highest, high},
                {"最低", 133, bar.lowest, low},
                {"均价", 165, bar.average, average},
                {"成交量", 197, bar.volume, kTipLabel},
                {"净持仓量", 229, bar.pureNum, kTipLabel},
                {"持仓变化", 261, bar.positionChange, kTipLabel},
                {"购销总量", 293, bar.nullNum, kTipLabel}};
    }
    std::string change = FormatFixed2(close - open);
    std::string percent = FormatPercent(open > 0 ? (close - open) * 100 / open : 0);
    if (content.today) {
        change = content.liveChange;
        percent = content.liveChangePercent;
    }
    const Colour changeColour = TipColourAgainst(LeadingDouble(change), 0),
                 percentColour = TipColourAgainst(LeadingDouble(percent), 0);
    return {{"开    盘", 37, bar.open, kWhite},        {"收    盘", 69, bar.close, closeColour},
            {"最    高", 101, bar.highest, high},      {"最    低", 133, bar.lowest, low},
            {"涨    跌", 165, change, changeColour},   {"涨    幅", 197, percent, percentColour},
            {"均    价", 229, bar.average, average},   {"成 交 量", 261, bar.volume, kTipLabel},
            {"净持仓量", 293, bar.pureNum, kTipLabel}, {"持仓变化", 325, bar.positionChange, kTipLabel},
            {"购销总量", 357, bar.nullNum, kTipLabel}};
}

const Font kTipFont{"宋体", 12, 400};

/// The right edge of the widest text, drawn with its left end at `x`.
int RightEdge(Canvas& measure, int x, const std::string& text) { return x + measure.TextExtent(text).cx; }

/// "日期" (with room between its characters in layout 2); a minute bar's "日期 09:35".
std::string DataTipDateLabel(const DataTipContent& content) {
    if (!content.time.empty()) return "日期 " + content.time;
    return content.layout == 1 ? "日期" : "日    期";
}

}  // namespace

int DataTipWidth(Canvas& measure, const DataTipContent& content) {
    const Font font = measure.CurrentFont();
    measure.SelectFont(kTipFont);
    int right = std::max(RightEdge(measure, 20, DataTipDateLabel(content)),
                         RightEdge(measure, 6, DashedDate(content.bar.date)));
    for (const Row& row : RowsOf(content))
        right = std::max({right, RightEdge(measure, 8, row.label), RightEdge(measure, 20, row.value)});
    measure.SelectFont(font);
    // The frame runs 2 pixels in from the right edge; a pixel of air before it.
    return std::max(kDataTipWidth, right + 3);
}

void PaintDataTip(Canvas& canvas, const DataTipContent& content, int width, int height) {
    canvas.FillRect({0, 0, width, height}, kTipBackground);
    canvas.SelectPen(Pen::Solid(1, kTipFrame));
    canvas.MoveTo(0, 0);
    canvas.LineTo(width - 2, 0);
    canvas.LineTo(width - 2, height - 2);
    canvas.LineTo(0, height - 2);
    canvas.LineTo(0, 0);
    canvas.SelectFont(kTipFont);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(kTipLabel);
    canvas.TextOut(20, 5, DataTipDateLabel(content));
    canvas.TextOut(6, 21, DashedDate(content.bar.date));
    for (const Row& row : RowsOf(content)) {
        canvas.SetTextColour(kTipLabel);
        canvas.TextOut(8, row.y, row.label);
        canvas.SetTextColour(row.colour);
        canvas.TextOut(20, row.y + 16, row.value);
    }
}

}  // namespace qelt
