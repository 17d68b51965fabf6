// What a view keeps of its own (the board's columns, the K-line layout and price scale, the
// multi-goods contracts) holds for the whole run: a view made after a switch reads it from the
// settings, so a change whose file could not be written is not lost at the next switch, and a
// file that could not be read is never written over.
#include <gtest/gtest.h>

#include <memory>

#include "common/Commands.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "support/FailingDisk.h"
#include "support/FakeViewServices.h"
#include "support/KLineTestSupport.h"
#include "support/TempDir.h"
#include "views/CQeltMutiView.h"
#include "views/QuoteListView.h"

namespace qelt {
namespace {

using Fault = test::FailingDisk::Fault;

/// The messages the settings of `services` show from now on.
std::shared_ptr<std::vector<std::string>> Told(test::FakeViewServices& services) {
    auto told = std::make_shared<std::vector<std::string>>();
    services.MutableSettings().Reports().SetSink(
        [told](const std::string& text, const std::string&) { told->push_back(text); });
    return told;
}

TEST(ViewSettingsForTheRun, TheKLineLayoutAndScaleSurviveASwitchAfterAFailedWrite) {
    test::KLineFixture k;
    k.Open();
    k.Paint();  // the first layout writes winfile.ini
    ASSERT_EQ(ReadWholeFile(k.dir.File("winfile.ini")).value_or("<none>"), "1|21|");
    const auto told = Told(k.services);
    {
        test::FailingDisk disk(Fault::ReadOnlyDirectory);
        ASSERT_TRUE(k.view->OnCommand(cmd::kWindows5));
        ASSERT_TRUE(k.view->OnCommand(cmd::kLogScale));
        k.Open();  // another view came and went: this one is made afresh
    }
    EXPECT_EQ(k.view->WindowCount(), 5) << "the layout the user made is not lost at a switch";
    EXPECT_TRUE(k.view->LogScale());
    EXPECT_EQ(ReadWholeFile(k.dir.File("winfile.ini")).value(), "1|21|");
    EXPECT_EQ(told->size(), 2u) << "one message a file";
}

TEST(ViewSettingsForTheRun, AnUnreadableWinfileIsNeverWrittenOverByTheLayout) {
    test::KLineFixture k;
    ASSERT_TRUE(WriteFileAtomic(k.dir.File("winfile.ini"), "41|3|"));
    const auto told = Told(k.services);
    {
        test::FailingDisk disk(Fault::ReadFails);
        k.Open();
    }
    k.Paint();  // every layout writes the panes
    ASSERT_TRUE(k.view->OnCommand(cmd::kWindows4));
    EXPECT_EQ(k.view->WindowCount(), 4);
    EXPECT_EQ(ReadWholeFile(k.dir.File("winfile.ini")).value(), "41|3|") << "the user's layout stays on disk";
    ASSERT_EQ(told->size(), 1u);
    EXPECT_NE(told->front().find("winfile.ini"), std::string::npos);
}

TEST(ViewSettingsForTheRun, TheBoardsColumnsSurviveASwitchAfterAFailedWrite) {
    test::TempDir dir;
    test::FakeViewServices services;
    services.dir = dir.Path();
    services.goods[0] = {test::MakeGoods("0101", "20070325", "20.00", "19.00", 0)};
    const auto told = Told(services);
    {
        test::FailingDisk disk(Fault::FullDisk, 3);
        QuoteListView board(services);
        board.OnInitialUpdate();
        board.OnSize(1200, 500);
        ASSERT_EQ(board.OnRButtonDown({300, 10}).kind, BoardPopup::Kind::ColumnChooser);  // "价格"
        ASSERT_TRUE(board.OnColumnCommand(32848));                                        // "涨幅"
    }
    QuoteListView next(services);  // the board again after another view
    next.OnInitialUpdate();
    EXPECT_EQ(next.Columns().Slot(3).title, "涨幅");
    EXPECT_FALSE(FileExists(dir.File("head.ini")));
    EXPECT_EQ(*told, std::vector<std::string>{"无法保存列表设置！"});
}

TEST(ViewSettingsForTheRun, TheMultiGoodsChoicesSurviveASwitchAfterAFailedWrite) {
    test::TempDir dir;
    test::FakeViewServices services;
    services.dir = dir.Path();
    for (int i = 0; i < 6; ++i)
        services.mainList.push_back(test::MakeGoods("013" + FormatInt(i), "20240625", "15.00", "14.00", i));
    test::FakeViewHost host;
    host.client = {1001, 600};
    const auto open = [&] {
        auto view = std::make_unique<CQeltMutiView>(services, [] { return ChinaTime{20240110, 1030}; });
        view->Attach(host);
        view->OnInitialUpdate();
        return view;
    };
    const auto told = Told(services);
    std::unique_ptr<CQeltMutiView> view = open();
    {
        test::FailingDisk disk(Fault::RenameFails);
        host.menuAnswer = cmd::kChangeGoods;
        host.wizardAnswer = 5;
        view->OnContextMenu({700, 100});
        ASSERT_EQ(view->Cell(1).Bound().goodsNo, "0135");
    }
    view = open();
    EXPECT_EQ(view->Cell(1).Bound().goodsNo, "0135") << "the user's choice holds after a switch";
    EXPECT_FALSE(FileExists(dir.File("mutiview.ini")));
    EXPECT_EQ(*told, std::vector<std::string>{"无法保存多股同列的商品！"});
}

}  // namespace
}  // namespace qelt
