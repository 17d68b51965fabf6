#pragma once
/// Sums of quantities read from the wire, which can be as large as the int64 range.
#include <cstdint>

namespace qelt {

/// a + b, stopping at the ends of the int64 range instead of overflowing.
inline std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t out;
    if (__builtin_add_overflow(a, b, &out)) return b > 0 ? INT64_MAX : INT64_MIN;
    return out;
}

}  // namespace qelt
