#include <gtest/gtest.h>

#include "app/PasswordFlow.h"
#include "app/ReloginFlow.h"

namespace qelt {
namespace {

struct FakePasswordView : PasswordView {
    std::vector<std::string> messages;
    bool enabled = true;
    int closed = -1;
    void ShowMessage(const std::string& t) override { messages.push_back(t); }
    void EnableButtons(bool e) override { enabled = e; }
    void Close(bool ok) override { closed = ok; }
};

TEST(PasswordFlow, ValidationMessagesInOrder) {
    FakePasswordView view;
    PasswordFlow flow(view, "demo");
    EXPECT_EQ(flow.Submit("  ", "n", "n"), "");
    EXPECT_EQ(flow.Submit("o", "", "n"), "");
    EXPECT_EQ(flow.Submit("o", "n", " "), "");
    EXPECT_EQ(flow.Submit("o", "n1", "n2"), "");
    EXPECT_EQ(view.messages, (std::vector<std::string>{"请输入旧密码!", "请输入新密码!", "请输入确认密码!",
                                                       "您输入的新密码和确认密码不同!"}));
    EXPECT_TRUE(view.enabled);
}

TEST(PasswordFlow, TrailingBlanksDoNotCountAndWaitingIgnoresSubmits) {
    FakePasswordView view;
    PasswordFlow flow(view, "demo");
    EXPECT_EQ(flow.Submit("old ", "new  ", "new"), "pwd:demo:old:new:");
    EXPECT_FALSE(view.enabled);
    EXPECT_EQ(flow.Submit("old", "x", "x"), "") << "while waiting nothing is sent";
    flow.OnAnswer(2);
    EXPECT_EQ(view.messages.back(), "修改密码出错!\r\n请重试!");
    EXPECT_TRUE(view.enabled);
    EXPECT_FALSE(flow.Submit("old", "x", "x").empty());
    flow.OnAnswer(1);
    EXPECT_EQ(view.messages.back(), "旧密码错误!");
    flow.Submit("old", "x", "x");
    flow.OnAnswer(0);
    EXPECT_EQ(view.messages.back(), "密码修改完成!");
    EXPECT_EQ(view.closed, 1);
}

struct FakeRelogin : ReloginServices {
    std::vector<std::string> log;
    std::vector<std::function<void()>> timers;
    int failuresLeft = 0;
    void StopPolling() override { log.push_back("stop"); }
    void MarkDisconnected() override { log.push_back("mark"); }
    void CloseSocket() override { log.push_back("close"); }
    void Connect(std::function<void(bool)> done) override {
        log.push_back("connect");
        if (failuresLeft > 0) {
            --failuresLeft;
            done(false);
            return;
        }
        done(true);
    }
    void SendRelogin() override { log.push_back("relogin"); }
    void StartPolling() override { log.push_back("poll"); }
    void SetOffline() override { log.push_back("offline"); }
    void ShowMessage(const std::string& t, const std::string& c) override { log.push_back(c + ":" + t); }
    void After(int ms, std::function<void()> then) override {
        EXPECT_EQ(ms, 1000);
        timers.push_back(std::move(then));
    }
    void RunTimers() {
        while (!timers.empty()) {
            auto t = std::move(timers.front());
            timers.erase(timers.begin());
            t();
        }
    }
};

TEST(ReloginFlow, ThreeAttemptsASecondApartThenOffline) {
    FakeRelogin s;
    s.failuresLeft = 5;
    ReloginFlow flow(s);
    flow.OnReconnect(0);
    s.RunTimers();
    EXPECT_EQ(s.log, (std::vector<std::string>{"stop", "mark", "connect", "connect", "connect", "offline",
                                               "系统提示:和服务器断开了连接！"}));
    EXPECT_FALSE(flow.Running());
}

TEST(ReloginFlow, SecondAttemptSucceeds) {
    FakeRelogin s;
    s.failuresLeft = 1;
    ReloginFlow flow(s);
    flow.OnReconnect(0);
    s.RunTimers();
    EXPECT_EQ(s.log, (std::vector<std::string>{"stop", "mark", "connect", "connect", "relogin", "poll"}));
}

TEST(ReloginFlow, ServerDisconnectMeansNoRetry) {
    FakeRelogin s;
    ReloginFlow flow(s);
    flow.OnReconnect(10);
    EXPECT_TRUE(s.timers.empty());
    EXPECT_EQ(s.log,
              (std::vector<std::string>{"stop", "mark", "close", "系统提示:管理员断开了你和服务器的连接！"}));
}

}  // namespace
}  // namespace qelt
