// The indicators' values over a long series, bit for bit, as digests: the loops that compute
// them are tuned for speed (divisions four at a time, no branches on the data), and such a
// change must not move a single value by one unit in the last place. The digests were taken
// from the plain one-bar-at-a-time loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <map>
#include <vector>

#include "data/Bar.h"
#include "indicators/BarColumns.h"
#include "indicators/IndicatorTable.h"
#include "support/DigestSeries.h"

namespace qelt {
namespace {

std::uint64_t Digest(const IndicatorResult& result) {
    test::Digester digester;
    auto mix = [&digester](std::uint64_t value) { digester.Mix(value); };
    mix(result.valid);
    for (const IndicatorLine& line : result.lines) {
        mix(static_cast<std::uint64_t>(line.first));
        mix(line.values.size());
        for (double value : line.values) mix(std::bit_cast<std::uint64_t>(value));
    }
    for (std::uint8_t rising : result.rising) mix(rising);
    return digester.Value();
}

TEST(IndicatorDigests, EveryIndicatorGivesTheValuesOfThePlainLoops) {
    const BarSeries bars = test::DigestSeries(3000);
    const int n = static_cast<int>(bars.size());
    // Keyed by code * 10 + 1 for all bars on show, code * 10 for the newest 100.
    const std::map<int, std::uint64_t> expected = {
        {11, 0x868aa61c40459f0dull},  {10, 0x868aa61c40459f0dull},  {21, 0x80032cf8f6d54c1cull},
        {20, 0x80032cf8f6d54c1cull},  {31, 0xa4345427c9c2a072ull},  {30, 0xe854fc661e30d75full},
        {41, 0xf0a2fa204d923224ull},  {40, 0xf0a2fa204d923224ull},  {51, 0xde541bf75aa16d98ull},
        {50, 0xde541bf75aa16d98ull},  {211, 0xbf6e17c71abc9ae7ull}, {210, 0xbf6e17c71abc9ae7ull},
        {221, 0x0e80f17e67f8041aull}, {220, 0x7035981b1a995e9bull}, {231, 0xcd4e1b6ec67fb135ull},
        {230, 0xcd4e1b6ec67fb135ull}, {241, 0x7c5f1f68ece36b43ull}, {240, 0x7c5f1f68ece36b43ull},
        {251, 0x6a20a404edaa4551ull}, {250, 0x3703569887e4ad96ull}, {261, 0xd3177c39149dbd31ull},
        {260, 0x16aa2d2e85449f71ull}, {271, 0x9fdec9272675574cull}, {270, 0xbf8f9e546e408f4eull},
        {411, 0xc0438fa7652b3ed2ull}, {410, 0xb1198cda5d931a52ull}, {421, 0x6eb8872a89d70d65ull},
        {420, 0x069ba87465916999ull}, {431, 0x8133a982d65c115eull}, {430, 0x474a8f05ab1c62fcull},
        {441, 0xca6778ea692321daull}, {440, 0xe2684a1ef96cf9d3ull}, {451, 0xd490f01b65e08a66ull},
        {450, 0xad49a0bec3b4316cull}, {461, 0xad93460a29187b1eull}, {460, 0xad93460a29187b1eull},
        {471, 0x3c752be28c710fcaull}, {470, 0x3c752be28c710fcaull}, {481, 0x2a5bcf7f2472e798ull},
        {480, 0x02e5e4268c08d9eaull}, {491, 0x70eb0095ab0b5cfaull}, {490, 0xee771180af704ea5ull},
    };
    const IndicatorParameters table;
    for (const IndicatorDefinition& definition : IndicatorDefinitions()) {
        // The whole series on show, and the newest 100 bars.
        for (const IndicatorWindow& window :
             {MakeIndicatorWindow(-1, n, n), MakeIndicatorWindow(-1, 100, n)}) {
            BarColumns columns(bars);
            const std::uint64_t digest = Digest(ComputeIndicator(definition.code, columns, window, table));
            const int key = definition.code * 10 + (window.visible == n ? 1 : 0);
            const auto found = expected.find(key);
            if (found == expected.end()) {
                ADD_FAILURE() << definition.key << ": no digest";
                continue;
            }
            EXPECT_EQ(digest, found->second)
                << definition.key << (window.visible == n ? " all bars" : " 100 bars");
        }
    }
}

TEST(IndicatorDigests, OneResultReusedForEveryIndicatorInTurnGivesEachItsOwnValues) {
    // As the pane painter computes pane after pane into one result: lines left by an
    // indicator with more lines, longer or shorter, must not show through in the next one.
    const BarSeries bars = test::DigestSeries(700);
    const int n = static_cast<int>(bars.size());
    const IndicatorParameters table;
    BarColumns columns(bars);
    IndicatorResult reused;
    std::vector<IndicatorDefinition> order(IndicatorDefinitions().begin(), IndicatorDefinitions().end());
    for (int round = 0; round < 3; ++round) {
        for (const IndicatorDefinition& definition : order) {
            for (const IndicatorWindow& window :
                 {MakeIndicatorWindow(-1, n, n), MakeIndicatorWindow(-1, 60, n),
                  MakeIndicatorWindow(300, 80, n)}) {
                ComputeIndicator(definition.code, columns, window, table, reused);
                BarColumns fresh(bars);
                ASSERT_EQ(reused, ComputeIndicator(definition.code, fresh, window, table))
                    << definition.key << " in round " << round;
            }
        }
        std::reverse(order.begin(), order.end());
        std::rotate(order.begin(), order.begin() + 5, order.end());
    }
}

}  // namespace
}  // namespace qelt
