#pragma once
/// Leading-number reads for loops over many short texts (the numbers of a bar series): the
/// same values as LeadingFloat and LeadingInt, inline and without their general set-up for
/// the forms the store's texts take ("3012.50", "12345"). Anything else (blanks, signs,
/// exponents, long digit runs, text after the number, no digits) goes to those helpers, so
/// every text reads exactly as they read it.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/Numbers.h"

namespace qelt {
namespace scan {

/// The digits of a text of 1 to 8 bytes that holds nothing but digits and at most one point,
/// read as one 8-byte word (so no branch depends on where the point is or how many digits
/// there are): their value as an integer, how many there are and how many follow the point.
/// False for any other text. The 8 bytes from `text` must be readable.
struct PlainDigits {
    std::uint32_t mantissa = 0;
    unsigned digits = 0;
    unsigned fraction = 0;
};

static_assert(std::endian::native == std::endian::little, "the first byte of a text is the word's lowest");

inline bool ReadPlainWord(const char* text, std::size_t length, PlainDigits& out) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kZeros = 0x30 * kOnes;  // "00000000"
    // '0' in the bytes a text of each length leaves free below it.
    static constexpr std::uint64_t kPadding[9] = {kZeros,       kZeros >> 8,  kZeros >> 16,
                                                  kZeros >> 24, kZeros >> 32, kZeros >> 40,
                                                  kZeros >> 48, kZeros >> 56, 0};
    if (length == 0 || length > 8) return false;
    std::uint64_t word;
    std::memcpy(&word, text, sizeof word);
    // The text in the top bytes, its last character in the highest, '0's below its first:
    // eight digits with leading zeros when the text is all digits.
    word = (word << (8 * (8 - length))) | kPadding[length];
    unsigned digits = static_cast<unsigned>(length), fraction = 0;
    // The first point: the lowest zero byte of word ^ "........". A second point stays among
    // the digits and fails their check below.
    const std::uint64_t points = word ^ (0x2E * kOnes);
    const std::uint64_t zeroBytes = (points - kOnes) & ~points & (0x80 * kOnes);
    if (zeroBytes != 0) {
        const unsigned point = static_cast<unsigned>(std::countr_zero(zeroBytes)) / 8;
        const std::uint64_t above = ~0ull << (8 * point) << 8;  // the bytes after the point
        // The bytes before the point move up over it; one more '0' enters at the bottom.
        word = (word & above) | ((word << 8) & ~above) | 0x30;
        digits -= 1;
        fraction = 7 - point;
    }
    // Every byte within '0'..'9': high nibble 3, and still so after adding 6.
    constexpr std::uint64_t kNibbles = 0xF0 * kOnes;
    if (digits == 0 || (word & kNibbles) != kZeros || ((word + 6 * kOnes) & kNibbles) != kZeros) return false;
    // Pairs, fours and eights of digits, the first digit in the lowest byte.
    word -= kZeros;
    word = word * 10 + (word >> 8);
    word = ((word & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
            ((word >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >>
           32;
    out.mantissa = static_cast<std::uint32_t>(word);
    out.digits = digits;
    out.fraction = fraction;
    return true;
}

/// 10^k for the digits after a point: exact floats.
inline constexpr float kPowersOfTen[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};

/// An unsigned plain decimal of up to 7 digits in [text, end), `readable` as for
/// ScanLeadingFloat: its digits and the index of its power of ten in kPowersOfTen. Its value
/// is float(mantissa) / kPowersOfTen[fraction]: both are exact floats, so the one division
/// rounds as the general conversion does. False for any other text.
inline bool ReadPlainDecimal(const char* text, const char* end, const char* readable, PlainDigits& plain) {
    return readable - text >= 8 && ReadPlainWord(text, static_cast<std::size_t>(end - text), plain) &&
           plain.digits <= 7;
}

}  // namespace scan

/// LeadingFloat of the text [text, end). `readable` (not before `end`) is how far memory may
/// be read: with 8 readable bytes from `text` a short text is read as one word.
inline float ScanLeadingFloat(const char* text, const char* end, const char* readable) {
    scan::PlainDigits plain;
    if (scan::ReadPlainDecimal(text, end, readable, plain)) {
        return static_cast<float>(plain.mantissa) / scan::kPowersOfTen[plain.fraction];
    }
    return LeadingFloat(std::string_view(text, static_cast<std::size_t>(end - text)));
}

/// LeadingInt of the text [text, end), `readable` as for ScanLeadingFloat.
inline std::int32_t ScanLeadingInt(const char* text, const char* end, const char* readable) {
    const auto length = static_cast<std::size_t>(end - text);
    scan::PlainDigits plain;
    // Eight digits at most: always within the int range.
    if (readable - text >= 8 && scan::ReadPlainWord(text, length, plain) && plain.digits == length) {
        return static_cast<std::int32_t>(plain.mantissa);
    }
    return LeadingInt(std::string_view(text, length));
}

/// LeadingDouble of the text [text, end), `readable` as for ScanLeadingFloat. A plain decimal
/// of up to 8 digits is its digits divided by its power of ten, both exact doubles: the one
/// division rounds as LeadingDouble's own does.
inline double ScanLeadingDouble(const char* text, const char* end, const char* readable) {
    static constexpr double kPowers[8] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
    scan::PlainDigits plain;
    if (readable - text >= 8 && scan::ReadPlainWord(text, static_cast<std::size_t>(end - text), plain)) {
        return static_cast<double>(plain.mantissa) / kPowers[plain.fraction];
    }
    return LeadingDouble(std::string_view(text, static_cast<std::size_t>(end - text)));
}

/// LeadingInt64 of the text [text, end), `readable` as for ScanLeadingFloat.
inline std::int64_t ScanLeadingInt64(const char* text, const char* end, const char* readable) {
    const auto length = static_cast<std::size_t>(end - text);
    scan::PlainDigits plain;
    if (readable - text >= 8 && scan::ReadPlainWord(text, length, plain) && plain.digits == length) {
        return plain.mantissa;
    }
    return LeadingInt64(std::string_view(text, length));
}

}  // namespace qelt
