// The application context with a fake view, a fake frame and a fake connection: view
// switching and its order, command routing, standing requests and the function keys.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "data/history/HistoryDatabase.h"
#include "support/FailingDisk.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

using Log = std::vector<std::string>;
constexpr int kViewCommand = 40001;

class FakeView : public View {
  public:
    FakeView(Log& log, std::string name, std::optional<std::vector<std::string>> standing, int argument)
        : m_log(log), m_name(std::move(name)), m_standing(std::move(standing)), m_argument(argument) {
        m_log.push_back("create " + m_name);
    }
    ~FakeView() override { m_log.push_back("destroy " + m_name); }
    void OnInitialUpdate() override {
        m_log.push_back("update " + m_name + " argument " + std::to_string(m_argument));
    }
    void Paint(Canvas&, Size, const DisplayScheme&) override {}
    std::optional<CommandState> StateOf(int command) const override {
        if (command == kViewCommand || command == cmd::kZoomIn) return CommandState{true, true};
        return std::nullopt;
    }
    bool OnCommand(int command) override {
        m_log.push_back(m_name + " runs " + std::to_string(command));
        return true;
    }
    std::optional<std::vector<std::string>> StandingRequests() const override { return m_standing; }

  private:
    Log& m_log;
    std::string m_name;
    std::optional<std::vector<std::string>> m_standing;
    int m_argument;
};

struct FakeFrame : ViewFrame {
    explicit FakeFrame(Log& log) : log(log) {}
    WindowId ShowView(int kind, View&) override {
        log.push_back("show " + std::to_string(kind));
        return static_cast<WindowId>(100 + kind);
    }
    void RemoveView() override { log.push_back("remove"); }
    void ViewReady() override { log.push_back("ready"); }
    void ViewKindsChanged() override { ++kindChanges; }
    void ShowStatus(const std::string& text) override { status = text; }
    Log& log;
    int kindChanges = 0;
    std::string status;
};

/// The session as the context sees it: what the view on show asks to be polled.
struct FakeLink : SessionLink {
    explicit FakeLink(Log& log) : log(log) {}
    bool IsOnline() const override { return true; }
    void ShowRequests(std::optional<std::vector<std::string>> requests, bool alarms) override {
        log.push_back("poll");
        standing = std::move(requests);
        withAlarms = alarms;
    }
    void HoldRequests() override { log.push_back("stop polling"); }
    void Send(const std::string& request) override { sent.push_back(request); }
    Log& log;
    std::optional<std::vector<std::string>> standing{{"untouched"}};
    bool withAlarms = false;
    std::vector<std::string> sent;
};

/// A kind of this test's fake views.
ViewKind FakeKind(int id, int command, Log& log, std::string name,
                  std::optional<std::vector<std::string>> standing, bool keepsAlarms = true) {
    ViewKind kind;
    kind.id = id;
    kind.name = name;
    kind.command = command;
    kind.menuText = name;
    kind.keepsAlarmPolling = keepsAlarms;
    kind.factory = [&log, name, standing](ViewServices&, int argument) {
        return std::make_unique<FakeView>(log, name, standing, argument);
    };
    return kind;
}

class AppContextTest : public ::testing::Test {
  protected:
    AppContextTest()
        : cfg(dir.Path()),
          store(poster, targets),
          frame(log),
          link(log),
          context(cfg, store, link, poster, targets) {
        context.RegisterView(FakeKind(kViewQuoteList, cmd::kQuoteList, log, "board", {{"list:"}}));
        context.RegisterView(FakeKind(kViewKLine, cmd::kKLine, log, "chart", {{"list:", "real::0101:1:1:"}}));
        context.RegisterView(FakeKind(kViewWeb, cmd::kWeb, log, "web", std::nullopt));
        context.SetFrame(&frame);
    }
    test::TempDir dir;
    test::QueuePoster poster;
    MessageTargets targets;
    CQeltCFG cfg;
    CQeltData store;
    Log log;
    FakeFrame frame;
    FakeLink link;
    AppContext context;
};

