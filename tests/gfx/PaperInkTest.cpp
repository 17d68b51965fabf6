// The inks of a printout: the contrast rule, the darker colour of the same hue for a colour
// that would show too faintly on white, and the canvas that applies it to every drawing
// primitive (and to the bitmaps a view paints parts of itself into).
#include <gtest/gtest.h>

#include "gfx/PaperCanvas.h"
#include "gfx/PaperInk.h"
#include "gfx/RecordingCanvas.h"

namespace qelt {
namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);

TEST(PaperInk, LuminanceAndContrastFollowTheWcagFormulas) {
    EXPECT_DOUBLE_EQ(RelativeLuminance(Rgb(0, 0, 0)), 0.0);
    EXPECT_DOUBLE_EQ(RelativeLuminance(kWhite), 1.0);
    EXPECT_NEAR(ContrastRatio(Rgb(0, 0, 0), kWhite), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(kWhite, Rgb(0, 0, 0)), 21.0, 1e-9) << "either order";
    // Published figures: pure red 4.00, grey 119 4.48, green (0,128,0) 5.14 against white.
    EXPECT_NEAR(ContrastRatio(Rgb(255, 0, 0), kWhite), 4.00, 0.005);
    EXPECT_NEAR(ContrastRatio(Rgb(119, 119, 119), kWhite), 4.48, 0.005);
    EXPECT_NEAR(ContrastRatio(Rgb(0, 128, 0), kWhite), 5.14, 0.005);
    // Green weighs most, blue least: a channel swap is a fault the weights catch.
    EXPECT_GT(RelativeLuminance(Rgb(0, 200, 0)), RelativeLuminance(Rgb(200, 0, 0)));
    EXPECT_GT(RelativeLuminance(Rgb(200, 0, 0)), RelativeLuminance(Rgb(0, 0, 200)));
}

TEST(PaperInk, FaintColoursDarkenInTheirOwnHueJustEnoughAndTheOthersStay) {
    // The screen's yellow, its light cyan average, pale labels, the print scheme's olive and
    // grey (a hair under 3:1), near-white.
    for (Colour faint : {Rgb(255, 255, 0), Rgb(100, 255, 255), Rgb(192, 192, 192), Rgb(155, 155, 0),
                         Rgb(150, 150, 150), Rgb(84, 255, 255), Rgb(254, 254, 254), Rgb(252, 252, 84)}) {
        ASSERT_LT(ContrastRatio(faint, kWhite), kPaperContrast);
        const Colour ink = InkOnPaper(faint);
        EXPECT_GE(ContrastRatio(ink, kWhite), kPaperContrast) << std::hex << faint;
        // The same hue: every channel scaled by one factor (within rounding).
        const double scale = static_cast<double>(std::max({RedOf(ink), GreenOf(ink), BlueOf(ink)})) /
                             std::max({RedOf(faint), GreenOf(faint), BlueOf(faint)});
        EXPECT_LT(scale, 1.0);
        EXPECT_NEAR(RedOf(ink), RedOf(faint) * scale, 1.0) << std::hex << faint;
        EXPECT_NEAR(GreenOf(ink), GreenOf(faint) * scale, 1.0) << std::hex << faint;
        EXPECT_NEAR(BlueOf(ink), BlueOf(faint) * scale, 1.0) << std::hex << faint;
        // No darker than it needs: one step lighter would not show.
        const Colour lighter = Rgb(std::min(255u, RedOf(ink) + 1), std::min(255u, GreenOf(ink) + 1),
                                   std::min(255u, BlueOf(ink) + 1));
        EXPECT_LT(ContrastRatio(lighter, kWhite), kPaperContrast + 0.1) << std::hex << faint;
    }
    EXPECT_EQ(InkOnPaper(Rgb(255, 255, 0)), Rgb(154, 154, 0)) << "yellow prints olive";
    // Colours that show keep theirs; white is the paper and stays white.
    for (Colour shows : {Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(255, 0, 255), Rgb(0, 0, 255), Rgb(255, 50, 50),
                         Rgb(119, 119, 119), kWhite})
        EXPECT_EQ(InkOnPaper(shows), shows) << std::hex << shows;
}

/// A recording canvas that remembers which bitmap objects were drawn onto it.
class BitmapRecorder : public RecordingCanvas {
  public:
    BitmapRecorder() : RecordingCanvas(300, 200) {}
    void DrawBitmap(const MemoryBitmap& bitmap, int x, int y) override {
        drawn.push_back(&bitmap);
        RecordingCanvas::DrawBitmap(bitmap, x, y);
    }
    std::unique_ptr<MemoryBitmap> CreateBitmap(int width, int height) override {
        auto bitmap = std::make_unique<RecordingBitmap>(width, height);
        made.push_back(bitmap.get());
        return bitmap;
    }
    std::vector<const MemoryBitmap*> drawn;
    std::vector<RecordingBitmap*> made;
};

