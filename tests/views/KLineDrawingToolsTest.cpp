// The drawing tools as the K-line view drives them, on fake services: commands and their
// states, 清空 with its question, and a reload of the goods during a placement. (The real
// view replays the rest: tests/views/KLineViewDrawingTest.cpp.)
#include <gtest/gtest.h>

#include "common/Commands.h"
#include "support/FakeViewServices.h"
#include "support/SamplePane.h"
#include "views/KLineDrawingTools.h"

namespace qelt {
namespace {

using test::FakeViewHost;
using test::FakeViewServices;

MainPaneGeometry Pane() { return test::SamplePane(); }

KeyInput Control(char letter, bool shift = false) {
    KeyInput key;
    key.control = true;
    key.shift = shift;
    key.letter = letter;
    return key;
}

const CMyLine kSegment{"segment", 6, {{120, 251.0f}, {150, 265.0f}}};

class DrawingToolsTest : public ::testing::Test {
  protected:
    DrawingToolsTest() {
        services.mainList = {test::MakeGoods("0101", "20070325", "251.00", "250.00", 0),
                             test::MakeGoods("0101", "20070425", "251.00", "250.00", 1)};
        services.selection.goods = 0;
        tools.Load(services.CurrentGoods());
        tools.SetGeometry(Pane());
    }
    void PlaceSegment() {
        tools.Command(cmd::kDrawSegment, host);
        tools.MouseDown({123, 328}, host);
        tools.MouseMove({303, 300}, host);
        tools.MouseDown({303, 300}, host);
    }
    FakeViewServices services;
    FakeViewHost host;
    KLineDrawingTools tools{services};
};

TEST_F(DrawingToolsTest, CommandStatesFollowTheToolAndTheLines) {
    EXPECT_FALSE(tools.StateOf(cmd::kDrawDelete)->enabled);
    EXPECT_FALSE(tools.StateOf(cmd::kDrawClear)->enabled);
    EXPECT_FALSE(tools.StateOf(cmd::kDrawUndo)->enabled);
    tools.Command(cmd::kDrawGold, host);
    EXPECT_TRUE(tools.StateOf(cmd::kDrawGold)->checked);
    EXPECT_FALSE(tools.StateOf(cmd::kDrawWave)->checked);
    tools.Command(cmd::kDrawCancel, host);
    EXPECT_FALSE(tools.StateOf(cmd::kDrawGold)->checked);
    PlaceSegment();
    EXPECT_TRUE(tools.StateOf(cmd::kDrawDelete)->enabled) << "the new line is selected";
    EXPECT_TRUE(tools.StateOf(cmd::kDrawClear)->enabled);
    EXPECT_FALSE(tools.StateOf(cmd::kZoomIn)) << "not a drawing command";
    EXPECT_FALSE(tools.Command(cmd::kZoomIn, host));

    tools.Command(cmd::kDrawDelete, host);
    EXPECT_TRUE(services.mainList[0].lines.empty()) << "deleted from the goods, not hidden";
}

TEST_F(DrawingToolsTest, ClearingAsksFirstAndCancelKeepsEveryLine) {
    PlaceSegment();
    tools.Command(cmd::kDrawWave, host);
    tools.MouseDown({100, 200}, host);
    tools.MouseDown({100, 260}, host);
    ASSERT_EQ(services.mainList[0].lines.size(), 2u);
    host.confirmAnswer = false;
    tools.Command(cmd::kDrawClear, host);
    EXPECT_EQ(host.messages, std::vector<std::string>{"确定要清楚所有画线吗？"});
    EXPECT_EQ(tools.Editor().Lines().size(), 2u);
    EXPECT_EQ(services.mainList[0].lines.size(), 2u);
    EXPECT_EQ(services.lineCommits.size(), 2u);
    host.confirmAnswer = true;
    tools.Command(cmd::kDrawClear, host);
    EXPECT_TRUE(services.mainList[0].lines.empty());
    tools.Key(Control('Z'), host);
    EXPECT_EQ(services.mainList[0].lines.size(), 2u) << "a clear is undone as one edit";
}

TEST_F(DrawingToolsTest, AReloadKeepsAPlacementOfTheSameGoodsButNotOfAnother) {
    tools.Command(cmd::kDrawSegment, host);
    tools.MouseDown({123, 328}, host);
    tools.Load(services.CurrentGoods());  // a live update of the goods on show
    EXPECT_TRUE(tools.Editor().Placing());
    EXPECT_TRUE(tools.DoubleClick({303, 300}, host)) << "a quick second click still places the point";
    EXPECT_EQ(services.lineCommits.size(), 1u);

    services.selection.goods = 1;
    tools.Command(cmd::kDrawSegment, host);
    tools.MouseDown({123, 328}, host);
    tools.Load(services.CurrentGoods());
    EXPECT_FALSE(tools.Editor().Placing());
    EXPECT_TRUE(tools.Editor().Lines().empty()) << "the other goods' own lines";
}

}  // namespace
}  // namespace qelt
