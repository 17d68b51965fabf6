#pragma once
// The long series the digest tests compute over: indicators and formulas must give, bit for
// bit, the values they gave before any change to how they read or compute.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "common/Numbers.h"
#include "data/Bar.h"

namespace qelt::test {

/// Cents as the store writes prices: "3012.50".
inline std::string Price(std::int64_t cents) {
    std::string text = FormatInt(cents / 100) + ".";
    const std::int64_t rest = cents % 100;
    return text + (rest < 10 ? "0" : "") + FormatInt(rest);
}

/// A random walk in whole cents (integer arithmetic only, so it is the same everywhere), with
/// flat stretches where open, high, low and close stand still and the differences the
/// indicators test against 0.001 are exactly zero, a few texts the fast readers hand to the
/// general ones, and a gap down to a zero price.
inline BarSeries DigestSeries(int count) {
    std::mt19937 random(20061208);
    BarSeries bars;
    std::int64_t price = 300000;
    for (int i = 0; i < count; ++i) {
        const bool flat = (i / 40) % 7 == 3;
        const std::int64_t move = flat ? 0 : static_cast<std::int64_t>(random() % 6001) - 3000;
        const std::int64_t open = price, close = std::max<std::int64_t>(0, price + move);
        const std::int64_t high = std::max(open, close) + (flat ? 0 : random() % 1500);
        const std::int64_t low =
            std::max<std::int64_t>(0, std::min(open, close) - (flat ? 0 : random() % 1500));
        std::string volume = FormatInt(flat ? 0 : random() % 20000);
        std::string average = Price((open + close) / 2);
        if (i % 997 == 5) volume = " 12e2";       // read by the general helper
        if (i % 1009 == 7) average = "3012.5 x";  // text after the number
        if (i == count / 2) price = 0;
        bars.push_back(CBarRow{FormatInt(19800101 + i), Price(open), Price(close), Price(high), Price(low),
                               volume, average, FormatInt(random() % 30000), FormatInt(random() % 35000),
                               "200606"});
        if (i != count / 2) price = close;
    }
    return bars;
}

/// FNV-1a over 64-bit words, in the order they are mixed in.
class Digester {
  public:
    void Mix(std::uint64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            m_hash ^= (value >> (8 * byte)) & 0xFF;
            m_hash *= 1099511628211ull;
        }
    }
    std::uint64_t Value() const { return m_hash; }

  private:
    std::uint64_t m_hash = 14695981039346656037ull;
};

}  // namespace qelt::test