TEST(PaperCanvas, EveryColourOfEveryPrimitiveReachesThePaperInItsInk) {
    BitmapRecorder paper;
    PaperCanvas canvas(paper);
    const Colour yellow = Rgb(255, 255, 0), cyan = Rgb(100, 255, 255), pale = Rgb(192, 192, 192);
    canvas.FillRect({0, 0, 300, 200}, kWhite);  // the sheet
    canvas.SelectPen(Pen{PenStyle::Dot, 2, yellow, {}, false});
    canvas.SelectBrush(Brush::Solid(cyan));
    canvas.MoveTo(1, 1);
    canvas.LineTo(50, 1);
    canvas.Polyline({{1, 5}, {20, 30}, {40, 5}});
    canvas.Rectangle({10, 10, 40, 40});
    canvas.Ellipse({10, 10, 40, 40});
    canvas.Polygon({{1, 1}, {9, 1}, {5, 9}});
    canvas.FillRect({50, 50, 60, 60}, pale);
    canvas.FillRegion(Region({{60, 60}, {70, 60}, {70, 70}}), yellow);
    canvas.SelectFont(Font{"Arial", 14, 700});
    canvas.SetTextColour(pale);
    canvas.SetBkColour(yellow);
    canvas.SetBkMode(BkMode::Opaque);
    canvas.SetTextAlign({HAlign::Right, VAlign::Baseline});
    canvas.SetClip({0, 0, 100, 100});
    canvas.TextOut(90, 90, "涨跌");

    const std::vector<DrawRecord>& records = paper.Records();
    ASSERT_EQ(records.size(), 9u);
    EXPECT_EQ(records[0].colour, kWhite) << "white is the paper";
    for (std::size_t i : {1u, 2u, 3u, 4u, 5u}) {
        EXPECT_EQ(records[i].pen.colour, InkOnPaper(yellow)) << i;
        EXPECT_EQ(records[i].pen.style, PenStyle::Dot) << "the pen keeps its style";
        EXPECT_EQ(records[i].pen.width, 2);
    }
    EXPECT_EQ(records[1].points, (std::vector<Point>{{1, 1}, {50, 1}}));
    for (std::size_t i : {3u, 4u, 5u}) EXPECT_EQ(records[i].brush.colour, InkOnPaper(cyan)) << i;
    EXPECT_EQ(records[6].colour, InkOnPaper(pale));
    EXPECT_EQ(records[7].colour, InkOnPaper(yellow));
    const DrawRecord& text = records[8];
    EXPECT_EQ(text.text, "涨跌");
    EXPECT_EQ(text.colour, InkOnPaper(pale));
    EXPECT_EQ(text.bkColour, InkOnPaper(yellow));
    EXPECT_EQ(text.bkMode, BkMode::Opaque);
    EXPECT_EQ(text.font, (Font{"Arial", 14, 700}));
    EXPECT_EQ(text.align, (TextAlign{HAlign::Right, VAlign::Baseline}));
    ASSERT_TRUE(text.clip.has_value());
    EXPECT_EQ(*text.clip, (Rect{0, 0, 100, 100}));
    canvas.ClearClip();
    canvas.TextOut(1, 1, "x");
    EXPECT_FALSE(paper.Records().back().clip.has_value()) << "the clip is lifted on the paper too";
    // Measured in the font in effect on the drawing canvas.
    canvas.SelectFont(Font{"宋体", 20, 400});
    EXPECT_EQ(canvas.TextExtent("价格"), (Size{40, 20}));
}

TEST(PaperCanvas, ABitmapPaintedThroughItPrintsInInksAndIsCopiedAsThePapersOwn) {
    BitmapRecorder paper;
    PaperCanvas canvas(paper);
    std::unique_ptr<MemoryBitmap> cell = canvas.CreateBitmap(40, 30);
    ASSERT_EQ(paper.made.size(), 1u);
    EXPECT_EQ(cell->Width(), 40);
    EXPECT_EQ(cell->Height(), 30);
    Canvas& inside = cell->GetCanvas();
    inside.SelectPen(Pen::Solid(1, Rgb(255, 255, 0)));
    inside.MoveTo(0, 0);
    inside.LineTo(10, 10);
    const std::vector<DrawRecord> lines = paper.made[0]->Recorder().Of(DrawOp::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].pen.colour, InkOnPaper(Rgb(255, 255, 0)));
    canvas.DrawBitmap(*cell, 5, 6);
    ASSERT_EQ(paper.drawn.size(), 1u);
    EXPECT_EQ(paper.drawn[0], paper.made[0]) << "the paper's own bitmap, which it knows how to copy";
    EXPECT_EQ(paper.Records().back().rect, (Rect{5, 6, 45, 36}));
}

}  // namespace
}  // namespace qelt
