#include <gtest/gtest.h>

#include "net/Framer.h"

namespace qelt {
namespace {

std::vector<std::string> Drain(Framer& f) {
    std::vector<std::string> out;
    std::string_view m;
    while (f.Next(m)) out.emplace_back(m);
    return out;
}

TEST(Framer, MessageSplitAcrossPiecesComesOutOnce) {
    Framer f;
    f.Feed("list:a|b|");
    EXPECT_TRUE(Drain(f).empty());
    f.Feed("|E");
    EXPECT_TRUE(Drain(f).empty()) << "a terminator cut in the middle is not a terminator yet";
    f.Feed("ND");
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"list:a|b|"}));
    EXPECT_EQ(f.Pending(), 0u);
}

TEST(Framer, SeveralMessagesInOnePieceInOrder) {
    Framer f;
    f.Feed("a:1|ENDb:2|ENDc:3|ENDd:");
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"a:1", "b:2", "c:3"}));
    EXPECT_EQ(f.Pending(), 2u);
}

TEST(Framer, EmptyPiecesBetweenTerminatorsAreSkipped) {
    Framer f;
    f.Feed("|END|END|ENDx|END|END");
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"x"}));
}

TEST(Framer, OverlongTextWithoutTerminatorFails) {
    Framer f(16);
    EXPECT_TRUE(f.Feed("ok|END0123456789"));
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"ok"}));
    EXPECT_TRUE(f.Feed("012345"));
    EXPECT_FALSE(f.Feed("X")) << "17 bytes waiting for a terminator";
    EXPECT_TRUE(f.Failed());
    EXPECT_FALSE(f.Feed("|END"));
}

TEST(Framer, CompleteMessagesInAPieceDoNotCountAgainstTheCap) {
    Framer f(8);
    EXPECT_TRUE(f.Feed("0123456789abcdef|ENDxy"));
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"0123456789abcdef"}));
}

TEST(Framer, BarsAndCutTerminatorsAreNotTerminators) {
    Framer f(8);
    EXPECT_TRUE(f.Feed("x|END|EN|E|"));
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"x"}));
    EXPECT_EQ(f.Pending(), 6u);
    // Nine bytes since the previous terminator, but the last three complete one: within the cap.
    EXPECT_TRUE(f.Feed("END"));
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"|EN|E"}));
    EXPECT_TRUE(f.Feed("a||b|||END|"));
    EXPECT_EQ(Drain(f), (std::vector<std::string>{"a||b||"}));
    EXPECT_EQ(f.Pending(), 1u);
}

TEST(Framer, ByteAtATime) {
    Framer f;
    std::string stream = "category:1|a|0||2|b|1||";
    stream += "|ENDmsg:hello|END";
    std::vector<std::string> out;
    for (char c : stream) {
        f.Feed(std::string_view(&c, 1));
        for (auto& m : Drain(f)) out.push_back(m);
    }
    EXPECT_EQ(out, (std::vector<std::string>{"category:1|a|0||2|b|1||", "msg:hello"}));
}

}  // namespace
}  // namespace qelt
