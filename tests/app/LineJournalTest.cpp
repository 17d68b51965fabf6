// The drawn lines' journal with the real store, reached as the views reach it (through the
// application context): lines given to their goods by list, written after every edit, undo
// and redo per goods, and records of goods this run does not list kept as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "app/AppContext.h"
#include "common/Files.h"
#include "support/FailingDisk.h"
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
        cfg.Reports().SetSink([this](const std::string& text, const std::string&) { shown.push_back(text); });
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
    std::vector<std::string> shown;  ///< the messages the user saw
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

TEST_F(LineJournalTest, LinesOfFiveMinuteBarsAreRecordsOfTheirOwnAndComeBackAfterARestart) {
    // Anchored by minute stamps: 2026-03-02 09:35 and 10:05.
    const CMyLine onMinutes{"segment", 6, {{29540735, 16.2f}, {29540765, 16.4f}}};
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Missing);
    Show("0101", 0);
    context.CommitLines({}, {kSegment});
    context.CommitMinuteLines(5, {}, {onMinutes});
    EXPECT_EQ(File(),
              "12|0101|20070325|segment,6,120,251.00,150,265.00||12@5|0101|20070325|segment,6,29540735,16.20,"
              "29540765,16.40");
    EXPECT_EQ(context.MinuteLines(5), std::vector<CMyLine>{onMinutes});
    EXPECT_TRUE(context.MinuteLines(15).empty()) << "each period has its own lines";
    EXPECT_EQ(context.CurrentGoods().lines, std::vector<CMyLine>{kSegment}) << "the day bars keep theirs";
    // Undo and redo per period.
    EXPECT_TRUE(context.CanStepMinuteLines(5, false));
    EXPECT_FALSE(context.CanStepMinuteLines(15, false));
    EXPECT_EQ(context.StepMinuteLines(5, false), std::vector<CMyLine>{});
    EXPECT_EQ(context.StepMinuteLines(5, true), std::vector<CMyLine>{onMinutes});
    EXPECT_EQ(context.CurrentGoods().lines, std::vector<CMyLine>{kSegment});

    // The next start reads them back; the goods on the board get only their day lines.
    CQeltCFG nextCfg(dir.Path());
    CQeltData nextStore(poster, targets);
    AppContext next(nextCfg, nextStore, link, poster, targets);
    ASSERT_EQ(next.Lines().Load(), MyLineBook::LoadResult::Read);
    nextStore.Dispatch("category:0101|生丝|0||0005|合约|0||");
    nextStore.Dispatch("list:20070325|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|3|1|1|20070101|1|1|1|1|1|1|1||");
    next.Lines().ApplyTo(nextStore);
    next.Selection().category = 0;
    next.Selection().goods = 0;
    EXPECT_EQ(next.MinuteLines(5), std::vector<CMyLine>{onMinutes});
    EXPECT_EQ(next.CurrentGoods().lines, std::vector<CMyLine>{kSegment});
}

TEST_F(LineJournalTest, NothingIsWrittenBeforeTheFileWasRead) {
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), "12|0101|20070325|gold,6,1,1.00,2,2.00"));
    EXPECT_FALSE(context.Lines().Save()) << "a run that ended during start-up";
    Show("0101", 0);
    context.CommitLines({}, {kSegment});
    EXPECT_EQ(File(), "12|0101|20070325|gold,6,1,1.00,2,2.00");
}

TEST_F(LineJournalTest, AFailedSaveIsReportedOnceAndTriedAgainAtEachEdit) {
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Missing);
    Show("0101", 0);
    {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 4);
        context.CommitLines({}, {kSegment});
        context.CommitLines({kSegment}, {kSegment, kWave});
        EXPECT_EQ(context.StepLines(false), std::vector<CMyLine>{kSegment});
    }
    EXPECT_EQ(shown, std::vector<std::string>{"无法保存画线！"})
        << "one message for the run, not one per edit";
    EXPECT_FALSE(FileExists(dir.File("myline.txt"))) << "never half written";
    EXPECT_EQ(context.CurrentGoods().lines, std::vector<CMyLine>{kSegment}) << "the lines stay on the chart";
    context.CommitLines({kSegment}, {kWave});
    EXPECT_EQ(File(), "12|0101|20070325|wave,6,10,1.50,12,2.50") << "the next edit writes again";
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(LineJournalTest, AFileThatCannotBeReadIsReportedAndNeverWrittenOver) {
    // Lines the user drew, then more than the reader takes (4 MB): refused whole.
    std::string content = "12|0101|20070325|segment,6,120,251.00,150,265.00||";
    content += std::string((4u << 20) + 1, 'x');
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), content));
    EXPECT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Unreadable);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("myline.txt"), std::string::npos);
    Show("0101", 0);
    context.CommitLines({}, {kWave});
    EXPECT_EQ(context.CurrentGoods().lines, std::vector<CMyLine>{kWave}) << "drawing goes on in memory";
    EXPECT_FALSE(context.Lines().Save());
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt"), 8u << 20).value(), content);
    EXPECT_EQ(shown.size(), 1u) << "the refused writes are the same fault: no second message";
}