TEST_F(AppContextTest, TheOldViewGoesBeforeTheNewOneStartsPolling) {
    context.SwitchView(kViewQuoteList);
    log.clear();
    context.SwitchView(kViewKLine);
    EXPECT_EQ(log, (Log{"stop polling", "remove", "destroy board", "create chart", "show 2",
                        "update chart argument 1", "ready", "poll"}));
    EXPECT_EQ(link.standing, (std::vector<std::string>{"list:", "real::0101:1:1:"}));
    EXPECT_TRUE(link.withAlarms);
    EXPECT_EQ(targets.notification.load(), 102u) << "the store's notifications go to the new view's window";
    EXPECT_EQ(context.ActiveKind(), kViewKLine);
}

TEST_F(AppContextTest, TheMinuteHistoryAsksOnTheConnectionSaysItsProgressAndStopsWithItsChart) {
    HistoryDatabase db = HistoryDatabase::InMemory();
    context.SetMinuteArchive(&db);
    context.SwitchView(kViewKLine);
    const GoodsKey contract{"0131", "20260624"};
    context.MinuteHistory().Want(contract, "0131", {20260304, 20260303});
    EXPECT_EQ(link.sent, (std::vector<std::string>{"real:0131-20260304:0131:20260624:8:"}));
    EXPECT_EQ(frame.status, "下载分钟线 1/2 天");
    store.Dispatch("hisreal:013120260624:0131-20260304:");  // a day without trades
    EXPECT_TRUE(context.MinuteHistory().TakeReply());
    EXPECT_EQ(link.sent.size(), 2u);
    context.SwitchView(kViewQuoteList);  // the chart goes: nothing more is asked
    store.Dispatch("hisreal:013120260624:0131-20260303:");
    EXPECT_TRUE(context.MinuteHistory().TakeReply()) << "the day on its way is still kept";
    EXPECT_EQ(link.sent.size(), 2u);
    EXPECT_EQ(db.KeptDays(contract), (std::vector<std::int64_t>{20260303, 20260304}));
}

