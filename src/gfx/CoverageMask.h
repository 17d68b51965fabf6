#pragma once
/// How much of each device pixel a text's glyphs cover, 0 to 255, row after row: a text drawn
/// again and again (scale labels, titles) is blended from it in one pass instead of glyph by
/// glyph through the painter.
#include <cstdint>
#include <vector>

namespace qelt {

struct CoverageMask {
    int left = 0;  ///< the mask's first column, device pixels from the text's baseline origin
    int top = 0;   ///< its first row, device pixels from the baseline (above it: negative)
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  ///< width × height
};

}  // namespace qelt
