#include "views/controls/InfoTipPainter.h"

#include <algorithm>

#include "common/Numbers.h"
#include "views/controls/DataTipPainter.h"

namespace qelt {
namespace {

constexpr Colour kInfoTipWhite = 0xFFFFFF;

const Font kBarTipFont{"Arial", 14, 400};
constexpr int kLinesTop = 25;
constexpr int kLinePitch = 15;

void PaintLayout1(Canvas& canvas, const InfoTipContent& content, int width, int height) {
    canvas.FillRect({0, 0, width, height}, kInfoTipWhite);
    canvas.SelectFont(kBarTipFont);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    if (!content.caption.empty()) {
        canvas.FillRect({0, 0, width, 20}, kTipCaptionBand);
        canvas.SetTextColour(kInfoTipWhite);
        canvas.TextOut(2, 3, content.caption);
    }
    canvas.SetTextColour(0);
    int y = kLinesTop;
    for (const std::string& line : content.lines) {
        canvas.TextOut(2, y, line);
        y += kLinePitch;
    }
}

void PaintLayout2(Canvas& canvas, const InfoTipBar& bar, int width, int height) {
    // The same rows, places and colours as the K-line view's data tip, without its live texts.
    DataTipContent content;
    content.layout = 2;
    content.bar = bar;
    PaintDataTip(canvas, content, width, height);
}

/// The date without its year, "-" after the month: "20070305" gives "03-05".
std::string MonthDashDay(const std::string& date) {
    if (date.empty()) return "---";
    if (date.size() <= 4) return date;
    const std::string rest = date.substr(4);
    return rest.size() > 2 ? rest.substr(0, 2) + "-" + rest.substr(2) : rest;
}

void PaintRecordLayout(Canvas& canvas, const InfoTipRecord& record, int width, int height) {
    canvas.FillRect({0, 0, width, height}, 0x1E1E1E);
    canvas.SelectPen(Pen::Solid(1, 0x0000FF));
    canvas.MoveTo(0, 0);
    canvas.LineTo(width - 2, 0);
    canvas.LineTo(width - 2, height - 2);
    canvas.LineTo(0, height - 2);
    canvas.LineTo(0, 0);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});

    const double price = LeadingDouble(record.price);
    const double reference = LeadingDouble(record.reference);
    const Colour colour = TipColourAgainst(price, reference);
    // A comparison price without an integer part gives no percentage (and no division by 0).
    const std::string percent = record.reference.empty() || LeadingInt(record.reference) == 0
                                    ? "0.00"
                                    : FormatPercent((price - reference) * 100 / reference);
    const bool time = record.section.size() > 3;
    struct Row {
        const char* label;
        int x;
        int y;
        std::string value;
        Colour colour;
    };
    const Row rows[] = {
        {"日  期", 8, 11, MonthDashDay(record.date), kInfoTipWhite},
        {time ? "时 间" : "小 节", 8, 43, record.section, kInfoTipWhite},
        {"价 格", 8, 75, record.price.empty() ? std::string() : FormatFixed2(price), colour},
        {"涨  幅", 8, 107, percent, colour},
        {"涨  跌", 8, 139, FormatFixed2(price - reference), colour},
        {"成交量", 8, 171, record.volume, kTipLabel},
        {"购销变化", 0, 203, record.positionChange, kTipLabel},
        {"动盘价格", 0, 235, record.dynamicPrice, kTipLabel},
    };
    for (const Row& row : rows) {
        canvas.SelectFont(Font{"Arial", 14, 400});
        canvas.SetTextColour(kTipLabel);
        canvas.TextOut(row.x, row.y, row.label);
        canvas.SelectFont(Font{"Arial", 14, 600});
        canvas.SetTextColour(row.colour);
        canvas.TextOut(4, row.y + 16, row.value);
    }
}

}  // namespace

std::string DashedDate(const std::string& date) {
    if (date.size() != 8) return date;
    for (char c : date)
        if (c < '0' || c > '9') return date;
    return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
}

Size BarTipSize(Canvas& measure, const InfoTipContent& content, Size least) {
    const Font font = measure.CurrentFont();
    measure.SelectFont(kBarTipFont);
    int right = 2 + measure.TextExtent(content.caption).cx;
    for (const std::string& line : content.lines) right = std::max(right, 2 + measure.TextExtent(line).cx);
    const int bottom = kLinesTop + kLinePitch * static_cast<int>(content.lines.size()) + 5;
    measure.SelectFont(font);
    // Two pixels of air on the right, as on the left.
    return {std::max(least.cx, right + 2), std::max(least.cy, bottom)};
}

void PaintInfoTip(Canvas& canvas, const InfoTipContent& content, int width, int height) {
    if (content.layout == 2)
        PaintLayout2(canvas, content.bar, width, height);
    else if (content.layout == 3 || content.layout == 4)
        PaintRecordLayout(canvas, content.record, width, height);
    else
        PaintLayout1(canvas, content, width, height);
}

}  // namespace qelt
