#include <gtest/gtest.h>

#include "net/Requests.h"
#include "server/AlarmCondition.h"

namespace qelt::server {
namespace {

AlarmSubject Subject(double price, double allNum, double pure) {
    return AlarmSubject{"0112", "20270125", price, allNum, pure};
}

bool Fires(const std::string& query, const AlarmSubject& s) {
    // The client's message is "alarm:" followed by the condition.
    auto c = AlarmCondition::Parse(std::string_view(query).substr(6));
    return c && c->Matches(s);
}

/// Whether any of the entry's queries fires.
bool Fires(const AlarmThresholds& entry, const AlarmSubject& s) {
    const std::vector<std::string> queries = AlarmQueries(entry);
    EXPECT_FALSE(queries.empty());
    for (const std::string& query : queries)
        if (Fires(query, s)) return true;
    return false;
}

TEST(AlarmCondition, EvaluatesEveryFormTheClientBuilds) {
    AlarmThresholds upperOnly{{"0112", "20270125"}, "16.000", "0.000", "0", "0"};
    AlarmThresholds lowerOnly{{"0112", "20270125"}, "0.000", "12.500", "0", "0"};
    AlarmThresholds band{{"0112", "20270125"}, "10.000", "8.000", "0", "0"};
    AlarmThresholds volumes{{"0112", "20270125"}, "0", "0", "500", "300"};
    EXPECT_TRUE(Fires(upperOnly, Subject(16, 0, 0)));
    EXPECT_FALSE(Fires(upperOnly, Subject(15.99, 0, 0)));
    EXPECT_TRUE(Fires(lowerOnly, Subject(12.5, 0, 0)));
    EXPECT_FALSE(Fires(lowerOnly, Subject(12.51, 0, 0)));
    // Both bounds: a break either way fires, a price between them does not.
    EXPECT_TRUE(Fires(band, Subject(10, 0, 0)));
    EXPECT_TRUE(Fires(band, Subject(8, 0, 0)));
    EXPECT_TRUE(Fires(band, Subject(16.54, 0, 0)));
    EXPECT_FALSE(Fires(band, Subject(9, 0, 0)));
    EXPECT_TRUE(Fires(volumes, Subject(1, 500, 0)));
    EXPECT_TRUE(Fires(volumes, Subject(1, 0, 300)));
    EXPECT_FALSE(Fires(volumes, Subject(1, 499, 299)));
}

/// The server fires one alarm per query that turns true: an entry asks one query, so one
/// event is one row in 预警系统, whichever thresholds it breaks.
TEST(AlarmCondition, OneBreachOfAnEntryWithBothBoundsIsOneAlarm) {
    const AlarmThresholds band{{"0112", "20270125"}, "10.000", "8.000", "500", "300"};
    auto alarms = [&](const AlarmSubject& s) {
        int n = 0;
        for (const std::string& query : AlarmQueries(band)) n += Fires(query, s);
        return n;
    };
    EXPECT_EQ(alarms(Subject(9, 600, 0)), 1) << "a volume breach between the bounds";
    EXPECT_EQ(alarms(Subject(9, 0, 300)), 1) << "a net position breach";
    EXPECT_EQ(alarms(Subject(10.5, 600, 0)), 1) << "above the upper bound with the volume";
    EXPECT_EQ(alarms(Subject(7.5, 0, 0)), 1) << "below the lower bound";
    EXPECT_EQ(alarms(Subject(9, 499, 299)), 0);
}

TEST(AlarmCondition, OtherContractsDoNotMatch) {
    AlarmThresholds e{{"0112", "20270125"}, "1.000", "0", "0", "0"};
    AlarmSubject other{"0112", "20270225", 5, 0, 0};
    EXPECT_FALSE(Fires(e, other));
    AlarmThresholds index{{"0009", "综合指数"}, "1.000", "0", "0", "0"};
    auto c = AlarmCondition::Parse(AlarmQueries(index).at(0).substr(6));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->PinnedGoodsNo(), "0009");
    EXPECT_EQ(c->PinnedDueDate(), "综合指数");
    EXPECT_TRUE(c->Matches(AlarmSubject{"0009", "综合指数", 1000, 0, 0}));
}

TEST(AlarmCondition, RefusesEverythingOutsideTheGrammar) {
    const char* hostile[] = {
        "",
        "goods_no='0112'; drop table users",
        "goods_no='0112' and 1=1",
        "goods_no='0112' or price >= 1 --",
        "goods_no='0112' and (price >=1",
        "goods_no='0112' and price >=1)",
        "goods_no=0112",
        "price='10'",
        "goods_no >= '0112'",
        "price > 10",
        "price >= -1",
        "price >= 1e9",
        "price >= 1.",
        "volume >= 10",
        "PRICE >= 10",
        "goods_no='unterminated",
        "goods_no='a' and and price >=1",
        "price >=1 price <=2",
        "system('ls')",
        "goods_no='0112' and due_date='x' and (price >=1) extra",
    };
    for (const char* text : hostile) EXPECT_FALSE(AlarmCondition::Parse(text)) << text;
    std::string deep(40, '(');
    deep += "price >=1" + std::string(40, ')');
    EXPECT_FALSE(AlarmCondition::Parse(deep));
    std::string shallow(10, '(');
    shallow += "price >=1" + std::string(10, ')');
    EXPECT_TRUE(AlarmCondition::Parse(shallow));
    EXPECT_FALSE(AlarmCondition::Parse("goods_no='" + std::string(65, 'x') + "'"));
    std::string many = "price >=1";
    for (int i = 0; i < 100; ++i) many += " or price >=1";
    EXPECT_FALSE(AlarmCondition::Parse(many));
}

}  // namespace
}  // namespace qelt::server
