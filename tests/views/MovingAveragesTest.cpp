// The main chart's moving averages of the close: the running sum goes close after close and
// the divisions two at a time; they meet the plain loop bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "views/kline/MovingAverages.h"

namespace qelt {
namespace {

std::vector<double> PlainAverage(const std::vector<double>& closes, int period) {
    std::vector<double> out;
    double sum = 0.0;
    for (int i = 0; i < static_cast<int>(closes.size()); ++i) {
        sum += closes[static_cast<std::size_t>(i)];
        if (i < period - 1) continue;
        const double mean = sum / period;
        out.push_back(std::fabs(mean) < 0.001 ? 0.0 : mean);
        sum -= closes[static_cast<std::size_t>(i - period + 1)];
    }
    return out;
}

TEST(CloseMovingAverage, MatchesThePlainLoopBitForBitAtEveryLengthAroundItsBlocks) {
    std::mt19937 random(20061208);
    for (int n : {1, 2, 3, 63, 64, 65, 66, 127, 129, 500}) {
        std::vector<double> closes;
        for (int i = 0; i < n; ++i) {
            // Cents near 3000, stretches of 0 (means of exactly 0 and within 0.001 of it).
            const bool zero = (i / 7) % 5 == 3;
            closes.push_back(
                zero ? 0.0 : static_cast<double>(300000 + static_cast<int>(random() % 2001) - 1000) / 100);
        }
        if (n > 10) closes[static_cast<std::size_t>(n / 2)] = 0.0004;
        for (int period : {1, 2, 3, 5, 10, 63, 64, 65, 200, 501}) {
            IndicatorLine line;
            line.values = {1.0, 2.0};  // what a line held before is not shown through
            CloseMovingAverage(closes, period, line);
            const std::vector<double> plain =
                period <= n ? PlainAverage(closes, period) : std::vector<double>{};
            ASSERT_EQ(line.values.size(), plain.size()) << n << " closes, period " << period;
            if (!plain.empty()) EXPECT_EQ(line.first, period - 1);
            for (std::size_t k = 0; k < plain.size(); ++k)
                ASSERT_EQ(std::bit_cast<std::uint64_t>(line.values[k]),
                          std::bit_cast<std::uint64_t>(plain[k]))
                    << n << " closes, period " << period << ", value " << k;
        }
    }
}

}  // namespace
}  // namespace qelt
