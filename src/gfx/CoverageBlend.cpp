#include <algorithm>

#include "PixelWriter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qelt {
namespace {

/// Each byte of `x` times `a` / 255, rounded as the raster painter rounds.
std::uint32_t ByteMul(std::uint32_t x, std::uint32_t a) {
    std::uint32_t t = (x & 0xFF00FFu) * a;
    t = ((t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    x = ((x >> 8) & 0xFF00FFu) * a;
    x = (x + ((x >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return x | t;
}

std::uint32_t Blend(std::uint32_t dest, std::uint32_t pixel, std::uint32_t a) {
    return ByteMul(pixel, a) + ByteMul(dest, 255 - a);
}

#if defined(__SSE2__)
/// Each 16-bit lane times the matching lane of `a` / 255, rounded as ByteMul: the lanes hold
/// at most 255 × 255 + 254 + 128, within 16 bits.
__m128i LaneMul(__m128i x, __m128i a) {
    const __m128i product = _mm_mullo_epi16(x, a);
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(product, _mm_srli_epi16(product, 8)), _mm_set1_epi16(0x80)), 8);
}

/// Blend of four pixels with their four coverages.
void BlendFour(std::uint32_t* at, const std::uint8_t* coverage, __m128i pixel16) {
    std::uint32_t four;
    __builtin_memcpy(&four, coverage, 4);
    if (four == 0) return;
    const __m128i zero = _mm_setzero_si128();
    const __m128i a16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero);
    const __m128i a32 = _mm_unpacklo_epi16(a16, a16);
    const __m128i aLow = _mm_unpacklo_epi32(a32, a32);  // a0 × 4, a1 × 4
    const __m128i aHigh = _mm_unpackhi_epi32(a32, a32);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i dest = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i kept = _mm_packus_epi16(LaneMul(_mm_unpacklo_epi8(dest, zero), _mm_sub_epi16(full, aLow)),
                                          LaneMul(_mm_unpackhi_epi8(dest, zero), _mm_sub_epi16(full, aHigh)));
    const __m128i laid = _mm_packus_epi16(LaneMul(pixel16, aLow), LaneMul(pixel16, aHigh));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm_add_epi32(kept, laid));
}
#endif

}  // namespace

void PixelWriter::BlendCoverage(int x, int y, const CoverageMask& mask, std::uint32_t pixel) const {
    const long long left = static_cast<long long>(x) + mask.left;
    const long long top = static_cast<long long>(y) + mask.top;
    const int fromX = static_cast<int>(std::max<long long>(left, m_clip.left));
    const int toX = static_cast<int>(std::min<long long>(left + mask.width, m_clip.right));
    const int fromY = static_cast<int>(std::max<long long>(top, m_clip.top));
    const int toY = static_cast<int>(std::min<long long>(top + mask.height, m_clip.bottom));
    if (fromX >= toX || fromY >= toY) return;
#if defined(__SSE2__)
    const __m128i pixel16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(pixel)), _mm_setzero_si128());
#endif
    // The rows under a text were laid long before, most likely by the other core, and are no
    // longer cached: asking for all of their lines first has them come in together instead of
    // row after row (a twentieth off a dense repaint).
    for (int row = fromY; row < toY; ++row) {
        const std::uint32_t* at = m_surface.bits + static_cast<std::ptrdiff_t>(row) * m_surface.stride;
        for (int x = fromX & ~15; x < toX; x += 16) __builtin_prefetch(at + x, 1);
    }
    for (int row = fromY; row < toY; ++row) {
        const std::uint8_t* coverage =
            mask.coverage.data() +
            static_cast<std::size_t>(row - top) * static_cast<std::size_t>(mask.width) +
            static_cast<std::size_t>(fromX - left);
        std::uint32_t* at = m_surface.bits + static_cast<std::ptrdiff_t>(row) * m_surface.stride + fromX;
        int count = toX - fromX;
#if defined(__SSE2__)
        for (; count >= 4; count -= 4, at += 4, coverage += 4) BlendFour(at, coverage, pixel16);
#endif
        for (; count > 0; --count, ++at, ++coverage)
            if (*coverage != 0) *at = Blend(*at, pixel, *coverage);
    }
}

}  // namespace qelt
