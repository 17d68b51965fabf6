#pragma once
/// Pixel positions computed in floating point, as the painters turn them into device pixels.

namespace qelt {

/// The value truncated toward zero, as a cast to int, but held within +-2^24 so that a huge
/// or non-finite position (a flat price range, a far zoom) still gives a defined pixel.
inline int TruncToPixel(double value) {
    constexpr double kLimit = 1 << 24;
    if (!(value > -kLimit)) return -(1 << 24);
    if (value > kLimit) return 1 << 24;
    return static_cast<int>(value);
}

}  // namespace qelt
