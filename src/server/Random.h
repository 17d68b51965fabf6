#pragma once
/// A small deterministic generator (SplitMix64). The market must replay identically for a
/// given seed on every machine, so the standard library's distributions (whose algorithms
/// differ between implementations) are not used.
#include <cmath>
#include <cstdint>
#include <string_view>

namespace qelt::server {

class Random {
  public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    /// Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    /// Uniform integer in [low, high].
    long Between(long low, long high) {
        if (high <= low) return low;
        return low + static_cast<long>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
    /// Standard normal (Box-Muller).
    double Normal() {
        double u1 = Uniform();
        double u2 = Uniform();
        if (u1 < 1e-300) u1 = 1e-300;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }

  private:
    std::uint64_t m_state;
};

/// Mixes several values into one seed (so every contract and day gets its own stream).
inline std::uint64_t MixSeed(std::uint64_t a, std::uint64_t b) {
    Random r(a ^ (b * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull));
    return r.Next();
}
inline std::uint64_t HashText(std::string_view text) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

}  // namespace qelt::server
