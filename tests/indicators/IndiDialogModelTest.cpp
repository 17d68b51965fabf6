#include <gtest/gtest.h>

#include "common/Files.h"
#include "data/settings/CQeltCFG.h"
#include "data/settings/IndicatorParameters.h"
#include "indicators/IndiDialogModel.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

using Fields = std::array<int, kIndiDialogRows>;

std::vector<std::string> Labels(const IndiRowsView& v) {
    std::vector<std::string> out;
    for (const auto& r : v.rows) out.push_back(r.label);
    return out;
}
std::vector<int> Values(const IndiRowsView& v) {
    std::vector<int> out;
    for (const auto& r : v.rows) out.push_back(r.value);
    return out;
}

TEST(IndiDialog, TreeHasFourGroupsInOrder) {
    auto tree = IndiDialogModel::Tree();
    ASSERT_EQ(tree.size(), 4u);
    EXPECT_EQ(tree[0].text, "量仓指标");
    EXPECT_EQ(tree[3].text, "主图参数");
    EXPECT_EQ(tree[0].leaves.front(), "VOL   成交量");
    EXPECT_EQ(tree[1].leaves.size(), 7u);
    EXPECT_EQ(tree[2].leaves.back(), "CCI   商品路径指标");
    EXPECT_EQ(tree[3].leaves, (std::vector<std::string>{"MA    移动平均线", "OXGZ  OX图格值设置"}));
}

TEST(IndiDialog, PreselectedKdjShowsThreeDayRows) {
    IndicatorParameters table;
    IndiDialogModel model(table, 43);
    auto pre = model.Preselection();
    ASSERT_TRUE(pre.has_value());
    EXPECT_EQ(pre->first, 2);
    auto tree = IndiDialogModel::Tree();
    EXPECT_EQ(tree[2].leaves[static_cast<size_t>(pre->second)], "KDJ   随机指标");
    IndiRowsView v = model.SelectionChanged("KDJ   随机指标", Fields{});
    EXPECT_EQ(Labels(v), (std::vector<std::string>{"天", "天", "天"}));
    EXPECT_EQ(Values(v), (std::vector<int>{9, 3, 3}));
    EXPECT_EQ(table, IndicatorParameters()) << "nothing was shown before, so nothing is committed";

    EXPECT_FALSE(IndiDialogModel(table, -1).Preselection().has_value());
    EXPECT_TRUE(IndiDialogModel(table, 0).Preselection().has_value()) << "MA, main chart";
}

TEST(IndiDialog, RowsForEachKind) {
    IndicatorParameters table;
    IndiDialogModel model(table);
    EXPECT_TRUE(model.RowsFor("CDP").showNoParameters);
    EXPECT_TRUE(model.RowsFor("CDP").rows.empty());
    EXPECT_FALSE(model.RowsFor("NOPE").showNoParameters);
    EXPECT_TRUE(model.RowsFor("NOPE").rows.empty());
    IndiRowsView sar = model.RowsFor("SAR");
    EXPECT_EQ(Labels(sar), (std::vector<std::string>{"天", "加速因子参数", "加速因子增量", "反向临界参数"}));
    table[param::kSarStep] = 7;
    EXPECT_EQ(Values(model.RowsFor("SAR")), (std::vector<int>{4, 2, 7, 20})) << "rows 32, 34, 33, 35";
    EXPECT_EQ(model.RowsFor("MA").rows.size(), 5u);
}

TEST(IndiDialog, SarFieldsGoBackToTheirFilePositions) {
    IndicatorParameters table;
    IndiDialogModel model(table);
    model.SelectionChanged("SAR   止损点", Fields{});
    model.SelectionChanged("", Fields{5, 3, 4, 30, 99});  // group root selected: SAR committed
    EXPECT_EQ(table[32], 5);
    EXPECT_EQ(table[34], 3);
    EXPECT_EQ(table[33], 4);
    EXPECT_EQ(table[35], 30);
    EXPECT_EQ(table[36], 23) << "the fifth field belongs to no SAR row";
    EXPECT_TRUE(model.ShownKey().empty());
}

TEST(IndiDialog, CloseBoxKeepsCommittedValuesInMemoryOnly) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    IndicatorParameters& table = cfg.m_indicators;
    ASSERT_TRUE(cfg.SaveIndicators());
    std::string before = ReadWholeFile(dir.File("indi.ini")).value();
    {
        IndiDialogModel model(table);
        model.SelectionChanged("MACD  平滑异同平均", Fields{});
        model.SelectionChanged("RSI   相对强弱", Fields{15, 26, 9});
        // closed with the close box: no Accept
    }
    EXPECT_EQ(table[param::kMacdFast], 15);
    EXPECT_EQ(ReadWholeFile(dir.File("indi.ini")).value(), before);
}

TEST(IndiDialog, CancelLeavesTheTableAsTheDialogFoundIt) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    IndicatorParameters& table = cfg.m_indicators;
    table[param::kMa1] = 7;
    ASSERT_TRUE(cfg.SaveIndicators());
    const std::string file = ReadWholeFile(dir.File("indi.ini")).value();
    const IndicatorParameters opened = table;
    IndiDialogModel model(table);
    model.SelectionChanged("MACD  平滑异同平均", Fields{});
    model.SelectionChanged("RSI   相对强弱", Fields{15, 26, 9});  // MACD committed
    model.RestoreDefaults();                                      // MA back to 5 as well
    ASSERT_NE(table, opened);
    model.Cancel();
    EXPECT_EQ(table, opened) << "neither the committed MACD nor the defaults stay";
    EXPECT_EQ(ReadWholeFile(dir.File("indi.ini")).value(), file) << "nothing written";
}

TEST(IndiDialog, RestoreDefaultsResetsTheWholeTableButNotTheFile) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    IndicatorParameters& table = cfg.m_indicators;
    table[param::kMacdFast] = 1;
    table[param::kMa1] = 2;
    table[param::kOxReversal] = 3;
    ASSERT_TRUE(cfg.SaveIndicators());
    IndiDialogModel model(table);
    model.SelectionChanged("RSI   相对强弱", Fields{});
    IndiRowsView v = model.RestoreDefaults();
    EXPECT_EQ(Values(v), (std::vector<int>{6, 12, 24}));
    EXPECT_EQ(table, IndicatorParameters());
    IndicatorParameters onDisk;
    onDisk.Load(dir.Path());
    EXPECT_EQ(onDisk[param::kMa1], 2);
}

TEST(IndiDialog, AcceptCommitsAndSaves) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    IndicatorParameters& table = cfg.m_indicators;
    IndiDialogModel model(table);
    model.SelectionChanged("OXGZ  OX图格值设置", Fields{});
    ASSERT_TRUE(model.Accept(Fields{10, 20, 30, 3, 0}, [&cfg] { return cfg.SaveIndicators(); }));
    EXPECT_EQ(
        ReadWholeFile(dir.File("indi.ini")).value().substr(0),
        std::string(
            "12,26,9,6,12,24,14,12,6,26,6,10,9,3,3,14,9,5,5,10,20,14,6,10,6,20,5,10,20,30,60,6,4,2,2,20,23,"
            "8,5,13,34,60,3,6,12,24,12,50,10,20,30,3"));
    // VOL shows the message and commits nothing.
    IndiDialogModel vol(table);
    EXPECT_TRUE(vol.SelectionChanged("VOL   成交量", Fields{}).showNoParameters);
    IndicatorParameters copy = table;
    vol.Commit(Fields{1, 1, 1, 1, 1});
    EXPECT_EQ(table, copy);
}

}  // namespace
}  // namespace qelt
