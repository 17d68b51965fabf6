// Texts drawn from their kept shapes against the painter's drawText, pixel for pixel: the
// second and later draws of a text take its glyphs from the canvas's store.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "PixelComparison.h"
#include "TestApplication.h"
#include "common/Numbers.h"
#include "ui/QtCanvas.h"

namespace qelt {
namespace {

using test::App;

constexpr Size kSurface{240, 120};

/// `draw` run `times` times on one canvas (direct writes and kept shapes, or painter only).
QImage DrawTimes(qreal ratio, bool direct, int times, const std::function<void(Canvas&)>& draw) {
    return test::DrawOnBitmap(kSurface, ratio, direct, times, 0x202020, draw);
}

/// Texts of the kinds the views draw: figures, Chinese labels, Latin and Chinese mixed (a
/// fallback face for part of the line), an empty text, a line break (drawText's own rules).
const std::vector<std::string> kTexts = {"1234.56", "-0.35%",     "成交量",         "MA5: 1520.33 成交 88",
                                         "",        "日期\n时间", "VOL(5,10) 12345"};

TEST(ShapedTexts, TextsDrawnAgainFromTheirShapesMatchThePainter) {
    App();
    for (qreal ratio : {1.0, 2.0, 3.0})
        for (const int times : {1, 2}) {
            const auto draw = [&](Canvas& c) {
                int y = 2;
                int variant = 0;
                for (const std::string& text : kTexts) {
                    for (const HAlign h : {HAlign::Left, HAlign::Right, HAlign::Centre}) {
                        const bool opaque = variant % 2 == 1;
                        c.SelectFont({variant % 3 == 2 ? "宋体" : "SimSun", 12 + variant % 3,
                                      variant % 4 ? 400 : 700});
                        c.SetTextAlign({h, variant % 5 == 4 ? VAlign::Baseline : VAlign::Top});
                        c.SetTextColour(variant % 2 ? 0x00FFFF : 0xFFFFFF);
                        c.SetBkMode(opaque ? BkMode::Opaque : BkMode::Transparent);
                        c.SetBkColour(0x800000);
                        if (variant % 7 == 3) c.SetClip({30, y, 150, y + 8});  // cuts glyphs across
                        c.TextOut(h == HAlign::Left ? 3 : h == HAlign::Right ? 236 : 120, y, text);
                        c.ClearClip();
                        ++variant;
                    }
                    y += 16;
                }
                // What a width is measured for: a value fitted into a room.
                c.SetTextAlign({HAlign::Left, VAlign::Top});
                c.TextOutWithin(5, 100, "123456.78", 40);
            };
            const QImage kept = DrawTimes(ratio, true, times, draw),
                         painter = DrawTimes(ratio, false, times, draw);
            EXPECT_TRUE(kept == painter) << "ratio " << ratio << ", drawn " << times << " times";
        }
}

TEST(ShapedTexts, ManyMoreTextsThanTheStoreKeepsStillDrawAndMeasureRight) {
    App();
    // Live figures make new texts every second: the store drops a font's texts when full
    // and shapes them again; what shows and what is measured stay those of the painter.
    const auto draw = [](Canvas& c) {
        c.SelectFont({"SimSun", 12, 400});
        c.SetTextColour(0xFFFFFF);
        for (int i = 0; i < 5000; ++i) c.TextOut(i % 200, (i / 200) % 100, FormatInt(i));
        c.SelectFont({"宋体", 14, 400});
        c.TextOut(10, 100, "4999");
    };
    EXPECT_TRUE(DrawTimes(1.0, true, 2, draw) == DrawTimes(1.0, false, 2, draw));

    QtBitmap kept(10, 10), painter(10, 10);
    kept.GetCanvas().SetDirectPixels(true);
    painter.GetCanvas().SetDirectPixels(false);
    for (int i = 0; i < 9000; i += 7) {
        const std::string text = "价" + FormatInt(i * 37);
        for (int twice = 0; twice < 2; ++twice) {
            const Size a = kept.GetCanvas().TextExtent(text), b = painter.GetCanvas().TextExtent(text);
            ASSERT_EQ(a.cx, b.cx) << text;
            ASSERT_EQ(a.cy, b.cy) << text;
        }
    }
}

}  // namespace
}  // namespace qelt
