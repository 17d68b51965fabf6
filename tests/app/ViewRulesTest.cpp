#include <gtest/gtest.h>

#include "app/Navigation.h"
#include "app/ViewRules.h"
#include "views/StandingRequests.h"

namespace qelt {
namespace {

GoodsSummary Goods(std::string goodsNo, std::string dueDate, std::string state, int position = 0) {
    GoodsSummary g;
    g.goods_no = std::move(goodsNo);
    g.due_date = std::move(dueDate);
    g.state = std::move(state);
    g.position = position;
    return g;
}

NavigationLists Board() {
    NavigationLists l;
    l.main = {Goods("0009", "综合指数", "1"), Goods("0101", "20070125", "1"), Goods("0101", "20070215", "-1"),
              Goods("0102", "20070325", "2"), Goods("0101", "20070405", "3"), Goods("0103", "", "1"),
              Goods("0103", "  ", "1")};
    l.thirdMonth = {Goods("0101", "20070125", "2", 1), Goods("0102", "20070325", "2", 3)};
    return l;
}

TEST(Navigation, RealCategoryVisitsItsGoodsWithNonNegativeState) {
    auto l = Board();
    EXPECT_EQ(StepGoods(l, "0101", 1, true), 4) << "state -1 of record 2 is skipped";
    EXPECT_EQ(StepGoods(l, "0101", 4, true), 1) << "wraps at the end";
    EXPECT_EQ(StepGoods(l, "0101", 1, false), 4) << "wraps at the start";
    EXPECT_EQ(StepGoods(l, "0777", 3, true), 3) << "no match: stays";
}

TEST(Navigation, PseudoCategories) {
    auto l = Board();
    EXPECT_EQ(StepGoods(l, "0001", 1, true), 3) << "state > 0";
    EXPECT_EQ(StepGoods(l, "0005", 1, true), 3) << "due_date ending in 25, goods 0009 left out";
    EXPECT_EQ(StepGoods(l, "0006", 3, true), 4) << "due_date ending in 05 or 15";
    EXPECT_EQ(StepGoods(l, "0006", 4, true), 2) << "wrapping to the 15";
    EXPECT_EQ(StepGoods(l, "2000", 0, true), 5) << "blank due_date";
    EXPECT_EQ(StepGoods(l, "2000", 5, true), 6) << "blank after trimming leading blanks";
    EXPECT_EQ(StepGoods(l, "0000", 3, true), 3);
    EXPECT_EQ(StepGoods(l, "0008", 3, true), 3);
}

/// State 0 (a contract not traded today) is where the two rules part: "0001" visits only
/// state > 0, a goods category every state >= 0.
TEST(Navigation, AGoodsOfStateZeroIsSkippedByTheTradingListOnly) {
    NavigationLists l;
    l.main = {Goods("0101", "20070125", "1"), Goods("0101", "20070215", "0"), Goods("0101", "20070325", "2")};
    EXPECT_EQ(StepGoods(l, "0001", 0, true), 2);
    EXPECT_EQ(StepGoods(l, "0001", 2, false), 0);
    EXPECT_EQ(StepGoods(l, "0101", 0, true), 1);
    EXPECT_EQ(StepGoods(l, "0101", 2, false), 1);
}

TEST(Navigation, PrevFromTheFirstThirdMonthEntryWrapsToItsLast) {
    auto l = Board();
    EXPECT_EQ(StepGoods(l, "0004", 1, false), 3);
    EXPECT_EQ(StepGoods(l, "0004", 3, true), 1);
    EXPECT_EQ(StepGoods(l, "0002", 1, true), 1) << "an empty spot-month list moves nothing";
}

TEST(ViewRules, StandingRequestsPerKind) {
    EXPECT_EQ(StandingRequestsFor(1, "", {"0101", "20070125"}).value(), (std::vector<std::string>{"list:"}));
    EXPECT_EQ(StandingRequestsFor(2, "", {"0101", "20070125"}).value(),
              (std::vector<std::string>{"list:", "real::0101:20070125:1:"}));
    EXPECT_EQ(StandingRequestsFor(4, "", {"0101", "20070125"}).value(),
              (std::vector<std::string>{"real::0101:20070125:1:"}));
    EXPECT_FALSE(StandingRequestsFor(5, "", {"0101", "20070125"}).has_value());
    EXPECT_FALSE(StandingRequestsFor(6, "", {"0101", "20070125"}).has_value());
}

TEST(ViewRules, FunctionKeys) {
    EXPECT_EQ(ActionForFunctionKey(1, true, false).switchTo, 4);
    EXPECT_EQ(ActionForFunctionKey(2, true, false).switchTo, 1);
    auto f4 = ActionForFunctionKey(4, true, false);
    EXPECT_EQ(f4.setCurrentGoods, 1);
    EXPECT_TRUE(f4.resetSelfSelectedCategory);
    EXPECT_EQ(f4.switchTo, 2);
    EXPECT_EQ(ActionForFunctionKey(5, true, true).switchTo, 3);
    EXPECT_EQ(ActionForFunctionKey(5, true, false).switchTo, 2);
    EXPECT_EQ(ActionForFunctionKey(5, false, false).switchTo, 0);
}

TEST(ViewRules, F6AddsRemovesOrDoesNothing) {
    EXPECT_EQ(SelfSelectedToggleFor("0000", "0005").kind, SelfSelectedToggle::Remove);
    EXPECT_EQ(SelfSelectedToggleFor("0000", "0005").category, "0005");
    EXPECT_EQ(SelfSelectedToggleFor("0003", "0001").kind, SelfSelectedToggle::None);
    EXPECT_EQ(SelfSelectedToggleFor("0005", "0001").category, "0005");
    auto add = SelfSelectedToggleFor("0101", "0005");
    EXPECT_EQ(add.kind, SelfSelectedToggle::Add);
    EXPECT_EQ(add.category, "0001");
}

}  // namespace
}  // namespace qelt
