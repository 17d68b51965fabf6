#include "views/controls/InfoTipPainter.h"

#include "common/Numbers.h"
#include "views/controls/DataTipPainter.h"

namespace qelt {
namespace {

constexpr Colour kWhite = 0xFFFFFF;

void PaintLayout1(Canvas& canvas, const InfoTipContent& content, int width, int height) {
    canvas.FillRect({0, 0, width, height}, kWhite);
    canvas.SelectFont(Font{"Arial", 14, 400});
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    if (!content.caption.empty()) {
        canvas.FillRect({0, 0, width, 20}, kTipCaptionBand);
        canvas.SetTextColour(kWhite);
        canvas.TextOut(2, 3, content.caption);
    }
    canvas.SetTextColour(0);
    int y = 25;
    for (const std::string& line : content.lines) {
        canvas.TextOut(2, y, line);
        y += 15;
    }
}

void PaintLayout2(Canvas& canvas, const InfoTipBar& bar, int width, int height) {
    // The same rows, places and colours as the K-line view's data tip, without its live texts.
    DataTipContent content;
    content.layout = 2;
    content.bar = bar;
    PaintDataTip(canvas, content, width, height);
}

}  // namespace

std::string DashedDate(const std::string& date) {
    if (date.size() != 8) return date;
    for (char c : date)
        if (c < '0' || c > '9') return date;
    return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
}

void PaintInfoTip(Canvas& canvas, const InfoTipContent& content, int width, int height) {
    if (content.layout == 2)
        PaintLayout2(canvas, content.bar, width, height);
    else
        PaintLayout1(canvas, content, width, height);
}

}  // namespace qelt
