// The drawn lines' journal with the real store, reached as the views reach it (through the
// application context): lines given to their goods by list, written after every edit, undo
// and redo per goods, and records of goods this run does not list kept as they were.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/AppContext.h"
#include "common/Files.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

struct NoLink : SessionLink {
    bool IsOnline() const override { return false; }
    void ShowRequests(std::optional<std::vector<std::string>>, bool) override {}
    void HoldRequests() override {}
    void Send(const std::string&) override {}
};

const CMyLine kSegment{"segment", 6, {{120, 251.0f}, {150, 265.0f}}};
const CMyLine kWave{"wave", 6, {{10, 1.5f}, {12, 2.5f}}};

class LineJournalTest : public ::testing::Test {
  protected:
    LineJournalTest() : cfg(dir.Path()), store(poster, targets), context(cfg, store, link, poster, targets) {
        store.Dispatch("category:0101|生丝|0||0005|合约|0||");
        // Two contracts of goods 0101; the first board reply also builds the contract list.
        store.Dispatch(
            "list:20070325|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|3|1|1|20070101|1|1|1|1|1|1|1||"
            "20070425|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|3|1|1|20070101|1|1|1|1|1|1|1||");
    }
    void Show(const std::string& code, int goods) {
        const auto codes = store.CategoryCodes();
        context.Selection().category =
            static_cast<int>(std::find(codes.begin(), codes.end(), code) - codes.begin());
        context.Selection().goods = goods;
    }
    std::string File() const { return ReadWholeFile(dir.File("myline.txt")).value_or("<none>"); }

    test::TempDir dir;
    test::QueuePoster poster;
    MessageTargets targets;
    CQeltCFG cfg;
    CQeltData store;
    NoLink link;
    AppContext context;
};

TEST_F(LineJournalTest, GoodsReceiveTheirLinesByListAndUnlistedRecordsStay) {
    const std::string file =
        "3|0101|20070425|wave,6,10,1.50,12,2.50||12|0101|20070325|segment,6,120,251.00,150,265.00||"
        "1|0707|20070325|segment,6,1,1.00,2,2.00||12|0101|20070325|wave,6,10,1.50,12,2.50";
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), file));
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Read);
    context.Lines().ApplyTo(store);
    EXPECT_EQ(store.MainList()[0].lines, (std::vector<CMyLine>{kSegment, kWave}))
        << "both records of the goods";
    EXPECT_TRUE(store.MainList()[1].lines.empty()) << "its record is for the contract list";
    EXPECT_EQ(store.Copy(GoodsList::Contract)[1].lines, std::vector<CMyLine>{kWave});
    ASSERT_TRUE(context.Lines().Save());
    EXPECT_EQ(File(), file) << "an exit without edits writes the file back as it came";

    Show("0101", 0);
    context.CommitLines({kSegment, kWave}, {kWave});
    EXPECT_EQ(File(),
              "3|0101|20070425|wave,6,10,1.50,12,2.50||12|0101|20070325|wave,6,10,1.50,12,2.50||"
              "1|0707|20070325|segment,6,1,1.00,2,2.00")
        << "the goods 0707 this server does not list keeps its record";
}

TEST_F(LineJournalTest, EveryEditIsWrittenAtOnceAndUndoneGoodsByGoods) {
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Missing);
    Show("0101", 0);
    EXPECT_FALSE(context.CanStepLines(false));
    context.CommitLines({}, {kSegment});
    EXPECT_EQ(File(), "12|0101|20070325|segment,6,120,251.00,150,265.00")
        << "written before anything else happens";
    EXPECT_EQ(context.CurrentGoods().lines, std::vector<CMyLine>{kSegment});

    Show("0005", 1);  // the second contract, in the contract list
    EXPECT_FALSE(context.CanStepLines(false)) << "another goods has a history of its own";
    context.CommitLines({}, {kWave});
    Show("0101", 0);
    ASSERT_TRUE(context.CanStepLines(false));
    EXPECT_EQ(context.StepLines(false), std::vector<CMyLine>{});
    EXPECT_TRUE(store.MainList()[0].lines.empty());
    EXPECT_EQ(File(), "3|0101|20070425|wave,6,10,1.50,12,2.50")
        << "the undone line is gone from the file too";
    EXPECT_FALSE(context.StepLines(false)) << "nothing older";
    EXPECT_EQ(context.StepLines(true), std::vector<CMyLine>{kSegment});
    EXPECT_FALSE(context.CanStepLines(true));
    EXPECT_EQ(File(),
              "3|0101|20070425|wave,6,10,1.50,12,2.50||12|0101|20070325|segment,6,120,251.00,150,265.00");

    context.StepLines(false);
    context.CommitLines({}, {kWave});
    EXPECT_FALSE(context.CanStepLines(true)) << "a new edit drops what could be redone";
}

TEST_F(LineJournalTest, NothingIsWrittenBeforeTheFileWasRead) {
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), "12|0101|20070325|gold,6,1,1.00,2,2.00"));
    EXPECT_FALSE(context.Lines().Save()) << "a run that ended during start-up";
    Show("0101", 0);
    context.CommitLines({}, {kSegment});
    EXPECT_EQ(File(), "12|0101|20070325|gold,6,1,1.00,2,2.00");
}

}  // namespace
}  // namespace qelt