TEST_F(AppContextTest, KindsThatAreMissingOrHaveNoRequests) {
    context.SwitchView(kViewQuoteList);
    log.clear();
    context.SwitchView(kViewIntraday);  // not registered: the board stays as it is
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(context.ActiveKind(), kViewQuoteList);
    EXPECT_FALSE(context.StateOfCommand(cmd::kIntraday).enabled) << "its menu command is greyed";
    EXPECT_TRUE(context.StateOfCommand(cmd::kKLine).enabled);

    context.SwitchView(kViewWeb);  // no standing requests of its own: the alarm queries alone
    EXPECT_FALSE(link.standing.has_value());
    EXPECT_TRUE(link.withAlarms);

    log.clear();
    context.SwitchView(77);  // a kind the table does not know: the view on show stays
    context.OnSwitchViewMessage(7, 1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(context.ActiveKind(), kViewWeb);
}

TEST_F(AppContextTest, CommandsGoToTheViewFirstThenTheApplication) {
    int appRuns = 0;
    bool noticeEnabled = false;
    context.RegisterCommand(cmd::kZoomIn, {[&] { ++appRuns; }, {}});
    context.RegisterCommand(cmd::kNotice, {[&] { ++appRuns; },
                                           [&] {
                                               return CommandState{noticeEnabled, false};
                                           }});
    EXPECT_FALSE(context.RunCommand(cmd::kNotice)) << "a disabled command does nothing, however it arrives";
    EXPECT_EQ(appRuns, 0);
    noticeEnabled = true;
    EXPECT_TRUE(context.RunCommand(cmd::kNotice));
    EXPECT_EQ(appRuns, 1);
    noticeEnabled = false;
    appRuns = 0;
    EXPECT_FALSE(context.StateOfCommand(kViewCommand).enabled) << "nobody handles it yet";
    context.SwitchView(kViewKLine);
    log.clear();
    EXPECT_EQ(context.StateOfCommand(kViewCommand), (CommandState{true, true}));
    EXPECT_TRUE(context.RunCommand(cmd::kZoomIn));
    EXPECT_EQ(log, (Log{"chart runs " + std::to_string(cmd::kZoomIn)}));
    EXPECT_EQ(appRuns, 0) << "the view on show answered first";
    EXPECT_FALSE(context.StateOfCommand(cmd::kNotice).enabled);
    EXPECT_FALSE(context.RunCommand(12345));
    context.RunCommand(cmd::kQuoteList);
    EXPECT_EQ(context.ActiveKind(), kViewQuoteList);
}

TEST_F(AppContextTest, SwitchMessagesCarryTheirArgumentToTheNewView) {
    context.OnSwitchViewMessage(kViewKLine, 2);
    EXPECT_NE(std::find(log.begin(), log.end(), "update chart argument 2"), log.end());
    context.RunCommand(cmd::kQuoteList);
    EXPECT_NE(std::find(log.begin(), log.end(), "update board argument 1"), log.end())
        << "a switch without an argument makes the view with 1";
    log.clear();
    context.OnSwitchViewMessage(0, 5);  // no kind: nothing switches
    EXPECT_TRUE(log.empty());
}

/// A kind of its own, registered at run time: its command switches to it, its requests go
/// to the session with its alarm choice, and the frame hears of the new table.
TEST_F(AppContextTest, AnEighthKindIsOneRegistration) {
    const int kinds = frame.kindChanges;
    context.RegisterView(FakeKind(8, 40008, log, "eighth", {{"real::0101:1:1:"}}, false));
    EXPECT_EQ(frame.kindChanges, kinds + 1);
    ASSERT_EQ(context.ViewKinds().size(), 4u);
    EXPECT_EQ(context.ViewKinds().back().name, "eighth");
    EXPECT_TRUE(context.StateOfCommand(40008).enabled);
    EXPECT_TRUE(context.RunCommand(40008));
    EXPECT_EQ(context.ActiveKind(), 8);
    EXPECT_EQ(link.standing, (std::vector<std::string>{"real::0101:1:1:"}));
    EXPECT_FALSE(link.withAlarms) << "this kind keeps no alarm polling";
    context.OnSwitchViewMessage(8, 3);
    EXPECT_EQ(log.back(), "poll");
    EXPECT_NE(std::find(log.begin(), log.end(), "update eighth argument 3"), log.end());

    // Registered again under another command: the old command goes with the old entry.
    context.RegisterView(FakeKind(8, 40009, log, "eighth", std::nullopt));
    EXPECT_EQ(context.ViewKinds().size(), 4u);
    EXPECT_FALSE(context.StateOfCommand(40008).enabled);
    EXPECT_TRUE(context.StateOfCommand(40009).enabled);
}

TEST_F(AppContextTest, FunctionKeysAndJumps) {
    context.Selection().selfSelectedCategory = "0005";
    context.Selection().spareText = "x";
    context.OnFunctionKey(4);
    EXPECT_EQ(context.Selection().goods, 1);
    EXPECT_EQ(context.Selection().selfSelectedCategory, "0001");
    EXPECT_EQ(context.Selection().spareText, "");
    ASSERT_EQ(poster.Count(WM_SWITCH_VIEW), 1u);
    EXPECT_EQ(poster.All().back().wParam, kViewKLine);

    poster.Clear();
    context.OnFunctionKey(5);  // no view yet: nothing
    EXPECT_EQ(poster.Count(WM_SWITCH_VIEW), 0u);
    context.SwitchView(kViewKLine);
    context.OnFunctionKey(5);
    EXPECT_EQ(poster.All().back().wParam, kViewIntraday);
    context.OnFunctionKey(1);
    EXPECT_EQ(poster.All().back().wParam, kViewTradeList);
}

TEST_F(AppContextTest, HistoryGoesBackToThePreviousGoods) {
    context.Selection().category = 3;
    context.Selection().goods = 10;
    context.PushHistory();
    context.PushHistory();  // the same goods again: one entry
    context.Selection().category = 4;
    context.Selection().goods = 12;
    context.PushHistory();
    ASSERT_TRUE(context.GoBack());
    EXPECT_EQ(context.Selection().goods, 10);
    EXPECT_EQ(context.Selection().category, 3);
    EXPECT_FALSE(context.GoBack()) << "one entry left: nowhere to go";
}

TEST_F(AppContextTest, F6OnTheSelfSelectedListRemovesTheEntryWhicheverCategoryItCameFrom) {
    store.Dispatch("category:0101|生丝|0||");
    store.Dispatch("list:20070325|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|3|1|1|20070101|1|1|1|1|1|1|1||");
    cfg.AddSelfSelected({"0101", "20070325"}, "0005");  // added from the contract list
    const auto codes = store.CategoryCodes();
    context.Selection().category =
        static_cast<int>(std::find(codes.begin(), codes.end(), "0000") - codes.begin());
    context.Selection().goods = 0;
    context.OnFunctionKey(6);
    EXPECT_TRUE(cfg.ReadSelfSelected().empty());
    EXPECT_EQ(frame.status, "已从自选删除：生丝-070325") << "the status bar says what was done";

    context.Selection().category =
        static_cast<int>(std::find(codes.begin(), codes.end(), "0101") - codes.begin());
    context.OnFunctionKey(6);
    EXPECT_EQ(cfg.ReadSelfSelected().size(), 1u);
    EXPECT_EQ(frame.status, "已添加到自选：生丝-070325");
}

TEST_F(AppContextTest, F6SaysSoWhenMyListCannotBeSavedAndTheListHoldsForTheRun) {
    store.Dispatch("category:0101|生丝|0||");
    store.Dispatch("list:20070325|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|3|1|1|20070101|1|1|1|1|1|1|1||");
    ASSERT_TRUE(WriteFileAtomic(dir.File("mylist.ini"), "0112|20070625|0001||"));
    CQeltCFG settings(dir.Path());
    std::vector<std::string> told;
    settings.Reports().SetSink(
        [&told](const std::string& text, const std::string&) { told.push_back(text); });
    AppContext app(settings, store, link, poster, targets);
    app.SetFrame(&frame);
    store.SetSelfSelectedSource(&settings);
    const auto codes = store.CategoryCodes();
    const auto indexOf = [&codes](const std::string& code) {
        return static_cast<int>(std::find(codes.begin(), codes.end(), code) - codes.begin());
    };
    app.Selection().category = indexOf("0101");
    app.Selection().goods = 0;
    {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 4);
        app.OnFunctionKey(6);
    }
    EXPECT_EQ(frame.status, "已添加到自选，但未能保存：生丝-070325")
        << "never said to be done when it was not";
    EXPECT_EQ(told, std::vector<std::string>{"无法保存自选！"});
    EXPECT_EQ(ReadWholeFile(dir.File("mylist.ini")).value(), "0112|20070625|0001||");
    ASSERT_EQ(app.GoodsOfCategory(indexOf("0000")).size(), 1u) << "the board's 自选 shows it for the run";

    app.Selection().category = indexOf("0000");
    {
        test::FailingDisk disk(test::FailingDisk::Fault::RenameFails);
        app.OnFunctionKey(6);
    }
    EXPECT_EQ(frame.status, "已从自选删除，但未能保存：生丝-070325");
    EXPECT_TRUE(app.GoodsOfCategory(indexOf("0000")).empty());
    EXPECT_EQ(told.size(), 1u) << "one message for the file this run";
    store.SetSelfSelectedSource(nullptr);
}

