// The multi-goods view: binding its four cells, their layout and separator, the standing
// requests sent again every 400th notification, 更换商品 remembered across restarts, and the
// cursor shared by the cells.
#include <gtest/gtest.h>

#include "common/Commands.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "support/TradeRows.h"
#include "views/CQeltMutiView.h"

namespace qelt {
namespace {

constexpr int kMultiToday = 20240110;
constexpr Size kMultiClient{1001, 600};

class MultiGoodsTest : public ::testing::Test {
  protected:
    MultiGoodsTest() {
        services.dir = dir.Path();
        host.client = kMultiClient;
        for (int i = 0; i < 6; ++i) {
            CQeltGoods g = test::MakeGoods("013" + FormatInt(i), "20240625", "15.00", "14.00", i);
            g.trades = {test::Flagged(1, kMultiToday, 90500 + 100 * i, 14 + i, 10),
                        test::Flagged(2, kMultiToday, 95000, 15, 30)};
            services.mainList.push_back(g);
            services.flagged.push_back(g.goods_no);
        }
    }
    CQeltMutiView& Open() {
        view = std::make_unique<CQeltMutiView>(services, [] { return ChinaTime{kMultiToday, 1030}; });
        view->Attach(host);
        view->OnInitialUpdate();
        return *view;
    }
    std::vector<std::string> BoundGoods() {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < kMultiGoodsCells; ++i) out.push_back(view->Cell(i).Bound().goodsNo);
        return out;
    }
    static MouseInput At(Point p) {
        MouseInput m;
        m.button = MouseButton::Left;
        m.at = p;
        return m;
    }

    test::TempDir dir;
    test::FakeViewServices services;
    test::FakeViewHost host;
    std::unique_ptr<CQeltMutiView> view;
};

TEST_F(MultiGoodsTest, TheFirstFourGoodsOrNoneWithThreeGoods) {
    Open();
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>{"0130", "0131", "0132", "0133"}));
    EXPECT_EQ(view->StandingRequests(),
              (std::vector<std::string>{"real::0130:20240625:1:", "real::0131:20240625:1:",
                                        "real::0132:20240625:1:", "real::0133:20240625:1:"}));
    EXPECT_EQ(view->Cell(3).Mode(), CQeltRealView::kChartOnly);
    EXPECT_FALSE(view->Cell(0).Series().Empty());

    services.mainList.resize(3);
    Open();
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>(4, "")));
    EXPECT_EQ(view->StandingRequests(), std::vector<std::string>{});
}

TEST_F(MultiGoodsTest, WithoutChoicesTheDaysMostTradedContracts) {
    // The store lists its three index records first; they are quoted, never traded.
    std::vector<CQeltGoods> list;
    for (const char* index : {"干茧指数", "生丝指数", "综合指数"}) {
        CQeltGoods g = test::MakeGoods("0009", index, "1000.00", "1000.00", 0);
        g.all_num = g.all_num_d = "0";
        list.push_back(g);
    }
    // Sections' and continuous trading's volumes count together; a flagged goods' sections
    // repeat its continuous figure.
    const std::pair<const char*, const char*> volumes[] = {{"10", "5"}, {"0", "0"},  {"300", "20"},
                                                           {"40", "0"}, {"0", "90"}, {"200", "200"}};
    for (std::size_t i = 0; i < services.mainList.size(); ++i) {
        services.mainList[i].all_num = volumes[i].first;
        services.mainList[i].all_num_d = volumes[i].second;
        list.push_back(services.mainList[i]);
    }
    list.back().flagged = true;  // 200 traded, not 400
    // A goods without delivery months trades most, but is no contract.
    list.push_back(test::MakeGoods("0151", " ", "2.38", "2.40", 0));
    list.back().all_num = "5000";
    for (std::size_t i = 0; i < list.size(); ++i) list[i].position = static_cast<int>(i);
    services.mainList = list;
    Open();
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>{"0132", "0135", "0134", "0133"}));

    // Before the market opens nothing has traded: the contracts in the store's order, those
    // not trading at all last, the other goods never while there are contracts enough.
    for (CQeltGoods& g : services.mainList) g.all_num = g.all_num_d = "0";
    services.mainList[3].state = "-1";
    Open();
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>{"0131", "0132", "0133", "0134"}));
}

TEST_F(MultiGoodsTest, EveryFourHundredthTradeNotificationSubscribesAgain) {
    Open();
    for (int i = 0; i < 399; ++i) view->OnNotify(WM_NET_REAL, 0);
    EXPECT_EQ(services.standingRefreshes, 0) << "notifications in between only refresh the charts";
    services.mainList[2].trades.push_back(test::Flagged(3, kMultiToday, 100000, 16, 40));
    view->OnNotify(WM_NET_REAL, 0);
    EXPECT_EQ(services.standingRefreshes, 1);
    EXPECT_EQ(view->Notifications(), 0);
    EXPECT_DOUBLE_EQ(view->Cell(2).Series().records[MinuteSlot(1000)].price, 16) << "every cell rebuilt";
    for (int i = 0; i < 400; ++i) view->OnNotify(WM_NET_REAL, 0);
    EXPECT_EQ(services.standingRefreshes, 2);
}

