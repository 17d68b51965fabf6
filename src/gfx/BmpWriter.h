#pragma once
/// Windows bitmap files (24 bits per pixel, bottom-up rows padded to 4 bytes), for the
/// bitmap export of the charts.
#include <string>
#include <vector>

#include "GfxTypes.h"

namespace qelt {

/// Encodes `pixels` (row-major from the top, 0x00BBGGRR each) as a BMP file's bytes.
std::string EncodeBmp24(int width, int height, const std::vector<Colour>& pixels);

/// Writes the encoded bitmap atomically; false on failure.
bool WriteBmp24(const std::string& path, int width, int height, const std::vector<Colour>& pixels);

}  // namespace qelt
