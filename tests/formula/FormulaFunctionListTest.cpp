// The list 插入函数 offers: every name of the language with its argument template and its
// line of description, what inserting one puts in the text, and the filter the user types.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "formula/FormulaDrawingNames.h"
#include "formula/FormulaFunctionList.h"
#include "formula/FormulaNames.h"

namespace qelt::formula {
namespace {

std::vector<std::string> NamesOf(const std::vector<std::size_t>& indexes) {
    std::vector<std::string> names;
    for (std::size_t i : indexes) names.emplace_back(FunctionEntries()[i].name);
    return names;
}

/// The argument count an entry's template shows (a quoted text counts as one).
int TemplateArity(std::string_view arguments) {
    return arguments.empty() ? 0 : static_cast<int>(std::count(arguments.begin(), arguments.end(), ',')) + 1;
}

TEST(FormulaFunctionList, EveryEntryIsWellFormedAndTheEnginesNamesAreAllThere) {
    std::set<std::string_view> names;
    std::set<BarData> data;
    for (const FunctionEntry& entry : FunctionEntries()) {
        EXPECT_TRUE(names.insert(entry.name).second) << "listed twice: " << entry.name;
        EXPECT_FALSE(entry.description.empty()) << entry.name;
        EXPECT_EQ(entry.description.find('\n'), std::string_view::npos) << "one line: " << entry.name;
        EXPECT_EQ(FindFunctionEntry(entry.name), &entry);
        for (char c : entry.name) EXPECT_TRUE((c >= 'A' && c <= 'Z')) << entry.name;
        if (entry.kind == FunctionEntryKind::Data) {
            EXPECT_TRUE(entry.arguments.empty()) << entry.name;
            const std::optional<BarData> known = FindBarData(entry.name);
            EXPECT_TRUE(known) << "not a data name of the engine: " << entry.name;
            if (known) data.insert(*known);
        } else {
            EXPECT_GE(TemplateArity(entry.arguments), 1) << entry.name;
        }
    }
    EXPECT_EQ(data.size(), static_cast<std::size_t>(kBarDataCount)) << "every bar field is offered";
    EXPECT_EQ(FindFunctionEntry("ma"), nullptr) << "looked up in upper case";

    // Every function the engine knows is offered, with as many arguments as it takes.
    int engineFunctions = 0;
    for (int f = 0; f < 256; ++f) {
        const FunctionInfo& info = InfoOf(static_cast<Function>(f));
        if (static_cast<int>(info.function) != f) continue;
        ++engineFunctions;
        const FunctionEntry* entry = FindFunctionEntry(info.name);
        ASSERT_NE(entry, nullptr) << "not offered: " << info.name;
        EXPECT_EQ(entry->kind, FunctionEntryKind::Function) << info.name;
        EXPECT_EQ(TemplateArity(entry->arguments), info.arity) << info.name;
    }
    EXPECT_GE(engineFunctions, 20);

    // The drawing statements with their full argument lists.
    const std::pair<std::string_view, std::string_view> drawings[] = {{"STICKLINE", "COND,P1,P2,W,E"},
                                                                      {"DRAWTEXT", "COND,P,'TEXT'"},
                                                                      {"DRAWNUMBER", "COND,P,X"},
                                                                      {"DRAWICON", "COND,P,K"},
                                                                      {"POLYLINE", "COND,P"}};
    for (const auto& [name, arguments] : drawings) {
        const FunctionEntry* entry = FindFunctionEntry(name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_EQ(entry->kind, FunctionEntryKind::Drawing);
        EXPECT_EQ(entry->arguments, arguments);
    }
}

// Enabled at merge: the engine learns WMA to SIGN and the drawing statements on other branches.
TEST(FormulaFunctionList, EveryFunctionAndDrawingStatementIsKnownToTheEngine) {
    for (const FunctionEntry& entry : FunctionEntries()) {
        if (entry.kind == FunctionEntryKind::Data) continue;
        int arity = -1;
        if (entry.kind == FunctionEntryKind::Drawing) {
            if (const formula::DrawingFunctionInfo* drawing = formula::FindDrawingFunction(entry.name))
                arity = drawing->arity;
        } else if (const FunctionInfo* info = FindFunction(entry.name)) {
            arity = info->arity;
        }
        if (arity < 0) {
            ADD_FAILURE() << "offered but unknown to the engine: " << entry.name;
            continue;
        }
        EXPECT_EQ(TemplateArity(entry.arguments), arity) << entry.name;
    }
}

TEST(FormulaFunctionList, InsertingPutsTheCallInWithItsArgumentsReadyToBeTypedOver) {
    const FunctionInsertion ma = InsertionOf(*FindFunctionEntry("MA"));
    EXPECT_EQ(ma.text, "MA(X,N)");
    EXPECT_EQ(ma.text.substr(ma.selectFrom, ma.selectLength), "X,N");
    const FunctionInsertion text = InsertionOf(*FindFunctionEntry("DRAWTEXT"));
    EXPECT_EQ(text.text, "DRAWTEXT(COND,P,'TEXT')");
    EXPECT_EQ(text.text.substr(text.selectFrom, text.selectLength), "COND,P,'TEXT'");
    const FunctionInsertion close = InsertionOf(*FindFunctionEntry("CLOSE"));
    EXPECT_EQ(close.text, "CLOSE");
    EXPECT_EQ(close.selectFrom, 5);
    EXPECT_EQ(close.selectLength, 0) << "a data name: the cursor after it";
    EXPECT_EQ(CallForm(*FindFunctionEntry("SMA")), "SMA(X,N,M)");
}

TEST(FormulaFunctionList, TheFilterFindsNamesByPrefixThenByPartThenDescriptions) {
    EXPECT_EQ(FilterFunctionEntries("").size(), FunctionEntries().size());
    EXPECT_EQ(FilterFunctionEntries("  ").size(), FunctionEntries().size()) << "blanks are no filter";

    // "ma": MA and MAX begin with it; EMA, SMA, DMA, WMA hold it; nothing else does.
    EXPECT_EQ(NamesOf(FilterFunctionEntries(" ma")),
              (std::vector<std::string>{"MA", "MAX", "EMA", "SMA", "DMA", "WMA"}));
    const std::vector<std::string> bars = NamesOf(FilterFunctionEntries("BarsL"));
    EXPECT_EQ(bars, (std::vector<std::string>{"BARSLAST", "BARSLASTCOUNT"}));

    // By description: Chinese text, and ASCII in it without case.
    EXPECT_EQ(NamesOf(FilterFunctionEntries("标准差")), (std::vector<std::string>{"STD", "STDP"}));
    const std::vector<std::string> hhmm = NamesOf(FilterFunctionEntries("hhmm"));
    EXPECT_EQ(hhmm, (std::vector<std::string>{"TIME"}));
    // Names beginning with the filter, then names holding it, then descriptions holding it.
    const std::vector<std::string> c = NamesOf(FilterFunctionEntries("c"));
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(c.front(), "COUNT") << "in list order among the names beginning with C";
    EXPECT_NE(std::find(c.begin(), c.end(), "C"), c.end());
    EXPECT_LT(std::find(c.begin(), c.end(), "CLOSE"), std::find(c.begin(), c.end(), "BARSCOUNT"));
    EXPECT_EQ(c.back(), "VALUEWHEN") << "its description's C";
    EXPECT_TRUE(FilterFunctionEntries("没有这样的函数").empty());
}

}  // namespace
}  // namespace qelt::formula
