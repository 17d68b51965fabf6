#include "views/intraday/IntradayChartPainter.h"

#include <unordered_map>

#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr int kBands = 14;
constexpr int kMiddleBand = 7;
const Font kLabelFont{"Arial", 14, 400};
/// Rows between two axis labels: the digits of the 14-pixel font stand about 10 pixels high,
/// and two more keep them apart.
constexpr int kLabelRows = 12;
/// What a chart without a record shows in place of a scale of zeros.
constexpr const char* kNoTrades = "无成交";

/// Every how many bands a price label goes, so labels never stack in a short chart: 1 while a
/// band holds a label, else the fewest bands that do (K's band is always labelled).
int PriceLabelStep(const ChartFrame& f) {
    int step = 1;
    while (step < kMiddleBand && f.priceHeight * step < kLabelRows * kBands) ++step;
    return step;
}

bool PriceLabelled(int band, int step) { return (band - kMiddleBand) % step == 0; }

int BandY(const ChartFrame& f, int band) { return f.priceTop + f.priceHeight * band / kBands; }

void HLine(Canvas& canvas, int left, int right, int y) {
    canvas.MoveTo(left, y);
    canvas.LineTo(right, y);
}

void VLine(Canvas& canvas, int x, int top, int bottom) {
    canvas.MoveTo(x, top);
    canvas.LineTo(x, bottom);
}

void PaintFrame(Canvas& canvas, const ChartFrame& f, const ChartStyle& style) {
    canvas.SelectPen(style.frame);
    HLine(canvas, f.plotLeft, f.plotRight, f.priceTop);
    VLine(canvas, f.plotLeft, f.priceTop, f.bottom);
    VLine(canvas, f.plotRight, f.priceTop, f.bottom);
    HLine(canvas, f.plotLeft, f.plotRight, f.bottom);
    for (int y : {f.middle, f.PriceBottom()}) {
        HLine(canvas, f.plotLeft, f.plotRight, y);
        HLine(canvas, f.plotLeft, f.plotRight, y + 1);
    }
}

/// Price levels left, percent from K right; the upper seven in the rise colour, K in white,
/// the lower six in the fall colour.
void PaintPriceGrid(Canvas& canvas, const ChartFrame& f, const ChartScale& s, const ChartStyle& style) {
    const int step = PriceLabelStep(f);
    for (int k = 0; k < kBands; ++k) {
        const int y = BandY(f, k);
        canvas.SelectPen(style.grid);
        HLine(canvas, f.plotLeft, f.plotRight, y);
        if (s.empty || !PriceLabelled(k, step)) continue;
        const double price = s.LevelPrice(k);
        const double percent = s.empty || s.reference == 0 ? 0 : price * 100 / s.reference - 100;
        canvas.SetTextColour(k < 7 ? kRiseColour : k == 7 ? style.text : kFallColour);
        canvas.SetTextAlign({HAlign::Right, VAlign::Top});
        canvas.TextOutWithin(f.plotLeft - 2, y - 7, FormatFixed2(price), f.plotLeft - 2 - f.area.left);
        canvas.SetTextAlign({HAlign::Left, VAlign::Top});
        canvas.TextOut(f.plotRight + 2, y - 7, FormatPercent(percent));
    }
}

/// Volume levels from the bottom up; a level too close to the label below it, or to the
/// lowest price label, keeps its grid line but not its label.
void PaintVolumeGrid(Canvas& canvas, const ChartFrame& f, const ChartScale& s, const ChartStyle& style) {
    canvas.SetTextColour(kLabelGrey);
    const int step = PriceLabelStep(f);
    int lowestPrice = kBands - 1;
    while (!PriceLabelled(lowestPrice, step)) --lowestPrice;
    const int highestLabel = BandY(f, lowestPrice) + kLabelRows;
    int lastLabel = f.bottom + kLabelRows;
    for (int j = 1; j <= 7; ++j) {
        const std::int64_t volume = s.volumeStep * j;
        const int y = s.VolumeTop(f, volume);
        if (y <= f.PriceBottom() + 1 || y >= f.bottom) continue;
        canvas.SelectPen(style.grid);
        HLine(canvas, f.plotLeft, f.plotRight, y);
        if (y > lastLabel - kLabelRows || y < highestLabel) continue;
        lastLabel = y;
        canvas.SetTextAlign({HAlign::Right, VAlign::Top});
        canvas.TextOutWithin(f.plotLeft - 2, y - 7, FormatInt(volume), f.plotLeft - 2 - f.area.left);
        canvas.SetTextAlign({HAlign::Left, VAlign::Top});
        canvas.TextOut(f.plotRight + 2, y - 7, FormatInt(volume));
    }
}

void PaintDayLines(Canvas& canvas, const ChartFrame& f, int days, int slotsPerDay, const ChartStyle& style) {
    for (int d = 0; d < days; ++d) {
        if (d > 0) {
            canvas.SelectPen(style.frame);
            VLine(canvas, f.SlotX(d * slotsPerDay), f.priceTop, f.bottom);
        }
        canvas.SelectPen(style.grid);
        VLine(canvas, f.SlotX(d * slotsPerDay + slotsPerDay / 2), f.priceTop, f.bottom);
    }
}

void PaintVolumeBars(Canvas& canvas, const ChartFrame& f, const ChartScale& s, const ChartContent& c,
                     const ChartStyle& style) {
    canvas.SelectPen(style.line);
    const IntradaySeries& series = *c.series;
    for (std::size_t i = 0; i < series.records.size(); ++i) {
        const int top = s.VolumeTop(f, (*c.volumes)[i]);
        if (top >= f.bottom) continue;
        VLine(canvas, f.SlotX(series.slotOf[i]), f.bottom, std::max(top, f.PriceBottom() + 2));
    }
}

