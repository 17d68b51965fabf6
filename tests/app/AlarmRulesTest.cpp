// The price alarms' texts and dialog rules without widgets: entry texts, list rows, the
// combos, range checks, the alarm window's rows and what counts as a new alarm.
#include <gtest/gtest.h>

#include <map>

#include "app/AlarmEntryModel.h"
#include "app/AlarmListModel.h"
#include "app/AlarmRules.h"
#include "app/AlarmWindowModel.h"
#include "common/Files.h"
#include "data/settings/CQeltCFG.h"
#include "net/Requests.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

AlarmEntry Entry(const char* upper, const char* lower, const char* volume = "0", const char* position = "0") {
    return {{"0112", "20261225"}, upper, lower, volume, position};
}

TEST(AlarmRules, ListRowsShowOnlyTheThresholdsThatAreSet) {
    EXPECT_EQ(MakeAlarmListRow(Entry("10.000", "8.000"), 0),
              (AlarmListRow{"   1", "0112", "20261225", "大于10.000 或者 小于8.000", "", ""}));
    EXPECT_EQ(AlarmPriceText(Entry("0.000", "12.500")), " 或者 小于12.500")
        << "nothing before the lower price";
    EXPECT_EQ(AlarmPriceText(Entry("10.000", "")), "大于10.000");
    EXPECT_EQ(AlarmPriceText(Entry("0.0001", "0.000")), "大于0.0001")
        << "above 0 counts, unlike the zero rule";
    // An entry without any threshold is still listed (it only sends no query).
    EXPECT_EQ(MakeAlarmListRow(Entry("0.000", "0.000"), 11),
              (AlarmListRow{"  12", "0112", "20261225", "", "", ""}));
    EXPECT_EQ(MakeAlarmListRow(Entry("", "", "500", "300"), 12344)[0], "12345") << "%4d widens, never cuts";
    EXPECT_EQ(MakeAlarmListRow(Entry("", "", "500", "300"), 0)[4], "500");
    EXPECT_EQ(MakeAlarmListRow(Entry("", "", "-5", "x"), 0)[5], "");
    EXPECT_EQ(AlarmSwitchText(true), "关  闭");
    EXPECT_EQ(AlarmSwitchText(false), "开  启");
}

TEST(AlarmRules, TheDialogsEntryBuildsTheExactQuery) {
    // The dialog writes "%.3f" and "%d": these are the texts the condition quotes.
    auto only = AlarmEntryModel::Accept({"0112", "20261225"}, "0", "12.5", "0", "0");
    ASSERT_TRUE(only.entry);
    EXPECT_EQ(*only.entry, Entry("0.000", "12.500"));
    EXPECT_EQ(
        AlarmQueries(*only.entry),
        std::vector<std::string>{"alarm:goods_no='0112' and due_date='20261225' and ( (   price <=12.500))"});
    auto both = AlarmEntryModel::Accept({"0112", "20261225"}, "10", "8", "", "0");
    EXPECT_FALSE(both.entry) << "an empty count is not a number";
    both = AlarmEntryModel::Accept({"0112", "20261225"}, "10", "8", "500", " 300 ");
    ASSERT_TRUE(both.entry);
    EXPECT_EQ(AlarmCondition(*both.entry),
              " (  price >=10.000 or   price <=8.000) or   all_num >=500 or   pure_num >=300");
    // Nothing in the store: two empty texts and the values.
    auto none = AlarmEntryModel::Accept({"", ""}, "999999", "0", "999999", "0");
    ASSERT_TRUE(none.entry);
    EXPECT_EQ(*none.entry, (AlarmEntry{{"", ""}, "999999.000", "0.000", "999999", "0"}));
}

TEST(AlarmRules, OkRefusesTheFirstFieldOutOfRange) {
    using Field = AlarmEntryModel::Field;
    struct Case {
        const char* fields[4];
        Field field;
        const char* message;
    };
    const Case cases[] = {
        {{"1000000", "0", "0", "0"}, Field::UpperPrice, AlarmEntryModel::kPriceRange},
        {{"999999.001", "0", "0", "0"}, Field::UpperPrice, AlarmEntryModel::kPriceRange},
        {{"abc", "-1", "0", "0"}, Field::UpperPrice, AlarmEntryModel::kPriceRange},
        {{"0", "-1", "0", "0"}, Field::LowerPrice, AlarmEntryModel::kPriceRange},
        {{"0", "1e3", "0", "0"}, Field::LowerPrice, AlarmEntryModel::kPriceRange},
        {{"0", "0", "1.5", "0"}, Field::Volume, AlarmEntryModel::kCountRange},
        {{"0", "0", "0", "1000000"}, Field::NetPosition, AlarmEntryModel::kCountRange},
        {{"0", "0", "0", "99999999999999999999"}, Field::NetPosition, AlarmEntryModel::kCountRange},
    };
    for (const Case& c : cases) {
        auto verdict =
            AlarmEntryModel::Accept({"0112", "20261225"}, c.fields[0], c.fields[1], c.fields[2], c.fields[3]);
        EXPECT_FALSE(verdict.entry) << c.fields[0] << " " << c.fields[1] << " " << c.fields[2] << " "
                                    << c.fields[3];
        EXPECT_EQ(verdict.field, c.field) << c.fields[0];
        EXPECT_EQ(verdict.message, c.message);
    }
}