TEST_F(MultiGoodsTest, CellsFillTheQuartersAroundATwoPixelGapWithTheSeparator) {
    const auto places = CQeltMutiView::CellPlaces(kMultiClient);
    EXPECT_EQ(places[0], (Rect{0, 0, 499, 300}));
    EXPECT_EQ(places[1], (Rect{501, 0, 1001, 300}));
    EXPECT_EQ(places[2], (Rect{0, 300, 499, 600}));
    EXPECT_EQ(places[3], (Rect{501, 300, 1001, 600}));

    Open();
    RecordingCanvas canvas;
    view->Paint(canvas, kMultiClient, DisplayScheme::Screen());
    const std::vector<DrawRecord> lines = canvas.Of(DrawOp::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{500, 0}, {500, 600}})) << "the separator in the gap";
    EXPECT_EQ(lines[0].pen, services.Settings().Pens()[2]);
    const std::vector<DrawRecord> bitmaps = canvas.Of(DrawOp::Bitmap);
    ASSERT_EQ(bitmaps.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(bitmaps[i].rect, places[i]) << i;

    // An empty client lays nothing out; the cells keep their places.
    view->OnSize({0, 0});
    view->OnDoubleClick(At({501 + 60, 100}));
    EXPECT_TRUE(view->Cell(1).CursorOn());
    EXPECT_EQ(view->Cell(1).CursorPoint(), (Point{60, 100})) << "input reaches the cell with its offset";
}

TEST_F(MultiGoodsTest, ChangeGoodsIsRememberedAcrossRestarts) {
    Open();
    host.menuAnswer = cmd::kChangeGoods;
    host.wizardAnswer = 5;
    view->OnContextMenu({700, 100});
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].entries[0].text, "更换商品");
    EXPECT_EQ(host.menus[0].entries[2].text, "天数");
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>{"0130", "0135", "0132", "0133"}));
    EXPECT_EQ(services.standingRefreshes, 1);
    EXPECT_EQ(view->StandingRequests()->at(1), "real::0135:20240625:1:");
    EXPECT_EQ(ReadWholeFile(dir.File("mutiview.ini")).value(),
              "0130|20240625\r\n0135|20240625\r\n0132|20240625\r\n0133|20240625\r\n");

    Open();
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>{"0130", "0135", "0132", "0133"}));

    // A remembered contract the store no longer holds gives its cell back to the default.
    services.mainList.erase(services.mainList.begin() + 5);
    Open();
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>{"0130", "0131", "0132", "0133"}));

    // Typing a goods number in a cell chooses for that cell too.
    host.wizardAnswer = 4;
    view->OnMouseMove(At({100, 400}));
    view->OnKey({ViewKey::Digit, 0});
    EXPECT_EQ(BoundGoods()[2], "0134");
    EXPECT_EQ(ReadMultiGoodsChoices(dir.Path())[2], (GoodsKey{"0134", "20240625"}));
}

TEST_F(MultiGoodsTest, AGoodsWithoutDeliveryMonthStaysChosenAfterARestart) {
    services.mainList[5].due_date = " ";  // as the board lists goods without a delivery month
    Open();
    host.menuAnswer = cmd::kChangeGoods;
    host.wizardAnswer = 5;
    view->OnContextMenu({700, 100});
    ASSERT_EQ(BoundGoods()[1], "0135");
    Open();
    EXPECT_EQ(BoundGoods(), (std::vector<std::string>{"0130", "0135", "0132", "0133"}))
        << "the remembered key still finds its goods";
    EXPECT_EQ(view->Cell(1).Bound().dueDate, " ");
    EXPECT_EQ(ReadMultiGoodsChoices(dir.Path())[1], (GoodsKey{"0135", " "}));
}

TEST_F(MultiGoodsTest, TheCellsShareOneCursorAndOneTip) {
    Open();
    view->OnDoubleClick(At({57, 150}));
    for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(view->Cell(i).CursorOn()) << i;
    view->OnMouseMove(At({50 + 60, 150}));
    const std::optional<std::pair<int, int>> moment = view->Cell(0).CursorMoment();
    ASSERT_TRUE(moment);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(view->Cell(i).CursorMoment(), moment) << "cell " << i;
    EXPECT_EQ(host.overlays.count(10000 + kRecordTipId), 1u) << "the tip of the cell under the pointer";
    EXPECT_EQ(host.overlays.count(20000 + kRecordTipId), 0u);
    EXPECT_EQ(host.overlays[10000 + kRecordTipId].top, 30);

    view->OnMouseMove(At({501 + 100, 300 + 150}));
    EXPECT_EQ(host.overlays.count(10000 + kRecordTipId), 0u);
    EXPECT_EQ(host.overlays[40000 + kRecordTipId],
              (Rect{501, 330, 501 + kRecordTipSize.cx, 330 + kRecordTipSize.cy}));

    view->OnDoubleClick(At({501 + 100, 300 + 150}));
    for (std::size_t i = 0; i < 4; ++i) EXPECT_FALSE(view->Cell(i).CursorOn()) << i;
}

}  // namespace
}  // namespace qelt
