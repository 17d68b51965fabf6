#include "views/intraday/SectionTable.h"

#include <algorithm>

#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr int kRowHeight = 16;
constexpr Colour kRoseRed = Rgb(255, 0, 0);
constexpr Colour kFellGreen = Rgb(0, 255, 0);

}  // namespace

int SectionRowsPerPage(int height) { return std::max(0, (height - 35) / kRowHeight); }

int NormalisedSectionRow(int row, int count, int rowsPerPage) {
    const int lastPage = std::max(0, count - rowsPerPage);
    if (row < 0 || row >= count || row > lastPage) return lastPage;
    return row;
}

std::int64_t SectionPositionChange(const std::vector<TradePoint>& rows, std::size_t i) {
    if (i > 0 && rows[i - 1].marker == rows[i].marker) return rows[i].pure - rows[i - 1].pure;
    return rows[i].pure;
}

void PaintSectionTable(Canvas& canvas, const Rect& panel, const std::vector<TradePoint>& rows, int firstRow,
                       const DisplayScheme& scheme, const Pen& framePen) {
    canvas.SelectPen(framePen);
    canvas.MoveTo(panel.left, panel.top);
    canvas.LineTo(panel.left, panel.bottom);
    canvas.MoveTo(panel.left, panel.top + 30);
    canvas.LineTo(panel.right, panel.top + 30);

    canvas.SetBkMode(BkMode::Transparent);
    canvas.SelectFont(Font{"宋体", 14, 400});
    canvas.SetTextColour(scheme.line[0]);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    const std::pair<int, const char*> titles[] = {{20, "日期"},  {73, "小节"},  {130, "价格"},
                                                  {175, "买量"}, {210, "卖量"}, {245, "持仓变化"}};
    for (const auto& [x, title] : titles) canvas.TextOut(panel.left + x, panel.top + 10, title);

    const int perPage = SectionRowsPerPage(panel.Height());
    // Rows in Arial 12: nine-character prices ("165526.36") stay clear of the section column.
    canvas.SelectFont(Font{"Arial", 12, 400});
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    const int count = static_cast<int>(rows.size());
    for (int n = 0; n < perPage && firstRow + n < count; ++n) {
        const std::size_t i = static_cast<std::size_t>(std::max(0, firstRow + n));
        const TradePoint& r = rows[i];
        const int y = panel.top + 33 + kRowHeight * n;
        canvas.SetTextColour(scheme.line[0]);
        canvas.TextOut(panel.left + 70, y, FormatInt(r.date));
        canvas.TextOut(panel.left + 100, y, SectionText(r.section));
        canvas.SetTextColour(r.compare < r.price   ? kRoseRed
                             : r.compare > r.price ? kFellGreen
                                                   : scheme.line[0]);
        canvas.TextOut(panel.left + 165, y, FormatFixed2(r.price));
        canvas.SetTextColour(scheme.line[0]);
        canvas.TextOut(panel.left + 200, y, FormatInt(r.buy));
        canvas.TextOut(panel.left + 230, y, FormatInt(r.sell));
        canvas.TextOut(panel.left + 270, y, FormatInt(SectionPositionChange(rows, i)));
    }
}

}  // namespace qelt
