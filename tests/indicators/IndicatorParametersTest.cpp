#include <gtest/gtest.h>

#include "common/Files.h"
#include "data/settings/CQeltCFG.h"
#include "data/settings/IndicatorParameters.h"
#include "indicators/IndicatorCatalogue.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

constexpr std::string_view kDefaultsLine =
    "12,26,9,6,12,24,14,12,6,26,6,10,9,3,3,14,9,5,5,10,20,14,6,10,6,20,5,10,20,30,60,6,4,2,2,20,23,"
    "8,5,13,34,60,3,6,12,24,12,50,0,0,0,1";

TEST(IndiIni, DefaultsAreWrittenAsOneLineWithoutLineEnd) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());  // no indi.ini: the defaults stand
    EXPECT_EQ(cfg.m_indicators, IndicatorParameters());
    ASSERT_TRUE(cfg.SaveIndicators());
    EXPECT_EQ(ReadWholeFile(dir.File("indi.ini")).value(), kDefaultsLine);
}

TEST(IndiIni, LoadTakesTheFirst52ValuesAndKeepsDefaultsForMissingOnes) {
    test::TempDir dir;
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += (i ? "," : "") + std::to_string(100 + i);
    ASSERT_TRUE(WriteFileAtomic(dir.File("indi.ini"), sixty + "\r\n"));
    IndicatorParameters table;
    table.Load(dir.Path());
    for (int i = 0; i < kIndicatorParameterCount; ++i) EXPECT_EQ(table[i], 100 + i) << i;

    ASSERT_TRUE(WriteFileAtomic(dir.File("indi.ini"), "1,2,-3"));
    table.Load(dir.Path());
    EXPECT_EQ(table[0], 1);
    EXPECT_EQ(table[2], -3);
    EXPECT_EQ(table[3], 6) << "a short file keeps the defaults beyond its values";
    EXPECT_EQ(table[51], 1);
}

TEST(IndiIni, AnEmptyFieldReadsZeroAndEndsTheParse) {
    EXPECT_EQ(ParseIndicatorValues("12,,9"), (std::vector<int>{12, 0}));
    EXPECT_EQ(ParseIndicatorValues(",5,6"), (std::vector<int>{0}));
    EXPECT_EQ(ParseIndicatorValues(" 7,x,8\n"), (std::vector<int>{7, 0, 8}));
    EXPECT_TRUE(ParseIndicatorValues("").empty());

    test::TempDir dir;
    ASSERT_TRUE(WriteFileAtomic(dir.File("indi.ini"), "12,,9,9,9"));
    IndicatorParameters table;
    table.Load(dir.Path());
    EXPECT_EQ(table[0], 12);
    EXPECT_EQ(table[1], 0);
    EXPECT_EQ(table[2], 9) << "the default, not the file's 9";
    EXPECT_EQ(table[3], 6);
}

TEST(IndiIni, FormatRoundTripsNegativeAndExtremeValues) {
    test::TempDir dir;
    CQeltCFG cfg(dir.Path());
    IndicatorParameters& table = cfg.m_indicators;
    table[0] = -2147483647 - 1;
    table[51] = 2147483647;
    ASSERT_TRUE(cfg.SaveIndicators());
    IndicatorParameters back;
    back.Load(dir.Path());
    EXPECT_EQ(back, table);
    EXPECT_EQ(CQeltCFG(dir.Path()).m_indicators, table) << "the next start reads them back";
}

TEST(IndicatorCatalogue, CodesMapToTheDialogKeyList) {
    EXPECT_EQ(CodeToKeyPosition(0), 0);
    EXPECT_EQ(CodeToKeyPosition(5), 5);
    EXPECT_EQ(CodeToKeyPosition(21), 6);
    EXPECT_EQ(CodeToKeyPosition(27), 12);
    EXPECT_EQ(CodeToKeyPosition(41), 13);
    EXPECT_EQ(CodeToKeyPosition(49), 21);
    for (int code : {-1, 6, 20, 28, 40, 50, 1000}) EXPECT_EQ(CodeToKeyPosition(code), -1) << code;
    for (const IndicatorInfo& info : IndicatorCatalogue()) {
        EXPECT_EQ(KeyFromTreeText(info.treeText), info.key) << "tree text keeps its key in 6 bytes";
        if (info.code >= 0) {
            EXPECT_EQ(FindIndicatorByCode(info.code), &info) << info.key;
        }
        if (!info.menuText.empty()) {
            EXPECT_EQ(info.menuText.substr(0, 7).find_first_not_of(' ', info.key.size()),
                      std::string_view::npos)
                << "menu text pads the key to 7 characters: " << info.key;
        }
    }
    // Every position is edited by exactly one indicator.
    std::vector<int> owners(kIndicatorParameterCount, 0);
    for (const IndicatorInfo& info : IndicatorCatalogue())
        for (int p : info.positions) ++owners[static_cast<size_t>(p)];
    for (int p = 0; p < kIndicatorParameterCount; ++p) EXPECT_EQ(owners[static_cast<size_t>(p)], 1) << p;
}

}  // namespace
}  // namespace qelt