void PaintPriceLine(Canvas& canvas, const ChartFrame& f, const ChartScale& s, const ChartContent& c,
                    const ChartStyle& style) {
    const IntradaySeries& series = *c.series;
    std::vector<Point> points;
    points.reserve(series.records.size());
    for (std::size_t i = 0; i < series.records.size(); ++i)
        points.push_back({f.SlotX(series.slotOf[i]), s.PriceY(f, series.records[i].price)});
    canvas.SelectPen(style.line);
    if (points.size() > 1) canvas.Polyline(points);

    if (!c.dynamicBoard || !c.dynamicBoard->dynamic) return;
    const std::vector<DynamicPoint>& dynamic = *c.dynamicBoard->dynamic;
    std::vector<Point> board;
    for (std::size_t i = 0; i < series.records.size() && i < c.dynamicBoard->ranges.size(); ++i) {
        const auto [first, last] = c.dynamicBoard->ranges[i];
        const double step = f.slotWidth / static_cast<double>(last - first + 1);
        const int x0 = f.SlotX(series.slotOf[i]);
        for (std::size_t j = first; j < last; ++j)
            board.push_back({x0 + static_cast<int>(step * static_cast<double>(j - first + 1)),
                             s.PriceY(f, dynamic[j].price)});
    }
    canvas.SelectPen(style.dynamicLine);
    if (board.size() > 1) canvas.Polyline(board);
}

void PaintTimeLabels(Canvas& canvas, const ChartFrame& f, const ChartContent& c, const ChartStyle& style) {
    canvas.SelectFont(kLabelFont);
    canvas.SetTextColour(style.text);
    const int y = f.bottom + 2;
    if (c.days <= 1) {
        canvas.SetTextAlign({HAlign::Left, VAlign::Top});
        canvas.TextOut(f.plotLeft, y, "9:00");
        canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
        canvas.TextOut((f.plotLeft + f.plotRight) / 2, y, "13:30");
        canvas.SetTextAlign({HAlign::Right, VAlign::Top});
        canvas.TextOut(f.plotRight, y, "15:30");
        return;
    }
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    const std::vector<int>& dates = c.series->dayDates;
    for (std::size_t d = dates.size(); d-- > 0;)
        canvas.TextOut(f.SlotX(static_cast<int>(d) * c.series->slotsPerDay) + 2, y, MonthDayText(dates[d]));
}

}  // namespace

ChartStyle ChartStyleOf(const CQeltCFG& settings, const DisplayScheme& scheme) {
    ChartStyle style;
    style.frame = settings.Pens()[2];
    style.grid = settings.Pens()[0];
    style.line = scheme.linePen;
    style.dynamicLine = Pen::Solid(1, scheme.line[1]);
    style.text = scheme.line[0];
    style.background = scheme.background;
    style.title = settings.Fonts()[3];
    return style;
}

DynamicBoardPlacement PlaceDynamicBoard(const IntradaySeries& series,
                                        const std::vector<DynamicPoint>& dynamic) {
    DynamicBoardPlacement placement;
    placement.dynamic = &dynamic;
    // Trades of one date and section follow each other: index the runs once.
    std::unordered_map<std::int64_t, std::pair<std::size_t, std::size_t>> runs;
    auto keyOf = [](int date, int section) { return static_cast<std::int64_t>(date) * 1000003 + section; };
    for (std::size_t i = 0; i < dynamic.size();) {
        std::size_t end = i + 1;
        while (end < dynamic.size() && dynamic[end].date == dynamic[i].date &&
               dynamic[end].section == dynamic[i].section)
            ++end;
        runs.emplace(keyOf(dynamic[i].date, dynamic[i].section), std::make_pair(i, end));
        i = end;
    }
    placement.ranges.reserve(series.records.size());
    for (const TradePoint& r : series.records) {
        const auto found = runs.find(keyOf(r.date, r.section));
        placement.ranges.push_back(found == runs.end() ? std::make_pair(std::size_t{0}, std::size_t{0})
                                                       : found->second);
    }
    return placement;
}

void PaintIntradayChart(Canvas& canvas, const ChartFrame& f, const ChartScale& s, const ChartContent& c,
                        const ChartStyle& style) {
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SelectFont(style.title);
    canvas.SetTextColour(style.text);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.TextOut(f.plotLeft, f.area.top + 5, c.title);

    canvas.SelectFont(kLabelFont);
    PaintPriceGrid(canvas, f, s, style);
    if (!s.empty) PaintVolumeGrid(canvas, f, s, style);
    PaintDayLines(canvas, f, c.days, c.series->slotsPerDay, style);
    PaintFrame(canvas, f, style);
    if (s.empty) {
        canvas.SelectFont(style.title);
        canvas.SetTextColour(style.text);
        canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
        canvas.TextOut((f.plotLeft + f.plotRight) / 2, f.middle - style.title.height / 2, kNoTrades);
        canvas.SelectFont(kLabelFont);
    }

    // The price line and the bars stay inside the plot whatever the data.
    canvas.SetClip({f.plotLeft, f.priceTop, f.plotRight + 1, f.bottom + 1});
    PaintVolumeBars(canvas, f, s, c, style);
    PaintPriceLine(canvas, f, s, c, style);
    canvas.ClearClip();

    if (c.timeLabels) PaintTimeLabels(canvas, f, c, style);
}

void PaintChartCursor(Canvas& canvas, const ChartFrame& f, Point at, const ChartStyle& style) {
    canvas.SelectPen(style.line);
    VLine(canvas, at.x, f.priceTop, f.bottom);
    HLine(canvas, f.plotLeft, f.plotRight, at.y);
}

}  // namespace qelt
