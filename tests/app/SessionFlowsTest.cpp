#include <gtest/gtest.h>

#include "app/PasswordFlow.h"

namespace qelt {
namespace {

struct FakePasswordDisplay : PasswordDisplay {
    std::vector<std::string> messages;
    bool enabled = true;
    int closed = -1;
    void ShowMessage(const std::string& t) override { messages.push_back(t); }
    void EnableButtons(bool e) override { enabled = e; }
    void Close(bool ok) override { closed = ok; }
};

TEST(PasswordFlow, ValidationMessagesInOrder) {
    FakePasswordDisplay view;
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
    FakePasswordDisplay view;
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

}  // namespace
}  // namespace qelt
