#include <gtest/gtest.h>

#include "common/Files.h"
#include "gfx/BmpWriter.h"
#include "gfx/RecordingCanvas.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(Colours, AreStoredBlueGreenRed) {
    EXPECT_EQ(Rgb(0xFF, 0, 0), 0x0000FFu);
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(RedOf(0x563412), 0x12u);
    EXPECT_EQ(BlueOf(0x563412), 0x56u);
}

TEST(RecordingCanvas, RecordsPrimitivesWithTheStateInEffect) {
    RecordingCanvas canvas(200, 100);
    canvas.SelectPen(Pen{PenStyle::User, 1, 0x0000FF, {1, 5}, true});
    canvas.MoveTo(1, 2);
    canvas.LineTo(10, 2);
    canvas.LineTo(10, 20);
    canvas.SelectFont(Font{"宋体", 16, 700});
    canvas.SetTextColour(0x00FFFF);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Right, VAlign::Baseline});
    canvas.SetClip({0, 0, 50, 50});
    canvas.TextOut(40, 30, "价格");

    auto lines = canvas.Of(DrawOp::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].points[0], (Point{10, 2}));
    EXPECT_EQ(lines[1].points[1], (Point{10, 20}));
    EXPECT_EQ(lines[0].pen.dashes, (std::vector<int>{1, 5}));
    auto texts = canvas.TextsEqual("价格");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].font.height, 16);
    EXPECT_EQ(texts[0].colour, 0x00FFFFu);
    EXPECT_EQ(texts[0].bkMode, BkMode::Transparent);
    EXPECT_EQ(texts[0].align.h, HAlign::Right);
    ASSERT_TRUE(texts[0].clip.has_value());
    EXPECT_EQ(texts[0].clip->right, 50);
}

TEST(RecordingCanvas, FixedTextExtentsByGbkBytes) {
    RecordingCanvas canvas;
    canvas.SelectFont(Font{"宋体", 14, 400});
    EXPECT_EQ(canvas.TextExtent("12.50"), (Size{35, 14}));
    EXPECT_EQ(canvas.TextExtent("价格"), (Size{28, 14})) << "a Chinese character is a full height wide";
}

TEST(RecordingCanvas, ALabelWiderThanItsRoomIsDrawnSmallerOnTheSameLine) {
    RecordingCanvas canvas;
    canvas.SelectFont(Font{"Arial", 14, 400});
    canvas.TextOutWithin(48, 100, "3012.50", 48);   // 49 wide at 14: one pixel too many
    canvas.TextOutWithin(48, 120, "12.50", 48);     // fits as it is
    canvas.TextOutWithin(48, 140, "168333.00", 0);  // no room to speak of: drawn as it is
    const std::vector<DrawRecord> texts = canvas.Of(DrawOp::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].font.height, 13);
    EXPECT_EQ(texts[0].points[0], (Point{48, 100})) << "centred on its line: half of one pixel rounds to 0";
    EXPECT_EQ(texts[1].font.height, 14);
    EXPECT_EQ(texts[2].font.height, 14);
    EXPECT_EQ(canvas.CurrentFont().height, 14) << "the caller's font is back";
    canvas.TextOutWithin(0, 200, "168333.00", 20);  // 63 wide: at 6 pixels it is 27 wide
    EXPECT_EQ(canvas.Of(DrawOp::Text).back().font.height, 6);
    EXPECT_EQ(canvas.Of(DrawOp::Text).back().points[0], (Point{0, 204}));
}

TEST(RecordingCanvas, FontWithinNamesTheFontALabelNeedsAndKeepsTheCurrentOne) {
    RecordingCanvas canvas;
    const Font arial{"Arial", 14, 700};
    canvas.SelectFont(arial);
    EXPECT_EQ(canvas.FontWithin("3012.50", 48).height, 13) << "49 wide at 14";
    EXPECT_EQ(canvas.CurrentFont(), arial) << "asking leaves the current font selected";
    EXPECT_EQ(canvas.TextExtent("3012.50").cx, 49) << "and measures in it";
    EXPECT_EQ(canvas.FontWithin("168333.00", 20).height, 6) << "never below 6 pixels";
    EXPECT_EQ(canvas.CurrentFont(), arial);
    const Font fits = canvas.FontWithin("12.50", 48);
    EXPECT_EQ(fits, arial) << "a label that fits keeps the font, weight and face included";
    EXPECT_EQ(canvas.FontWithin("12.50", 0), arial) << "no room at all: drawn as it is";
    canvas.SelectFont(Font{"Arial", 6, 400});
    EXPECT_EQ(canvas.FontWithin("168333.00", 20).height, 6) << "already the smallest";
}

TEST(RecordingCanvas, MemoryBitmapRecordsOnItsOwn) {
    RecordingCanvas screen(100, 100);
    auto bitmap = screen.CreateBitmap(80, 60);
    bitmap->GetCanvas().FillRect({0, 0, 80, 60}, 0);
    screen.DrawBitmap(*bitmap, 5, 6);
    auto& recorder = static_cast<RecordingBitmap&>(*bitmap).Recorder();
    EXPECT_EQ(recorder.Of(DrawOp::FillRect).size(), 1u);
    auto blits = screen.Of(DrawOp::Bitmap);
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].rect, (Rect{5, 6, 85, 66}));
}

TEST(Region, WindingHitTestWithHalfOpenEdges) {
    Region square({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    EXPECT_TRUE(square.Contains({0, 0}));
    EXPECT_TRUE(square.Contains({9, 9}));
    EXPECT_FALSE(square.Contains({10, 5})) << "the right edge is outside";
    EXPECT_FALSE(square.Contains({5, 10})) << "the bottom edge is outside";
    // A tab-like trapezoid: slanted sides.
    Region tab({{0, 20}, {5, 0}, {45, 0}, {50, 20}});
    EXPECT_TRUE(tab.Contains({25, 10}));
    EXPECT_FALSE(tab.Contains({1, 1}));
    EXPECT_EQ(tab.Bounds(), (Rect{0, 0, 50, 20}));
    // Overlapping loops of one polygon stay filled under the winding rule.
    Region twice({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}});
    EXPECT_TRUE(twice.Contains({5, 5}));
    EXPECT_FALSE(Region({{0, 0}, {1, 1}}).Contains({0, 0}));
}

TEST(Bmp, HeaderAndPaddedBottomUpRows) {
    // 2 x 2 pixels: red, green / blue, white. Rows are 6 bytes padded to 8, bottom row first.
    std::string bytes = EncodeBmp24(2, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF});
    ASSERT_EQ(bytes.size(), 54u + 16u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 70);
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24);
    EXPECT_EQ(bytes.substr(54, 8), std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8));
    EXPECT_EQ(bytes.substr(62, 8), std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8));
    test::TempDir dir;
    EXPECT_TRUE(WriteBmp24(dir.File("k.bmp"), 2, 2, {0, 0, 0, 0}));
    EXPECT_EQ(ReadWholeFile(dir.File("k.bmp"))->size(), 70u);
}

}  // namespace
}  // namespace qelt
