// winfile.ini and logscale.ini: the K-line view's pane layout and its logarithmic scale.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "data/settings/KLineSettingsFiles.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(WinFile, ValuesBeforeEachBarAreThePanesAndATrailingPieceCountsAsZero) {
    EXPECT_EQ(ParseWinfile("1|21|"), (std::vector<int>{1, 21}));
    EXPECT_EQ(ParseWinfile("1|21|3|"), (std::vector<int>{1, 21, 3})) << "four windows: VOL, MACD, VR";
    EXPECT_EQ(ParseWinfile("1|21|3"), (std::vector<int>{1, 21, 0})) << "a piece without a bar reads as 0";
    EXPECT_EQ(ParseWinfile("99|x|"), (std::vector<int>{99, 0})) << "ids are kept as they are";
    EXPECT_TRUE(ParseWinfile("").empty()) << "an empty file: the main chart alone";
    EXPECT_EQ(ParseWinfile("1|2|3|4|5|6|7|8|9|").size(), 7u) << "no more than eight windows";
    EXPECT_EQ(FormatWinfile({1, 21}), "1|21|");
    EXPECT_EQ(FormatWinfile({}), "");
}

TEST(WinFile, RoundTripsThroughTheProgramDirectoryAndAMissingFileIsNothing) {
    test::TempDir dir;
    EXPECT_FALSE(ReadWinfile(dir.Path()).has_value());
    ASSERT_TRUE(WriteWinfile(dir.Path(), {1, 21, 41}));
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1|21|41|") << "no line break";
    EXPECT_EQ(ReadWinfile(dir.Path()).value(), (std::vector<int>{1, 21, 41}));
    ASSERT_TRUE(WriteFileAtomic(dir.File("winfile.ini"), std::string(100000, '1')));
    EXPECT_FALSE(ReadWinfile(dir.Path()).has_value()) << "a file far too big for a layout is not read";
    EXPECT_FALSE(WriteWinfile(dir.File("missing/"), {1})) << "a failed write is reported, not thrown";
}

TEST(LogScaleFile, RemembersTheOptionAndIsOffWithoutAFile) {
    test::TempDir dir;
    EXPECT_FALSE(ReadLogScale(dir.Path()));
    ASSERT_TRUE(WriteLogScale(dir.Path(), true));
    EXPECT_TRUE(ReadLogScale(dir.Path()));
    ASSERT_TRUE(WriteLogScale(dir.Path(), false));
    EXPECT_FALSE(ReadLogScale(dir.Path()));
    ASSERT_TRUE(WriteWinfile(dir.Path(), {1}));
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1|") << "winfile.ini keeps its own format";
}

TEST(KLinePeriodFile, NamesOneOfTheEightPeriodsAndTakesTheDayForAnythingElse) {
    for (int period = 1; period <= 8; ++period) {
        EXPECT_EQ(ParseKLinePeriod(FormatKLinePeriod(period)), period);
    }
    EXPECT_EQ(FormatKLinePeriod(5), "5");
    for (const char* text : {"9", "0", "-3", "x", "", "5x"}) {
        EXPECT_EQ(ParseKLinePeriod(text), text == std::string("5x") ? 5 : 1) << text;
    }
}

}  // namespace
}  // namespace qelt