TEST(AlarmRules, CombosOfferNamedGoodsWithTheirOwnMonthsAndOpenOnTheBoardsContract) {
    AlarmEntryChoices choices;
    choices.records = {{"0112", "20261225"}, {"0112", "20270115"}, {"0121", "20261225"},
                       {"0009", "综合指数"}, {"01'2", "2026|12"},  // could not stand in a query: not offered
                       {"0112", "20270115"}, {"0121", "20270125"}};
    choices.names = {{"0112", "生丝"}, {"0121", "干茧"}};
    choices.current = {"0121", "20270125"};
    AlarmEntryModel model(choices);
    EXPECT_EQ(model.GoodsNumbers(), (std::vector<std::string>{"0112", "0121", "0009"}));
    EXPECT_EQ(model.GoodsLabels(), (std::vector<std::string>{"0112 生丝", "0121 干茧", "0009"}));
    EXPECT_EQ(model.MonthsOf("0112"), (std::vector<std::string>{"20261225", "20270115"}))
        << "only the goods' own months, each once";
    EXPECT_EQ(model.MonthsOf("0009"), std::vector<std::string>{"综合指数"});
    EXPECT_TRUE(model.MonthsOf("01'2").empty());
    EXPECT_EQ(model.InitialGoods(), 1);
    EXPECT_EQ(model.InitialMonth(), 1) << "the contract selected on the board";

    choices.current = {"0145", "20270125"};  // not on offer: the first record
    EXPECT_EQ(AlarmEntryModel(choices).InitialGoods(), 0);
    EXPECT_EQ(AlarmEntryModel(choices).InitialMonth(), 0);
    EXPECT_EQ(AlarmEntryModel({}).InitialGoods(), -1);
    EXPECT_TRUE(AlarmEntryModel({}).GoodsNumbers().empty());
}

TEST(AlarmRules, TheListDeletesExactlyTheSelectedRows) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    for (const char* goods : {"A", "B", "C", "D", "E"})
        cfg.AddAlarmEntry({{goods, "20261225"}, "1", "0", "0", "0"});
    AlarmListModel list(cfg);
    ASSERT_TRUE(list.Delete({1, 3}));
    std::vector<std::string> left;
    for (const AlarmListRow& row : list.Rows()) left.push_back(row[0] + row[1]);
    EXPECT_EQ(left, (std::vector<std::string>{"   1A", "   2C", "   3E"})) << "renumbered from 1";
    EXPECT_EQ(CQeltCFG(dir.Path()).AlarmEntries().size(), 3u) << "the deletion is on disk";
    EXPECT_EQ(list.SwitchText(), "开  启");
}

TEST(AlarmRules, TheAlarmWindowShowsTheNewestFirstAndTellsNewAlarms) {
    const std::map<std::string, std::string, std::less<>> names = {{"0112", "生丝"}, {"0121", "干茧"}};
    auto nameOf = [&names](std::string_view goods) {
        auto it = names.find(goods);
        return it == names.end() ? std::string() : it->second;
    };
    std::vector<AlarmHitRow> hits = {{"5", "0112", "20261225", "12345.00", "40", "7", "10:01:02"},
                                     {"6", "9999", "20270125", "1.50", "2", "3"},
                                     {"7", "0121"}};  // a short record shows what it has
    AlarmWindowModel model;
    EXPECT_TRUE(model.Refresh(hits, nameOf, "10:05:00"));
    EXPECT_EQ(model.Rows(), (std::vector<AlarmWindowRow>{{"干茧", "", "", "", "10:05:00"},
                                                         {"270125", "1.50", "2", "3", "10:05:00"},
                                                         {"生丝261225", "12345.00", "40", "7", "10:01:02"}}))
        << "the server's time of the hit, else the time the window first showed it";
    EXPECT_FALSE(model.Refresh(hits, nameOf, "10:06:00")) << "the same alarms again are nothing new";
    EXPECT_EQ(model.Rows()[1][4], "10:05:00") << "an alarm keeps the time it was first shown at";
    hits.push_back({"8", "0112", "20261215", "12400.00", "41", "7", "late"});
    EXPECT_TRUE(model.Refresh(hits, nameOf, "10:07:00"));
    EXPECT_EQ(model.Rows().front(), (AlarmWindowRow{"生丝261215", "12400.00", "41", "7", "10:07:00"}))
        << "a mid-month delivery stays apart from the month's end; a time that is not one is not shown";
    // The store drops its oldest alarms at its cap: a refresh with fewer rows but a newer
    // alarm is still new.
    EXPECT_TRUE(model.Refresh({{"9", "0112", "20261225", "1", "1", "1"}}, nameOf, "10:08:00"));
}

TEST(AlarmRules, ContractsAreNamedWithTheirWholeDeliveryDate) {
    EXPECT_EQ(AlarmContractText("生丝", "20270115"), "生丝270115");
    EXPECT_EQ(AlarmContractText("生丝", "20270125"), "生丝270125");
    EXPECT_EQ(AlarmContractText("", "20270125"), "270125") << "a goods the category table does not name";
    EXPECT_EQ(AlarmContractText("指数", "综合指数"), "综合指数") << "an index's name is its month";
    EXPECT_EQ(AlarmContractText("绢丝", " "), "绢丝") << "a goods without delivery month";
    EXPECT_EQ(AlarmContractText("生丝", "20"), "20");
    EXPECT_EQ(AlarmHitTime("09:30:00"), "09:30:00");
    EXPECT_FALSE(AlarmHitTime("9:30:00"));
    EXPECT_FALSE(AlarmHitTime("09:3a:00"));
    EXPECT_FALSE(AlarmHitTime(""));
}

}  // namespace
}  // namespace qelt
