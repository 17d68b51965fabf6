// formulaparam.ini: the values the user set for a formula's parameters in the K-line view,
// found again at the next start, matched by name, giving way to the defaults when the
// formula changed under them; hostile lines skipped; an unreadable file never written over.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Files.h"
#include "formula/FormulaValueTable.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

StoredFormula Channel() {
    return StoredFormula{1003, "通道", "", {{"N", 20, 2, 250}, {"系数", 0.5, 0.1, 3}}, "A:HHV(H,N)*系数;"};
}

TEST(FormulaValueTable, ValuesSetForAFormulaComeBackAtTheNextStartByName) {
    test::TempDir dir;
    FormulaValueTable table(dir.Path());
    ASSERT_TRUE(table.Load()) << "a missing file is an empty table";
    StoredFormula formula = Channel();
    EXPECT_EQ(table.ValuesFor(formula), (std::vector<double>{20, 0.5})) << "the defaults";
    ASSERT_TRUE(table.Set(formula, {34, 1.25}));
    EXPECT_EQ(ReadWholeFile(dir.File("formulaparam.ini")).value(), "1003=N:34,系数:1.25\n");

    FormulaValueTable next(dir.Path());
    ASSERT_TRUE(next.Load());
    EXPECT_EQ(next.ValuesFor(formula), (std::vector<double>{34, 1.25}));
    // The editor reorders the parameters, writes one in other letter case and adds another:
    // the values follow their names.
    formula.parameters = {{"M", 3, 1, 9}, {"系数", 1, 0.1, 3}, {"n", 20, 2, 250}};
    EXPECT_EQ(next.ValuesFor(formula), (std::vector<double>{3, 1.25, 34}));
    // A range that no longer holds the value gives the default back.
    formula.parameters[2].maximum = 30;
    EXPECT_EQ(next.ValuesFor(formula), (std::vector<double>{3, 1.25, 20}));
    // Another formula is untouched by this one's values.
    StoredFormula other = Channel();
    other.id = 1004;
    EXPECT_EQ(next.ValuesFor(other), (std::vector<double>{20, 0.5}));
}

TEST(FormulaValueTable, HostileLinesAreSkippedAndTheRestIsKept) {
    const FormulaValueMap values = ParseFormulaValues(
        "1003=N:5\r\n"
        "999=N:5\n"          // not a formula's id
        "12345678901=N:5\n"  // beyond any id
        "-1004=N:5\n"
        "1005=N:nan\n"                        // no decimal
        "1006=N:1e999\n"                      // not finite
        "1007=N:1,M:2,\n"                     // a trailing comma
        "1008=A:1,B:2,C:3,D:4,E:5,F:6,G:7\n"  // seven values
        "1009=1N:2\n"                         // not a name
        "1010=N=2\n"
        "garbage\n"
        "1011=N:-2.5,M:.5");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values.at(1003), (std::vector<std::pair<std::string, double>>{{"N", 5}}));
    EXPECT_EQ(values.at(1011), (std::vector<std::pair<std::string, double>>{{"N", -2.5}, {"M", 0.5}}));
    EXPECT_EQ(ParseFormulaValues(FormatFormulaValues(values)), values) << "written as read";
}

TEST(FormulaValueTable, AFileThatCannotBeReadIsNeverWrittenOverAndAFailedWriteKeepsTheValues) {
    test::TempDir dir;
    const std::string path = dir.File("formulaparam.ini");
    const std::string large(kMaxFormulaValueFileBytes + 1, '#');
    ASSERT_TRUE(WriteFileAtomic(path, large));
    FormulaValueTable table(dir.Path());
    EXPECT_FALSE(table.Load());
    EXPECT_FALSE(table.Set(Channel(), {30, 1}));
    EXPECT_EQ(table.ValuesFor(Channel()), (std::vector<double>{30, 1})) << "kept for this run";
    EXPECT_EQ(ReadWholeFile(path, kMaxFormulaValueFileBytes * 2).value(), large);

    test::TempDir other;
    FormulaValueTable writable(other.Path());
    ASSERT_TRUE(writable.Load());
    {
        test::FailingDisk disk(test::FailingDisk::Fault::ReadOnlyDirectory);
        EXPECT_FALSE(writable.Set(Channel(), {30, 1}));
    }
    EXPECT_EQ(writable.ValuesFor(Channel()), (std::vector<double>{30, 1}));
    StoredFormula second = Channel();
    second.id = 1004;
    ASSERT_TRUE(writable.Set(second, {40, 2}));
    EXPECT_EQ(ReadWholeFile(other.File("formulaparam.ini")).value(), "1003=N:30,系数:1\n1004=N:40,系数:2\n")
        << "the next write takes the earlier value along";
}

}  // namespace
}  // namespace qelt
