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
#include "ui/ShapedTexts.h"

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

TEST(ShapedTexts, TextsBlendedFromTheirCoverageOverLinesAndFillsMatchThePainter) {
    App();
    // From the second draw on, a text is blended from its coverage: over stripes of every
    // colour, clipped across its glyphs, partly off the surface, in fonts with and without
    // a fallback face, it stays the painter's.
    for (qreal ratio : {1.0, 2.0, 3.0}) {
        const auto draw = [&](Canvas& c) {
            for (int x = 0; x < kSurface.cx; x += 3)
                c.FillRect({x, 0, x + 2, kSurface.cy}, static_cast<Colour>(0x10305F + x * 0x010307));
            c.SelectPen(Pen::Solid(1, 0x00FF80));
            c.MoveTo(0, 0);
            c.LineTo(kSurface.cx, kSurface.cy);
            c.SetBkMode(BkMode::Transparent);
            int variant = 0;
            for (const std::string& text : kTexts) {
                c.SelectFont({variant % 2 ? "宋体" : "SimSun", 11 + variant, variant % 3 ? 400 : 700});
                c.SetTextColour(static_cast<Colour>(0x2040F0 + variant * 0x305010));
                c.SetTextAlign({HAlign::Left, VAlign::Top});
                const int y = 4 + variant * 15;
                if (variant == 2) c.SetClip({20, y + 3, 60, y + 9});
                c.TextOut(variant == 3 ? -9 : variant == 4 ? 200 : 10 + variant * 7, y, text);
                c.ClearClip();
                ++variant;
            }
        };
        const QImage blended = DrawTimes(ratio, true, 3, draw), painter = DrawTimes(ratio, false, 3, draw);
        EXPECT_EQ(test::FirstDifference(blended, painter), "") << "ratio " << ratio;
    }
}

TEST(ShapedTexts, ATextGetsItsCoverageAtItsSecondDrawAndForItsOwnScale) {
    App();
    ShapedTexts texts;
    QImage image(100, 40, QImage::Format_RGB32);
    QFont face("SimSun");
    face.setPixelSize(12);
    ShapedTexts::Shaped& shaped = texts.Find({"SimSun", 12, 400}, "MA5: 1520.33");
    ShapedTexts::Shape(face, &image, "MA5: 1520.33", shaped);
    const QPainter::RenderHints hints = QPainter::TextAntialiasing;
    // A figure drawn once (a live value) is not worth a mask.
    EXPECT_EQ(texts.Mask(shaped, 2, QImage::Format_RGB32, hints), nullptr);
    const std::shared_ptr<const CoverageMask> mask = texts.Mask(shaped, 2, QImage::Format_RGB32, hints);
    ASSERT_NE(mask, nullptr);
    // The glyphs stand on the baseline, at twice the view's size.
    EXPECT_LT(mask->top, 0);
    EXPECT_GT(mask->top + mask->height, -4);
    EXPECT_GT(mask->width, 2 * 40);
    EXPECT_EQ(texts.Mask(shaped, 2, QImage::Format_RGB32, hints), mask);
    // Another scale starts over. (A glyph alone: at one device pixel per view pixel the edges
    // of neighbouring glyphs may share a pixel, and the painter's blend of the one over the
    // other is not the blend of a mask.)
    ShapedTexts::Shaped& one = texts.Find({"SimSun", 12, 400}, "8");
    ShapedTexts::Shape(face, &image, "8", one);
    EXPECT_NE(texts.Mask(one, 2, QImage::Format_RGB32, hints),
              texts.Mask(one, 2, QImage::Format_RGB32, hints));
    EXPECT_EQ(texts.Mask(one, 1, QImage::Format_RGB32, hints), nullptr);
    EXPECT_NE(texts.Mask(one, 1, QImage::Format_RGB32, hints), nullptr);
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
