#pragma once
// A K-line view on fake services over one contract with a day series, in a temporary program
// directory, painted on a recording canvas of 1000 x 600 (quote panel from x 800).
#include <memory>
#include <string>

#include "common/Numbers.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "views/CQeltKLineView.h"

namespace qelt::test {

/// `n` day bars on valid dates (the 1st to the 28th of each month of 2007, then 2008 ...),
/// open 100 + i % 7, alternately closing 2 above and 2 below it, wicks one further out.
inline BarSeries KLineDays(int n, const std::string& due = "200706") {
    BarSeries bars;
    for (int i = 0; i < n; ++i) {
        const int year = 2007 + i / 336, month = i % 336 / 28 + 1, day = i % 28 + 1;
        const std::string date = FormatInt(year * 10000 + month * 100 + day);
        const double open = 100 + i % 7, close = open + (i % 2 ? 2 : -2);
        bars.push_back(CBarRow{date, FormatFixed2(open), FormatFixed2(close),
                               FormatFixed2(std::max(open, close) + 1),
                               FormatFixed2(std::min(open, close) - 1), FormatInt(100 + i),
                               FormatFixed2(open), FormatInt(1000 + 10 * i), FormatInt(2000 + i), due});
    }
    return bars;
}

class KLineFixture {
  public:
    explicit KLineFixture(int bars = 150) {
        services.dir = dir.Path();
        CQeltGoods a = MakeGoods("0101", "20070625", "105.00", "100.00", 0);
        a.series = KLineDays(bars);
        a.seriesWanted = false;
        // The quote is of the newest bar's day, as the store keeps it: loading folds it into
        // that bar instead of starting another.
        if (!a.series.empty()) a.last_date = std::string(a.series.back()[kBarDate]);
        CQeltGoods b = MakeGoods("0101", "20070725", "205.00", "200.00", 1);
        b.series = KLineDays(60, "200707");
        b.seriesWanted = false;
        b.last_date = std::string(b.series.back()[kBarDate]);
        services.mainList = {a, b};
        services.selection.goods = 0;
        services.selection.category = 0;
    }
    void Open() {
        view = std::make_unique<CQeltKLineView>(services);
        view->Attach(host);
        view->OnInitialUpdate();
    }
    RecordingCanvas& Paint() {
        canvas.Clear();
        view->Paint(canvas, client, DisplayScheme::Screen());
        return canvas;
    }
    static MouseInput Mouse(int x, int y, MouseButton button = MouseButton::None) {
        MouseInput m;
        m.at = {x, y};
        m.button = button;
        m.leftHeld = button == MouseButton::Left;
        return m;
    }
    static KeyInput Key(ViewKey key, int digit = -1) {
        KeyInput k;
        k.key = key;
        k.digit = digit;
        return k;
    }

    TempDir dir;
    FakeViewServices services;
    FakeViewHost host;
    std::unique_ptr<CQeltKLineView> view;
    RecordingCanvas canvas{1000, 600};
    Size client{1000, 600};
};

}  // namespace qelt::test
