#pragma once
// Whether a bar row's numbers are, bit for bit, what the leading-number helpers read from its
// texts: every way of making or changing a row must leave them so.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "common/Numbers.h"
#include "data/Bar.h"

namespace qelt::test {

inline ::testing::AssertionResult NumbersMatchTexts(const CBarRow& bar) {
    for (BarField field : {kBarOpen, kBarClose, kBarHigh, kBarLow, kBarAvg}) {
        const double expected = LeadingDouble(bar[field]);
        if (std::bit_cast<std::uint64_t>(bar.Price(field)) != std::bit_cast<std::uint64_t>(expected)) {
            return ::testing::AssertionFailure() << "field " << field << " \"" << bar[field] << "\" holds "
                                                 << bar.Price(field) << ", the text reads " << expected;
        }
        const float single = static_cast<float>(bar.Price(field)), text = LeadingFloat(bar[field]);
        if (std::bit_cast<std::uint32_t>(single) != std::bit_cast<std::uint32_t>(text))
            return ::testing::AssertionFailure()
                   << "field " << field << " \"" << bar[field] << "\" as a float";
    }
    for (BarField field : {kBarNum, kBarPure, kBarNull, kBarDate}) {
        if (bar.Whole(field) != LeadingInt64(bar[field]) ||
            ClampedInt(bar.Whole(field)) != LeadingInt(bar[field])) {
            return ::testing::AssertionFailure()
                   << "field " << field << " \"" << bar[field] << "\" holds " << bar.Whole(field)
                   << ", the text reads " << LeadingInt64(bar[field]);
        }
    }
    if (bar.Open() != bar.Price(kBarOpen) || bar.Close() != bar.Price(kBarClose) ||
        bar.High() != bar.Price(kBarHigh) || bar.Low() != bar.Price(kBarLow) ||
        bar.Avg() != bar.Price(kBarAvg) || bar.Num() != bar.Whole(kBarNum) ||
        bar.Pure() != bar.Whole(kBarPure) || bar.Null() != bar.Whole(kBarNull) ||
        bar.Date() != bar.Whole(kBarDate))
        return ::testing::AssertionFailure() << "a named number differs from its field's";
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult NumbersMatchTexts(const BarSeries& bars) {
    for (std::size_t i = 0; i < bars.size(); ++i) {
        ::testing::AssertionResult one = NumbersMatchTexts(bars[i]);
        if (!one) return one << " (bar " << i << ")";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace qelt::test
