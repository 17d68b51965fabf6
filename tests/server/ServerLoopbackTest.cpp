#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <set>

#include "ServerHarness.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Split.h"
#include "net/Replies.h"
#include "net/Requests.h"

namespace qelt::server::test {
namespace {

using namespace std::chrono_literals;

void LogIn(TestClient& c, const std::string& user = "demo", const std::string& password = "demo") {
    auto reply = c.Ask(LoginRequest(user, password), "login");
    ASSERT_TRUE(reply);
    ASSERT_EQ(ParseLogin(SplitKind(*reply).body).code, 0) << *reply;
}

TEST(ServerLoopback, LoginVerdictsAndVersion) {
    ServerHarness server;
    TestClient c(server.Port());
    auto bad = c.Ask(LoginRequest("demo", "nope"), "login");
    ASSERT_TRUE(bad);
    EXPECT_EQ(*bad, "login:2|密码错误|0");
    EXPECT_EQ(ParseLogin(SplitKind(*c.Ask(LoginRequest("ghost", "x"), "login")).body).code, 1);
    EXPECT_EQ(ParseLogin(SplitKind(*c.Ask(LoginRequest("locked", "locked"), "login")).body).code, 3);
    EXPECT_EQ(ParseLogin(SplitKind(*c.Ask(LoginRequest("expired", "expired"), "login")).body).code, 5);
    // Nothing of the market before a successful login.
    c.Send(ListRequest());
    EXPECT_FALSE(c.Next(200ms));
    auto ok = c.Ask(LoginRequest("demo", "demo"), "login");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->starts_with("login:0|登陆成功|"));
    EXPECT_EQ(ParseVersion(SplitKind(*c.Ask(VersionRequest(), "ver")).body), 0);
    EXPECT_EQ(ParseVersion(SplitKind(*c.Ask(VersionRequest("1.95"), "ver")).body), 1);
}

TEST(ServerLoopback, StartUpSynchronisation) {
    ServerHarness server;
    TestClient c(server.Port());
    LogIn(c);
    auto category = c.Ask(CategoryRequest(), "category");
    ASSERT_TRUE(category);
    auto categories = ParseCategories(SplitKind(*category).body);
    ASSERT_GE(categories.size(), 3u);
    int flagged = 0;
    for (const auto& k : categories) {
        EXPECT_EQ(k.code.size(), 4u);
        flagged += k.kindFlag == "1";
    }
    EXPECT_EQ(flagged, 1);

    auto list = c.Ask(ListRequest(), "list");
    ASSERT_TRUE(list);
    auto records = ParseList(SplitKind(*list).body);
    ASSERT_GE(records.size(), 40u);
    for (const auto& r : records) {
        auto line = c.Ask(LineRequest("3", {std::string(r[9]), std::string(r[0])}, 1), "line");
        ASSERT_TRUE(line);
        auto parsed = ParseLine(SplitKind(*line).body);
        EXPECT_EQ(parsed.key, std::string(r[9]) + std::string(r[0]));
        EXPECT_EQ(parsed.listTag, "3");
        ASSERT_GE(parsed.bars.size(), 400u) << parsed.key;
        EXPECT_EQ(parsed.bars.front().size(), 10u);
    }

    // The first trade request of a session brings the history the user has not had yet.
    const GoodsKey contract{std::string(records[4][9]), std::string(records[4][0])};
    const std::string goods = contract.goodsNo, due = contract.dueDate;
    ASSERT_TRUE(c.Send(RealSyncRequest(contract)));
    int lastCount = -1;
    size_t historyRecords = 0;
    std::int64_t lastId = 0;
    for (;;) {
        auto m = c.Next();
        ASSERT_TRUE(m);
        auto [kind, body] = SplitKind(*m);
        if (kind == "real") {
            auto real = ParseReal(body);
            EXPECT_EQ(real.key, goods + due);
            EXPECT_EQ(real.selector, "");
            ASSERT_FALSE(real.records.empty());
            for (const auto& t : real.records) EXPECT_EQ(t.size(), 20u);
            break;
        }
        ASSERT_EQ(kind, "his");
        auto his = ParseHis(body);
        if (lastCount >= 0) {
            EXPECT_LT(his.count, lastCount);
        }
        lastCount = his.count;
        for (const auto& r : his.records) {
            ASSERT_EQ(r.size(), 13u);
            EXPECT_GT(LeadingInt64(r[0]), lastId);
            lastId = LeadingInt64(r[0]);
        }
        historyRecords += his.records.size();
    }
    EXPECT_EQ(lastCount, 0);
    EXPECT_GT(historyRecords, 10000u);

    // Later requests (and later logins of the same user) bring no history again.
    c.Send(RealSyncRequest(contract));
    EXPECT_TRUE(c.Next()->starts_with("real:"));
    TestClient again(server.Port());
    LogIn(again);
    again.Send(RealSyncRequest(contract));
    EXPECT_TRUE(again.Next()->starts_with("real:"));

    auto recent = c.Ask(RealStandingRequest("", contract), "real");
    ASSERT_TRUE(recent);
    auto parsed = ParseReal(SplitKind(*recent).body);
    EXPECT_LE(parsed.records.size(), 30u);
    EXPECT_FALSE(parsed.records.empty());

    auto past = c.Ask(RealHistoryRequest(goods, "20261204", contract), "hisreal");
    ASSERT_TRUE(past);
    auto pastTrades = ParseReal(SplitKind(*past).body);
    EXPECT_EQ(pastTrades.selector, goods + "-20261204");
    ASSERT_FALSE(pastTrades.records.empty());
    EXPECT_EQ(pastTrades.records[0][4], "20261204");

    auto notice = c.Ask(NoticeRequest(), "msg");
    ASSERT_TRUE(notice);
    EXPECT_FALSE(ParseNotice(SplitKind(*notice).body).empty());
}

TEST(ServerLoopback, APastDayOfAContinuouslyTradedContractIsContinuousTradesTrueToItsBar) {
    ServerHarness server;
    TestClient c(server.Port());
    LogIn(c);
    auto list = c.Ask(ListRequest(), "list");
    ASSERT_TRUE(list);
    std::optional<GoodsKey> contract;
    for (const auto& r : ParseList(SplitKind(*list).body))
        if (r[9] == "0131" && LeadingInt(r[16]) > 0)
            contract = GoodsKey{std::string(r[9]), std::string(r[0])};
    ASSERT_TRUE(contract);
    auto line = c.Ask(LineRequest("12", *contract, 1), "line");
    ASSERT_TRUE(line);
    const auto bars = ParseLine(SplitKind(*line).body).bars;
    ASSERT_GE(bars.size(), 3u);
    const auto& bar = bars[bars.size() - 3];  // a past day
    auto past = c.Ask(RealHistoryRequest("0131", std::string(bar[0]), *contract), "hisreal");
    ASSERT_TRUE(past);
    const auto trades = ParseReal(SplitKind(*past).body).records;
    ASSERT_GE(trades.size(), 2u);
    for (const auto& t : trades) {
        ASSERT_EQ(t.size(), 20u);
        EXPECT_EQ(t[10], " ") << "continuous trades have a blank marker";
        EXPECT_EQ(t[4], bar[0]);
    }
    EXPECT_EQ(trades.front()[12], bar[1]) << "the open";
    EXPECT_EQ(trades.back()[12], bar[2]) << "the close";
    EXPECT_EQ(trades.back()[13], bar[5]) << "the day's volume";
}

TEST(ServerLoopback, AccountInUseAndTakeOverByReLogin) {
    ServerHarness server;
    TestClient first(server.Port());
    LogIn(first, "trader", "trader");
    TestClient second(server.Port());
    EXPECT_EQ(ParseLogin(SplitKind(*second.Ask(LoginRequest("trader", "trader"), "login")).body).code, 4);
    EXPECT_EQ(ParseLogin(SplitKind(*second.Ask(LoginRequest("trader", "trader", true), "login")).body).code,
              0);
    EXPECT_EQ(first.NextOfKind("dis").has_value(), true);
    EXPECT_TRUE(first.Closed());
    EXPECT_TRUE(second.Ask(ListRequest(), "list"));
    // The demo account is never "in use".
    TestClient d1(server.Port()), d2(server.Port());
    LogIn(d1);
    LogIn(d2);
}

TEST(ServerLoopback, PasswordChange) {
    ServerHarness server;
    TestClient c(server.Port());
    LogIn(c, "analyst", "analyst");
    EXPECT_EQ(*c.Ask(PasswordRequest("analyst", "wrong", "n3w"), "pwd"), "pwd:1");
    EXPECT_EQ(*c.Ask(PasswordRequest("trader", "trader", "n3w"), "pwd"), "pwd:2");  // not the session's user
    EXPECT_EQ(*c.Ask(PasswordRequest("analyst", "analyst", "n3w"), "pwd"), "pwd:0");
    auto users = ReadWholeFile(server.DataDir() + "users.txt");
    ASSERT_TRUE(users);
    EXPECT_NE(users->find("analyst|n3w|"), std::string::npos);
}

TEST(ServerLoopback, AlarmsFireOnceWithGrowingIdsNewestFirst) {
    ServerHarness server;
    TestClient c(server.Port());
    LogIn(c);
    auto list = c.Ask(ListRequest(), "list");
    auto records = ParseList(SplitKind(*list).body);
    AlarmThresholds a{std::string(records[4][9]), std::string(records[4][0]), "1.000", "0.000", "0", "0"};
    AlarmThresholds b{std::string(records[5][9]), std::string(records[5][0]), "0", "0", "1", "0"};
    auto first = c.Ask(AlarmQueries(a).at(0), "alarm");
    ASSERT_TRUE(first);
    auto hits = ParseAlarm(SplitKind(*first).body);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0][0], "1");
    EXPECT_EQ(hits[0][1], records[4][9]);
    // Still true: nothing new.
    auto again = *c.Ask(AlarmQueries(a).at(0), "alarm");
    EXPECT_EQ(ParseAlarm(SplitKind(again).body).size(), 1u);
    auto secondReply = *c.Ask(AlarmQueries(b).at(0), "alarm");
    auto second = ParseAlarm(SplitKind(secondReply).body);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0][0], "2");  // newest first
    EXPECT_EQ(second[1][0], "1");
    // Outside the grammar: answered, nothing fires.
    auto hostileReply = *c.Ask("alarm:goods_no='x' or 1=1; drop table users", "alarm");
    auto hostile = ParseAlarm(SplitKind(hostileReply).body);
    EXPECT_EQ(hostile.size(), 2u);
}