TEST_F(AppContextTest, F6NeverWritesOverAMyListThatCouldNotBeRead) {
    store.Dispatch("category:0101|生丝|0||");
    store.Dispatch("list:20070325|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|3|1|1|20070101|1|1|1|1|1|1|1||");
    const std::string users = "0112|20070625|0001||0121|20070725|0005||";
    ASSERT_TRUE(WriteFileAtomic(dir.File("mylist.ini"), users));
    std::optional<CQeltCFG> settings;
    {
        test::FailingDisk disk(test::FailingDisk::Fault::ReadFails);
        settings.emplace(dir.Path());
    }
    AppContext app(*settings, store, link, poster, targets);
    app.SetFrame(&frame);
    const auto codes = store.CategoryCodes();
    app.Selection().category =
        static_cast<int>(std::find(codes.begin(), codes.end(), "0101") - codes.begin());
    app.Selection().goods = 0;
    app.OnFunctionKey(6);
    EXPECT_EQ(ReadWholeFile(dir.File("mylist.ini")).value(), users) << "not rewritten with one entry";
    EXPECT_EQ(frame.status, "已添加到自选，但未能保存：生丝-070325");
    EXPECT_EQ(settings->ReadSelfSelected().size(), 1u) << "the run has the entry it added";
}

/// A trade record of 20 fields with identity `id`.
std::string TradeText(const std::string& id) {
    return "0|10.00|9.00|5|20240110|1|1|" + id + "|100|200|1|090000|10.00|5|9.90|1|10.10|1|9.50|0";
}

