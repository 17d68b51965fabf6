// The creation and editing rules of the drawn lines, replayed click by click.
#include <gtest/gtest.h>

#include "chart/LineEditor.h"
#include "chart/MyLineDrawing.h"
#include "support/SamplePane.h"

namespace qelt {
namespace {

class LineEditorTest : public ::testing::Test {
  protected:
    MainPaneGeometry g = test::SamplePane();
    LineEditor editor;

    /// Arms `kind` and clicks at each point, moving there first; the last click's result.
    LineEditor::Result Place(std::string_view kind, const std::vector<Point>& clicks) {
        editor.Arm(kind);
        LineEditor::Result last;
        for (const Point& at : clicks) {
            editor.MouseMove(at, g);
            last = editor.MouseDown(at, g);
        }
        return last;
    }
};

TEST_F(LineEditorTest, ASegmentTakesTwoClicksAndComesBackAsOneEdit) {
    editor.Arm(kLineSegment);
    EXPECT_FALSE(editor.MouseDown({123, 328}, g).done);
    EXPECT_FALSE(editor.IsArmed()) << "the tool is put down at the first click";
    EXPECT_TRUE(editor.Placing());
    EXPECT_EQ(editor.ActivePoint(), 1);
    EXPECT_EQ(editor.Selected(), 0);
    ASSERT_EQ(editor.Lines().size(), 1u);
    EXPECT_EQ(editor.Lines()[0].unit, 6);
    EXPECT_EQ(editor.Lines()[0].anchors, (std::vector<CKLinePoint>{{120, 251.0f}, {120, 251.0f}}));

    editor.MouseMove({200, 300}, g);
    EXPECT_EQ(editor.Lines()[0].anchors[1], (CKLinePoint{133, 265.0f}))
        << "the second point follows the pointer";
    const LineEditor::Result done = editor.MouseDown({303, 300}, g);
    ASSERT_TRUE(done.done);
    EXPECT_TRUE(done.done->before.empty());
    EXPECT_EQ(done.done->after, (std::vector<CMyLine>{{"segment", 6, {{120, 251.0f}, {150, 265.0f}}}}));
    EXPECT_FALSE(editor.Placing());
    EXPECT_EQ(editor.Selected(), 0) << "the new line stays selected";
}

TEST_F(LineEditorTest, AParallelTakesThreeClicks) {
    EXPECT_FALSE(Place(kLineParallel, {{63, 230}, {183, 230}}).done);
    EXPECT_EQ(editor.ActivePoint(), 2);
    const LineEditor::Result done = editor.MouseDown({123, 330}, g);
    ASSERT_TRUE(done.done);
    EXPECT_EQ(done.done->after[0].anchors,
              (std::vector<CKLinePoint>{{110, 300.0f}, {130, 300.0f}, {120, 250.0f}}));
}

TEST_F(LineEditorTest, AHandleIsDraggedUntilTheNextClickAndAClickElsewhereDeselects) {
    const std::vector<CMyLine> placed = Place(kLineSegment, {{123, 328}, {303, 300}}).done->after;
    EXPECT_FALSE(editor.MouseDown({304, 301}, g).done) << "within 2 pixels of the second handle";
    EXPECT_TRUE(editor.Placing());
    EXPECT_EQ(editor.ActivePoint(), 1);
    editor.MouseMove({400, 250}, g);
    const LineEditor::Result done = editor.MouseDown({405, 250}, g);
    ASSERT_TRUE(done.done);
    EXPECT_EQ(done.done->before, placed);
    EXPECT_EQ(done.done->after[0].anchors[1], (CKLinePoint{167, 290.0f}));
    EXPECT_EQ(done.done->after[0].anchors[0], placed[0].anchors[0]);

    EXPECT_TRUE(editor.MouseDown({600, 100}, g).repaint);
    EXPECT_EQ(editor.Selected(), -1);
}

TEST_F(LineEditorTest, AClickOnALineMovesItInWholeBarsUntilTheButtonGoesUpAnywhere) {
    Place(kLineSegment, {{123, 328}, {303, 300}});
    editor.MouseDown({600, 100}, g);  // deselect
    editor.MouseDown({213, 314}, g);  // on the segment's middle
    EXPECT_EQ(editor.Selected(), 0);
    EXPECT_TRUE(editor.Moving());
    editor.MouseMove({226, 304}, g);  // 13 pixels right: 2 whole bars; 10 up: 5.00 dearer
    editor.MouseMove({227, 304}, g);  // 14: still two bars
    EXPECT_EQ(editor.Lines()[0].anchors, (std::vector<CKLinePoint>{{122, 256.0f}, {152, 270.0f}}));
    editor.MouseMove({232, 304}, g);  // 19 pixels from the start: the third bar
    EXPECT_EQ(editor.Lines()[0].anchors[0].index, 123);
    // The button goes up outside the pane: the line is put down all the same.
    const LineEditor::Result done = editor.MouseUp();
    ASSERT_TRUE(done.done);
    EXPECT_EQ(done.done->before[0].anchors[0], (CKLinePoint{120, 251.0f}));
    editor.MouseMove({400, 100}, g);
    EXPECT_EQ(editor.Lines()[0].anchors[0].index, 123) << "no longer stuck to the pointer";

    editor.MouseDown({600, 100}, g);
    editor.MouseDown({231, 304}, g);  // on the moved segment
    EXPECT_FALSE(editor.MouseUp().done) << "selected without moving: no edit";
}

TEST_F(LineEditorTest, EscapeTakesBackWhatIsInProgressThenPutsTheToolDown) {
    editor.Arm(kLineGold);
    EXPECT_TRUE(editor.Cancel().repaint);
    EXPECT_FALSE(editor.IsArmed());
    EXPECT_FALSE(editor.Cancel().repaint) << "nothing left to cancel: the view's own Escape";

    const std::vector<CMyLine> placed = Place(kLineSegment, {{123, 328}, {303, 300}}).done->after;
    editor.Arm(kLineRect);
    editor.MouseDown({500, 200}, g);
    EXPECT_EQ(editor.Lines().size(), 2u);
    EXPECT_FALSE(editor.Cancel().done);
    EXPECT_EQ(editor.Lines(), placed) << "the half-placed rectangle goes";
    EXPECT_EQ(editor.Selected(), -1);

    editor.MouseDown({213, 314}, g);
    editor.MouseUp();
    editor.MouseDown({123, 328}, g);  // grab the first handle
    editor.MouseMove({50, 50}, g);
    editor.Cancel();
    EXPECT_EQ(editor.Lines(), placed) << "the dragged point returns";
    EXPECT_EQ(editor.Selected(), 0);
}

TEST_F(LineEditorTest, DeleteRemovesTheSelectedLineAndClearRemovesEverything) {
    Place(kLineSegment, {{123, 328}, {303, 300}});
    const std::vector<CMyLine> both = Place(kLineWave, {{100, 200}, {100, 260}}).done->after;
    ASSERT_EQ(both.size(), 2u);
    const LineEditor::Result deleted = editor.DeleteSelected();
    ASSERT_TRUE(deleted.done);
    EXPECT_EQ(deleted.done->before, both);
    EXPECT_EQ(deleted.done->after, std::vector<CMyLine>{both[0]}) << "the wave is gone, not just hidden";
    EXPECT_FALSE(editor.DeleteSelected().done) << "nothing selected any more";

    editor.Arm(kLineStraight);
    const LineEditor::Result cleared = editor.ClearAll();
    ASSERT_TRUE(cleared.done);
    EXPECT_TRUE(editor.Lines().empty());
    EXPECT_FALSE(editor.IsArmed());
    EXPECT_FALSE(editor.ClearAll().done) << "nothing to clear";
}

TEST_F(LineEditorTest, ArmingAnotherToolMidwayKeepsTheLineAsPlaced) {
    editor.Arm(kLineSegment);
    editor.MouseDown({123, 328}, g);
    editor.MouseMove({303, 300}, g);
    const LineEditor::Result done = editor.Arm(kLineRect);
    ASSERT_TRUE(done.done);
    EXPECT_EQ(done.done->after[0].anchors[1], (CKLinePoint{150, 265.0f}));
    EXPECT_FALSE(editor.Placing());
    EXPECT_TRUE(editor.IsArmed());
}

}  // namespace
}  // namespace qelt