TEST(ServerLoopback, HostileInputNeverDisturbsOthers) {
    ServerOptions options;
    options.maxInputBytes = 4096;
    ServerHarness server(options);
    TestClient good(server.Port());
    LogIn(good);
    const std::string hostile[] = {
        std::string("\0\0\0|END", 7),
        "\xff\xfe\x81|END",
        "nonsense|END",
        ":|END",
        "|END|END|END",
        "login|END",
        "login:::::::::::::::::|END",
        "line:|END",
        "line:3:" + std::string(5000, '9') + "|END",
        "real:x-:0112:20270125:8:|END",
        "real:-99999999999:0112:|END",
        "real::" + std::string(3000, ':') + "|END",
        "alarm:" + std::string(3000, '(') + "|END",
        "pwd:|END",
        "category:extra:fields:|END",
        "list:" + std::string(3000, '|') + "|END",
        "msg:" + std::string(3000, 'x') + "|END",
        "half a mess",
    };
    for (const auto& bytes : hostile) {
        TestClient bad(server.Port());
        bad.SendRaw("login:demo:demo:|END" + bytes);
        ASSERT_TRUE(good.Ask(ListRequest(), "list")) << bytes.substr(0, 40);
    }
    // A message without terminator beyond the limit ends that client only.
    TestClient flood(server.Port());
    flood.SendRaw(std::string(20000, 'A'));
    EXPECT_TRUE(flood.Closed());
    EXPECT_TRUE(good.Ask(ListRequest(), "list"));
    // Clients that vanish in the middle of big replies (reset, not a clean close).
    for (int i = 0; i < 5; ++i) {
        TestClient gone(server.Port());
        std::string burst = "login:demo:demo:|END";
        for (int k = 0; k < 50; ++k) burst += "line:3:0112:20270525:0:|END";
        gone.SendRaw(burst);
        linger hard{1, 0};
        setsockopt(gone.Fd(), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    EXPECT_TRUE(good.Ask(ListRequest(), "list"));
    // The same client goes on after its own garbage.
    good.SendRaw("garbage|END\x01\x02|END");
    EXPECT_TRUE(good.Ask(VersionRequest(), "ver"));
}

TEST(ServerLoopback, AClientThatDoesNotReadIsDropped) {
    ServerOptions options;
    options.maxOutputBytes = 256 * 1024;
    ServerHarness server(options);
    TestClient sleeper(server.Port());
    int small = 4096;
    setsockopt(sleeper.Fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    LogIn(sleeper);
    std::string burst;
    for (int i = 0; i < 2000; ++i) burst += "list:|END";
    sleeper.SendRaw(burst);
    TestClient good(server.Port());
    LogIn(good);
    EXPECT_TRUE(good.Ask(ListRequest(), "list"));
    EXPECT_TRUE(sleeper.Closed(10s));
    EXPECT_TRUE(good.Ask(ListRequest(), "list"));
}

TEST(ServerLoopback, UpdateStreamsTheUpdateFolderAndCloses) {
    ServerHarness server;
    WriteFileAtomic(server.DataDir() + "update/qelt.db", std::string(2500, 'd'));
    TestClient c(server.Port());
    c.SendRaw("update:|END");
    std::string got;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(c.Fd(), buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<size_t>(n));
    }
    ASSERT_EQ(got.size(), 320u + 2500u);
    EXPECT_EQ(std::string(got.data() + 44), "qelt.db");
    EXPECT_EQ(got.substr(320), std::string(2500, 'd'));
}

TEST(ServerLoopback, AdminDisconnectsAndBroadcasts) {
    ServerOptions options;
    options.adminPort = -1;  // any free loopback port
    ServerHarness server(options);
    ASSERT_GT(server.AdminPort(), 0);
    TestClient trader(server.Port()), watcher(server.Port());
    LogIn(trader, "trader", "trader");
    LogIn(watcher);
    TestClient admin(server.AdminPort());
    auto ok = admin.Ask("notice:明天休市", "ok");
    ASSERT_TRUE(ok);
    EXPECT_EQ(*ok, "ok:2");
    EXPECT_EQ(*watcher.NextOfKind("msg"), "msg:明天休市");
    EXPECT_EQ(*watcher.Ask(NoticeRequest(), "msg"), "msg:明天休市");
    // A terminator inside a notice cannot cut the message.
    WriteFileAtomic(server.DataDir() + "notice.txt", "a|ENDlogin:0|b");
    EXPECT_EQ(*watcher.Ask(NoticeRequest(), "msg"), "msg:a| ENDlogin:0|b");
    EXPECT_EQ(*admin.Ask("dis:trader", "ok"), "ok:1");
    EXPECT_TRUE(trader.NextOfKind("dis"));
    EXPECT_TRUE(trader.Closed());
    EXPECT_TRUE(watcher.Ask(ListRequest(), "list"));
    // Client commands mean nothing on the admin port, and admin commands nothing on the client port.
    EXPECT_TRUE(admin.Ask("list:", "error"));
    watcher.Send("dis:demo");
    EXPECT_TRUE(watcher.Ask(ListRequest(), "list"));
}

/// True when a connection to 127.0.0.N:port is accepted by the kernel.
bool ConnectsTo(int lastByte, int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(0x7F000000u | static_cast<uint32_t>(lastByte));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

TEST(ServerLoopback, ABindAddressWithLeadingZerosListensThereOnly) {
    qelt::test::TempDir dir;
    ServerOptions options;
    options.dataDir = dir.Path();
    ServerState state(options, kMorning);
    EventLoop loop(state, [] { return kMorning; });
    std::string error;
    ASSERT_TRUE(loop.Listen("127.000.000.002", 0, 0, error)) << error;
    EXPECT_TRUE(ConnectsTo(2, loop.Port()));
    EXPECT_FALSE(ConnectsTo(1, loop.Port())) << "not every interface";
    EventLoop other(state, [] { return kMorning; });
    EXPECT_FALSE(other.Listen("127.0.0.256", 0, 0, error));
}

}  // namespace
}  // namespace qelt::server::test