TEST_F(AppContextTest, AContractsTradesComeFromItsMainRecordAPieceAtATime) {
    store.Dispatch("category:0101|生丝|0||");
    // State 1: the contract is mirrored in the delivery-month list, whose entry holds no trades.
    store.Dispatch("list:20070325|1|1|1|1|1|1|1|1|0101|1|10|1|1|1|10|1|1|1|20070101|1|1|1|1|1|1|1||");
    store.Dispatch("real:010120070325::" + TradeText("a") + "||" + TradeText("b") + "||");

    TradeUpdate update = context.TradesAfter({"0101", "20070325"}, 0, "");
    EXPECT_TRUE(update.found);
    EXPECT_TRUE(update.restart);
    ASSERT_EQ(update.rows.size(), 2u);

    store.Dispatch("real:010120070325::" + TradeText("c") + "||");
    update = context.TradesAfter({"0101", "20070325"}, 2, "b");
    EXPECT_FALSE(update.restart);
    ASSERT_EQ(update.rows.size(), 1u) << "only what the view lacks";
    EXPECT_EQ(IdentityOf(update.rows[0]), "c");

    update = context.TradesAfter({"0101", "20070325"}, 2, "x");
    EXPECT_TRUE(update.restart) << "the held rows are no longer the store's first ones";
    EXPECT_EQ(update.rows.size(), 3u);
    update = context.TradesAfter({"0101", "20070325"}, 9, "c");
    EXPECT_TRUE(update.restart) << "the view holds more than the store";
    EXPECT_FALSE(context.TradesAfter({"0101", "20070425"}, 0, "").found);

    const std::optional<CQeltGoods> quote = context.GoodsQuote({"0101", "20070325"});
    ASSERT_TRUE(quote);
    EXPECT_EQ(quote->price, "10.00");
    EXPECT_EQ(quote->name, "生丝-070325");
    EXPECT_TRUE(quote->trades.empty()) << "the quote without the trades";
    EXPECT_FALSE(context.GoodsQuote({"0101", ""}).has_value());

    store.Dispatch("real:010120070325:0101-20070301:" + TradeText("p") + "||");
    ASSERT_EQ(context.TradeList().size(), 1u);
    EXPECT_EQ(IdentityOf(context.TradeList()[0]), "p");
}

}  // namespace
}  // namespace qelt
