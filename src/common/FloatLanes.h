#pragma once
/// Four floats in one register, for loops whose divisions do not depend on each other.
///
/// A float division is the slowest step of the indicators' loops and of reading prices, and
/// a division of four lanes costs what a division of one does. Each lane is divided, rounded
/// and converted exactly as the same scalar operation would be (IEEE operations are correctly
/// rounded lane by lane), so a loop that keeps its order of operations per value keeps its
/// results bit for bit. The compiler's vector extensions give plain SSE2 instructions.
#include <cmath>
#include <cstdint>
#include <cstring>

namespace qelt::lanes {

using Floats = float __attribute__((vector_size(16)));
using Ints = std::int32_t __attribute__((vector_size(16)));

inline constexpr int kWidth = 4;

inline Floats Load(const float* values) {
    Floats v;
    std::memcpy(&v, values, sizeof v);
    return v;
}

inline void Store(float* out, Floats v) { std::memcpy(out, &v, sizeof v); }

inline Floats Same(float value) { return Floats{value, value, value, value}; }

/// Four integers read as floats (exact below 2^24).
inline Floats FromInts(const std::int32_t* values) {
    Ints v;
    std::memcpy(&v, values, sizeof v);
    return __builtin_convertvector(v, Floats);
}

/// The four lanes widened to doubles, as a float assigned to a double is.
inline void StoreDoubles(double* out, Floats v) {
    for (int i = 0; i < kWidth; ++i) out[i] = static_cast<double>(v[i]);
}

inline Ints Bits(Floats v) {
    Ints bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

inline Floats FromBits(Ints bits) {
    Floats v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

/// `value` where `keep` is true, +0.0f elsewhere, lane by lane (`keep` from a comparison).
inline Floats KeepWhere(Floats value, Ints keep) { return FromBits(Bits(value) & keep); }

/// `a` where `keep` is true, `b` elsewhere, bit for bit (-0.0f and NaN included).
inline Floats Select(Ints keep, Floats a, Floats b) { return FromBits((Bits(a) & keep) | (Bits(b) & ~keep)); }

/// std::fabs lane by lane: the sign bit cleared.
inline Floats Abs(Floats v) { return FromBits(Bits(v) & 0x7FFFFFFF); }

/// std::max lane by lane: `b` where a < b, else `a` (NaN included).
inline Floats Max(Floats a, Floats b) { return Select(a < b, b, a); }

/// The square root lane by lane: correctly rounded, as std::sqrt of each float is.
inline Floats Sqrt(Floats v) {
#if defined(__SSE__)
    return __builtin_ia32_sqrtps(v);
#else
    return Floats{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

/// Four doubles narrowed to floats, as a double assigned to a float is.
inline Floats FromDoubles(const double* values) {
    return Floats{static_cast<float>(values[0]), static_cast<float>(values[1]), static_cast<float>(values[2]),
                  static_cast<float>(values[3])};
}

/// Each lane that IsZeroValue takes for zero made 0.0f: |v| < 0.001 in doubles is |v| < 0.001f
/// for a float, as 0.001f is the float nearest above 0.001. NaN stays.
inline Floats ZeroSmall(Floats v) { return KeepWhere(v, ~((v < 0.001f) & (v > -0.001f))); }

}  // namespace qelt::lanes
