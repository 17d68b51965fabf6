#include <gtest/gtest.h>

#include "net/Requests.h"

namespace qelt {
namespace {

TEST(Requests, EveryClientMessageByteForByte) {
    EXPECT_EQ(LoginRequest("demo", "pw"), "login:demo:pw:");
    EXPECT_EQ(LoginRequest("demo", "pw", true), "login:demo:pw:1:");
    EXPECT_EQ(LoginRequest("a:b", "c"), "login:a:b:c:") << "nothing is escaped";
    EXPECT_EQ(VersionRequest(), "ver:1.96:");
    EXPECT_EQ(CategoryRequest(), "category:");
    EXPECT_EQ(ListRequest(), "list:");
    EXPECT_EQ(LineRequest("12", {"0001", "20060525"}, 1), "line:12:0001:20060525:1:");
    EXPECT_EQ(LineRequest("0", {"0001", ""}, 0), "line:0:0001::0:");
    EXPECT_EQ(RealStandingRequest("", {"0001", "20060525"}), "real::0001:20060525:1:");
    EXPECT_EQ(RealSyncRequest({"0001", "20060525"}), "real::0001:20060525:8:");
    EXPECT_EQ(RealHistoryRequest("0001", "20060412", {"0001", "20060525"}),
              "real:0001-20060412:0001:20060525:8:");
    EXPECT_EQ(PasswordRequest("demo", "old", "new"), "pwd:demo:old:new:");
    EXPECT_EQ(NoticeRequest(), "msg:");
    EXPECT_EQ(Frame("list:"), "list:|END");
}

AlarmThresholds Entry(std::string upper, std::string lower, std::string volume, std::string position) {
    return {{"0001", "20060525"}, std::move(upper), std::move(lower), std::move(volume), std::move(position)};
}

TEST(AlarmQuery, OnlyALowerPrice) {
    EXPECT_EQ(
        AlarmQueries(Entry("", "12.500", "", "")),
        std::vector<std::string>{"alarm:goods_no='0001' and due_date='20060525' and ( (   price <=12.500))"});
}

TEST(AlarmQuery, BothPricesAreOneQueryThatFiresOnABreakEitherWay) {
    // Joined by "and" no price could be at or above 10 and at or below 8 at once.
    EXPECT_EQ(
        AlarmQueries(Entry("10.000", "8.000", "", "")),
        (std::vector<std::string>{
            "alarm:goods_no='0001' and due_date='20060525' and ( (  price >=10.000 or   price <=8.000))"}));
    // The counts are asked once per entry: one volume breach is one alarm.
    EXPECT_EQ(
        AlarmQueries(Entry("10.000", "8.000", "500", "300")),
        (std::vector<std::string>{"alarm:goods_no='0001' and due_date='20060525' and ( (  price >=10.000 or "
                                  "  price <=8.000) or   all_num >=500 or   pure_num >=300)"}));
    EXPECT_EQ(
        AlarmQueries(Entry("10.000", "0.000", "", "")),
        std::vector<std::string>{"alarm:goods_no='0001' and due_date='20060525' and ( price >=10.000)"});
}

TEST(AlarmQuery, VolumeOrNetPosition) {
    EXPECT_EQ(AlarmCondition(Entry("", "", "500", "300")), "  all_num >=500 or   pure_num >=300");
    EXPECT_EQ(AlarmCondition(Entry("10.000", "", "", "300")), " price >=10.000 or   pure_num >=300");
}

TEST(AlarmQuery, NothingToSendWithoutAPositiveThreshold) {
    EXPECT_TRUE(AlarmQueries(Entry("", "", "", "")).empty());
    EXPECT_TRUE(AlarmQueries(Entry("0", "-1", "abc", "0.5")).empty()) << "0.5 reads as the integer 0";
    // Texts are used as typed: the number read only decides whether the clause is there.
    EXPECT_EQ(AlarmCondition(Entry("12abc", "", "", "")), " price >=12abc");
}

}  // namespace
}  // namespace qelt
