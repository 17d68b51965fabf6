// The lane helpers must give each lane what the scalar code they stand in for gives: the
// indicators' values depend on it bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/FloatLanes.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

std::uint32_t BitsOf(float v) { return std::bit_cast<std::uint32_t>(v); }

/// Floats around the thresholds and the special values, four at a time.
std::vector<float> EdgeFloats() {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> values = {0.0f, -0.0f, inf,     -inf,   std::nanf(""),
                                 1.0f, -1.0f, 3012.5f, 1e-30f, -1e-30f};
    for (float edge : {0.001f, -0.001f}) {
        float v = edge;
        for (int i = 0; i < 4; ++i) v = std::nextafter(v, 0.0f);
        for (int i = 0; i < 9; ++i, v = std::nextafter(v, edge * 2)) values.push_back(v);
    }
    while (values.size() % lanes::kWidth != 0) values.push_back(0.5f);
    return values;
}

TEST(FloatLanes, ZeroSmallMakesZeroWhatIsZeroValueTakesForZero) {
    const std::vector<float> values = EdgeFloats();
    for (std::size_t i = 0; i < values.size(); i += lanes::kWidth) {
        const lanes::Floats snapped = lanes::ZeroSmall(lanes::Load(values.data() + i));
        for (int k = 0; k < lanes::kWidth; ++k) {
            const float v = values[i + static_cast<std::size_t>(k)];
            const float expected = IsZeroValue(v) ? 0.0f : v;
            EXPECT_EQ(BitsOf(snapped[k]), BitsOf(expected)) << v;
        }
    }
}

TEST(FloatLanes, MaxSelectAndKeepAreStdMaxTheTernaryAndTheMaskBitForBit) {
    const std::vector<float> values = EdgeFloats();
    for (std::size_t i = 0; i < values.size(); i += lanes::kWidth) {
        for (std::size_t j = 0; j < values.size(); j += lanes::kWidth) {
            const lanes::Floats a = lanes::Load(values.data() + i), b = lanes::Load(values.data() + j);
            const lanes::Floats high = lanes::Max(a, b);
            const lanes::Floats picked = lanes::Select(a < b, a, b);
            const lanes::Floats kept = lanes::KeepWhere(a, a > b);
            for (int k = 0; k < lanes::kWidth; ++k) {
                const float x = a[k], y = b[k];
                EXPECT_EQ(BitsOf(high[k]), BitsOf(std::max(x, y))) << x << " " << y;
                EXPECT_EQ(BitsOf(picked[k]), BitsOf(x < y ? x : y)) << x << " " << y;
                EXPECT_EQ(BitsOf(kept[k]), BitsOf(x > y ? x : 0.0f)) << x << " " << y;
            }
        }
    }
}

}  // namespace
}  // namespace qelt