TEST_F(LineJournalTest, AGoodsThatJoinsTheBoardLaterGetsItsLinesAndKeepsThemAtTheFirstEdit) {
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), "12|0101|20070525|segment,6,120,251.00,150,265.00"));
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Read);
    context.Lines().ApplyTo(store);
    // A contract listed for the first time after start-up.
    store.Dispatch("list:20070525|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|1|1|1|20070101|1|1|1|1|1|1|1||");
    const std::vector<CQeltGoods> main = store.MainList();
    ASSERT_EQ(main.size(), 3u);
    EXPECT_EQ(main[2].lines, std::vector<CMyLine>{kSegment}) << "its lines arrive with it";
    const std::vector<CQeltGoods> delivery = store.Copy(GoodsList::Delivery);
    ASSERT_FALSE(delivery.empty());
    EXPECT_TRUE(delivery.back().lines.empty()) << "the delivery-month entry has a record of its own";

    Show("0101", 2);
    const std::vector<CMyLine> before = context.CurrentGoods().lines;
    std::vector<CMyLine> after = before;
    after.push_back(kWave);
    context.CommitLines(before, after);
    EXPECT_EQ(File(), "12|0101|20070525|segment,6,120,251.00,150,265.00;wave,6,10,1.50,12,2.50")
        << "the saved line survives the first edit";
}

TEST_F(LineJournalTest, GoodsArrivingOnTheReceiveThreadWhileLinesAreEditedAndApplied) {
    // Saved lines for a contract the board lists only later; the receive thread brings it
    // among many others while the interface thread edits and applies lines.
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), "12|0101|20090150|segment,6,120,251.00,150,265.00"));
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Read);
    std::thread receive([this] {
        for (int i = 100; i < 200; ++i)
            store.Dispatch("list:20090" + std::to_string(i) +
                           "|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|3|1|1|20070101|1|1|1|"
                           "1|1|1|1||");
    });
    Show("0101", 0);
    for (int i = 0; i < 100; ++i) {
        context.CommitLines({}, i % 2 ? std::vector<CMyLine>{kWave} : std::vector<CMyLine>{kSegment});
        context.Lines().ApplyTo(store);
    }
    receive.join();
    const std::vector<CQeltGoods> main = store.MainList();
    ASSERT_EQ(main.size(), 102u);
    const auto late =
        std::find_if(main.begin(), main.end(), [](const CQeltGoods& g) { return g.due_date == "20090150"; });
    ASSERT_NE(late, main.end());
    EXPECT_EQ(late->lines, std::vector<CMyLine>{kSegment});
    EXPECT_EQ(main[0].lines, std::vector<CMyLine>{kWave}) << "the last edit of the goods on show";
}

/// A disk whose flush of a file takes until the test lets it go: Syncing() says a flush has
/// begun, Release() ends it. A flush nobody releases ends by itself after a long while, so a
/// test that would wait forever fails instead; Forgotten() says that happened.
class SlowDisk : public FileCalls {
  public:
    SlowDisk() : m_previous(SetFileCalls(this)) {}
    ~SlowDisk() override { SetFileCalls(m_previous); }
    int Sync(int fd) override {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            std::unique_lock lock(m_mutex);
            m_syncing = true;
            m_changed.notify_all();
            if (!m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_released; }))
                m_forgotten = true;
        }
        return FileCalls::Sync(fd);
    }
    bool WaitUntilSyncing() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_syncing; });
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    bool Forgotten() const {
        std::lock_guard lock(m_mutex);
        return m_forgotten;
    }

  private:
    FileCalls* m_previous;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_syncing = false;
    bool m_released = false;
    bool m_forgotten = false;
};

TEST_F(LineJournalTest, AGoodsEnteringTheStoreNeverWaitsForASaveToReachTheDisk) {
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), "12|0101|20070525|wave,6,10,1.50,12,2.50"));
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Read);
    SlowDisk disk;
    std::thread edit([this] { context.Lines().Commit({"12", {"0101", "20070325"}}, {}, {kSegment}); });
    ASSERT_TRUE(disk.WaitUntilSyncing());
    // The receive thread brings a contract while the save waits on the disk: it takes the
    // store's lock, and its lines from the book.
    store.Dispatch("list:20070525|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|1|1|1|20070101|1|1|1|1|1|1|1||");
    disk.Release();
    edit.join();
    EXPECT_FALSE(disk.Forgotten()) << "the store's lock waited for the disk";
    const std::vector<CQeltGoods> main = store.MainList();
    ASSERT_EQ(main.size(), 3u);
    EXPECT_EQ(main[2].lines, std::vector<CMyLine>{kWave}) << "it got its lines";
    EXPECT_EQ(File(),
              "12|0101|20070525|wave,6,10,1.50,12,2.50||12|0101|20070325|segment,6,120,251.00,150,265.00");
}

TEST_F(LineJournalTest, LinesPastTheThousandthOfAGoodsSurviveItsEdits) {
    std::string many = "12|0101|20070325|";
    for (int i = 0; i < 1002; ++i)
        many += (i ? ";" : "") + FormatMyLine({"segment", 6, {{i, 1.0f}, {i, 2.0f}}});
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), many));
    ASSERT_EQ(context.Lines().Load(), MyLineBook::LoadResult::Read);
    context.Lines().ApplyTo(store);
    Show("0101", 0);
    const std::vector<CMyLine> shown = context.CurrentGoods().lines;
    ASSERT_EQ(shown.size(), kMaxLinesPerGoods);
    context.CommitLines(shown, {kWave});  // the user clears the chart and draws one line
    EXPECT_EQ(File(),
              "12|0101|20070325|wave,6,10,1.50,12,2.50;segment,6,1000,1.00,1000,2.00;"
              "segment,6,1001,1.00,1001,2.00")
        << "the two lines the chart never showed are still in the file";
    EXPECT_EQ(context.StepLines(false), shown);
    EXPECT_EQ(File(), many) << "undone: the file as it was";
}

}  // namespace
}  // namespace qelt
