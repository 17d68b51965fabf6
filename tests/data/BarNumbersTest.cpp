// A bar row's numbers are what the leading-number helpers read from its texts, however the
// row was made or changed: the computations read the numbers and never the texts again.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "data/Bar.h"
#include "support/BarNumbersCheck.h"

namespace qelt {
namespace {

using test::NumbersMatchTexts;

/// Texts of every form the fast readers take and of the forms they hand on to the general
/// ones (signs, blanks, exponents, long digit runs, text after the number, no digits).
const std::vector<std::string> kTrickyTexts = {
    "",           "0",          "3012.50",    "12345",       "99999999",
    "100000000",  ".5",         "5.",         ".",           "1.2.3",
    "-3.5",       "+3.5",       " 3.5",       "\t12",        "abc",
    "12ab",       "1e3",        "12.5e1",     "2e",          "1e400",
    "-1e400",     "0x1F",       "inf",        "nan",         "0000000.1",
    "12345678.9", "2147483647", "2147483648", "-2147483649", "99999999999999999999",
    "-0",         "3012.5 x",   "\xb9\xc9",   "0.1234567",   "1234567890123456789",
};

TEST(BarNumbers, EveryTextReadsAsTheLeadingNumberHelpersReadItInEveryField) {
    for (const std::string& text : kTrickyTexts) {
        const CBarRow bar{text, text, text, text, text, text, text, text, text, text};
        ASSERT_TRUE(NumbersMatchTexts(bar)) << "\"" << text << "\"";
        // The same text at the very end of a row (nothing of the row after it) and amid others.
        const CBarRow last{"20060601", "1", "2", "3", "4", "5", "6", text};
        ASSERT_TRUE(NumbersMatchTexts(last)) << "\"" << text << "\" last";
    }
    const CBarRow plain{"20060601", "3012.50", "3020.25", "3031.00", "3001.75",
                        "12345",    "3015.5",  "800",     "9",       "200606"};
    EXPECT_EQ(plain.Open(), 3012.5);
    EXPECT_EQ(plain.Close(), 3020.25);
    EXPECT_EQ(plain.High(), 3031.0);
    EXPECT_EQ(plain.Low(), 3001.75);
    EXPECT_EQ(plain.Avg(), 3015.5);
    EXPECT_EQ(plain.Num(), 12345);
    EXPECT_EQ(plain.Pure(), 800);
    EXPECT_EQ(plain.Null(), 9);
    EXPECT_EQ(plain.Date(), 20060601);
    EXPECT_EQ(plain.Price(kBarNull), 0.0);
    EXPECT_EQ(plain.Price(kBarNum), 0.0);
    EXPECT_EQ(plain.Whole(kBarDue), 0);
    EXPECT_EQ(CBarRow().Close(), 0.0);
    EXPECT_EQ(ClampedInt(std::int64_t{1} << 40), 2147483647);
    EXPECT_EQ(ClampedInt(-(std::int64_t{1} << 40)), -2147483647 - 1);
}

TEST(BarNumbers, ChangingSomeFieldsReadsThoseAndKeepsTheOthers) {
    CBarRow bar{"20060601", "10.00", "11.00", "12.00", "9.00", "150", "10.50", "30", "40", "200606"};
    bar.Set(kBarClose, "11.255");
    EXPECT_EQ(bar.Close(), 11.255);
    EXPECT_EQ(bar.Open(), 10.0);
    bar.Set(kBarNum, "");  // shorter: the row keeps its allocation, the number follows the text
    EXPECT_EQ(bar.Num(), 0);
    bar.Set(kBarHigh, "123456789.125");  // longer than the row had room for
    EXPECT_EQ(bar.High(), 123456789.125);
    EXPECT_TRUE(NumbersMatchTexts(bar));
    // Fields taken from the row itself, moved around: read from where they go.
    bar.Assign({bar[kBarDate], bar[kBarLow], bar[kBarHigh], bar[kBarOpen], bar[kBarClose], bar[kBarPure],
                bar[kBarAvg], bar[kBarNum], bar[kBarNull], bar[kBarDue]});
    EXPECT_EQ(bar.Open(), 9.0);
    EXPECT_EQ(bar.Close(), 123456789.125);
    EXPECT_EQ(bar.High(), 10.0);
    EXPECT_EQ(bar.Low(), 11.255);
    EXPECT_EQ(bar.Num(), 30);
    EXPECT_EQ(bar.Pure(), 0);
    EXPECT_TRUE(NumbersMatchTexts(bar));
    bar.Set(kBarDate, "");
    bar.Set(kBarDue, "1e3");  // a field without a number changes none
    EXPECT_EQ(bar.Date(), 0);
    EXPECT_TRUE(NumbersMatchTexts(bar));
}

TEST(BarNumbers, TextsCutAtTheRowsLimitAreReadAsCut) {
    // The date takes all but three bytes: the open keeps "123" of "12345", the rest nothing.
    const std::string date(CBarRow::kMaxText - 3, '7');
    const CBarRow bar{date, "12345", "678", "9"};
    EXPECT_EQ(bar[kBarOpen], "123");
    EXPECT_EQ(bar.Open(), 123.0);
    EXPECT_EQ(bar.Close(), 0.0);
    EXPECT_EQ(bar.High(), 0.0);
    EXPECT_TRUE(NumbersMatchTexts(bar));
    CBarRow changed = bar;
    changed.Set(kBarOpen, "4.5");
    EXPECT_EQ(changed[kBarOpen], "4.5");
    EXPECT_EQ(changed.Open(), 4.5);
    EXPECT_TRUE(NumbersMatchTexts(changed));
}

TEST(BarNumbers, CopiesAndMovesCarryTheNumbersAndAMovedFromRowIsEmpty) {
    const CBarRow source{"20060601", "10.00", "11.00", "12.00", "9.00", "150", "10.50", "30", "40", "200606"};
    CBarRow copy(source);
    EXPECT_EQ(copy, source);
    EXPECT_EQ(copy.Close(), 11.0);
    CBarRow roomy{std::string(300, '1'), "99999999"};
    roomy = source;  // into a row with more room than it needs
    EXPECT_EQ(roomy, source);
    EXPECT_TRUE(NumbersMatchTexts(roomy));
    roomy = roomy;
    EXPECT_EQ(roomy, source);
    CBarRow moved(std::move(copy));
    EXPECT_EQ(moved, source);
    EXPECT_EQ(moved.Num(), 150);
    EXPECT_EQ(copy, CBarRow());  // NOLINT: a moved-from row reads empty
    EXPECT_TRUE(NumbersMatchTexts(copy));
    copy = std::move(moved);
    EXPECT_EQ(copy.High(), 12.0);
    EXPECT_TRUE(NumbersMatchTexts(moved));
    copy.Set(kBarClose, "1");  // a row moved into works on as any other
    EXPECT_EQ(copy.Close(), 1.0);
    BarSeries series(50, source);
    series.insert(series.begin(), CBarRow{"1", "2"});  // the rows move up in the vector
    EXPECT_TRUE(NumbersMatchTexts(series));
    EXPECT_EQ(series[50].Avg(), 10.5);
}

TEST(BarNumbers, AMinuteBarsTimeTravelsWithTheRowAndTellsRowsApart) {
    CBarRow minute{"20260303", "10.00", "10.20", "10.30", "9.90", "15", "10.10", "30", "40", ""};
    minute.SetTime(935);
    CBarRow other = minute;
    EXPECT_EQ(other.Time(), 935);
    other.SetTime(940);
    EXPECT_FALSE(other == minute);  // same texts, another minute: another bar
    CBarRow moved(std::move(other));
    EXPECT_EQ(moved.Time(), 940);
    EXPECT_EQ(other.Time(), 0);  // NOLINT: a moved-from row reads empty
    other = minute;
    EXPECT_EQ(other.Time(), 935);
    other = std::move(moved);
    EXPECT_EQ(other.Time(), 940);
    other.Set(kBarClose, "10.40");  // a text changed: the time stays
    EXPECT_EQ(other.Time(), 940);
    minute.SetTime(99999);
    EXPECT_EQ(minute.Time(), 2359);
    EXPECT_EQ(CBarRow{"20260303"}.Time(), 0);
    // Rows whose texts live apart from the row (beyond its own room) carry the time too, also
    // when a copy goes into a row whose allocation is large enough to keep.
    const std::string longDue(150, '9');
    CBarRow wide{"20260303", "10.00", "10.20", "10.30", "9.90", "15", "10.10", "30", "40", longDue};
    wide.SetTime(1455);
    CBarRow roomy{"20260302", "1", "1", "1", "1", "1", "1", "1", "1", std::string(200, '8')};
    roomy.SetTime(900);
    roomy = wide;
    EXPECT_EQ(roomy.Time(), 1455);
    EXPECT_EQ(roomy, wide);
    CBarRow wideMoved(std::move(wide));
    EXPECT_EQ(wideMoved.Time(), 1455);
    EXPECT_EQ(wide.Time(), 0);  // NOLINT: a moved-from row reads empty
    wideMoved.Assign({"20260304", "1", "2", "3", "0.5", "1", "1", "1", "1", ""});  // back inline
    EXPECT_EQ(wideMoved.Time(), 1455);
    CBarRow day{"20260303", "10.00", "10.20", "10.30", "9.90", "15", "10.10", "30", "40", ""};
    day = wideMoved;  // a minute bar copied over a day bar brings its time along
    EXPECT_EQ(day.Time(), 1455);
    day = CBarRow{"20260305"};  // and a day bar copied over a minute bar takes it away
    EXPECT_EQ(day.Time(), 0);
    // The time lives in room the row had anyway: a stored day bar is no larger for it.
    EXPECT_EQ(sizeof(CBarRow), 192u);
}

TEST(BarNumbers, RowsAcrossTheInlineLimitCopyMoveAndChangeWithTheirTexts) {
    // Texts of 87, 88 and 89 bytes in all (the last one beyond the row's own room), rows
    // grown past the limit and shrunk back, copied and moved both ways.
    auto row = [](std::size_t total) {
        const std::string date(total - 9 * 5, '2');
        return CBarRow{date, "10.25", "11.50", "12.75", "9.125", "12345", "10.50", "00300", "00400", "20065"};
    };
    std::vector<CBarRow> rows;
    for (std::size_t total :
         {CBarRow::kInlineText - 1, CBarRow::kInlineText, CBarRow::kInlineText + 1, std::size_t{300}}) {
        rows.push_back(row(total));
        std::size_t size = 0;
        for (const std::string& text : rows.back().Texts()) size += text.size();
        ASSERT_EQ(size, total);
        EXPECT_EQ(rows.back()[kBarDue], "20065");
        EXPECT_EQ(rows.back().Low(), 9.125);
    }
    for (const CBarRow& from : rows) {
        for (const CBarRow& into : rows) {
            CBarRow copy = into;
            copy = from;
            EXPECT_EQ(copy, from);
            EXPECT_TRUE(NumbersMatchTexts(copy));
            CBarRow source = from, moved = into;
            moved = std::move(source);
            EXPECT_EQ(moved, from);
            EXPECT_EQ(source, CBarRow());  // NOLINT: a moved-from row reads empty
            // Grown past the limit and back within it, in place.
            moved.Set(kBarDue, std::string(200, '7'));
            EXPECT_EQ(moved[kBarDue].size(), 200u);
            EXPECT_EQ(moved[kBarHigh], "12.75");
            moved.Set(kBarDue, "1");
            moved.Set(kBarDate, "20060601");
            EXPECT_EQ(moved.Texts(), (std::vector<std::string>{"20060601", "10.25", "11.50", "12.75", "9.125",
                                                               "12345", "10.50", "00300", "00400", "1"}));
            EXPECT_EQ(moved.Pure(), 300);
            EXPECT_EQ(moved.Date(), 20060601);
            EXPECT_TRUE(NumbersMatchTexts(moved));
        }
    }
}

TEST(BarNumbers, RandomChangesOfARowKeepItsNumbersWithItsTexts) {
    // Rows updated in place over and over (a live quote into the last day bar): texts that
    // grow, shrink, come back to an earlier text and swap places.
    std::mt19937 random(20061208);
    CBarRow bar;
    std::vector<std::string> texts(CBarRow::kFieldCount);
    for (int round = 0; round < 5000; ++round) {
        const std::size_t field = random() % CBarRow::kFieldCount;
        const std::string& text = kTrickyTexts[random() % kTrickyTexts.size()];
        switch (random() % 3) {
            case 0:
                bar.Set(field, text);
                texts[field] = text;
                break;
            case 1: {
                std::array<std::string_view, CBarRow::kFieldCount> fields;
                for (std::size_t k = 0; k < fields.size(); ++k) fields[k] = bar[k];
                std::swap(fields[field], fields[random() % fields.size()]);
                bar.Assign(fields);
                for (std::size_t k = 0; k < fields.size(); ++k) texts[k] = std::string(bar[k]);
                break;
            }
            default:
                bar = CBarRow(std::vector<std::string_view>(texts.begin(), texts.end()));
                break;
        }
        for (std::size_t k = 0; k < texts.size(); ++k) ASSERT_EQ(bar[k], texts[k]) << round;
        ASSERT_TRUE(NumbersMatchTexts(bar)) << "round " << round;
    }
}

}  // namespace
}  // namespace qelt
