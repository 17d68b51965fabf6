#include "gfx/PaperInk.h"

#include <algorithm>
#include <cmath>

namespace qelt {
namespace {

constexpr Colour kPaper = Rgb(255, 255, 255);

double Linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Colour Scaled(Colour colour, unsigned scale) {
    auto channel = [scale](unsigned c) { return (c * scale + 127) / 255; };
    return Rgb(channel(RedOf(colour)), channel(GreenOf(colour)), channel(BlueOf(colour)));
}

bool Shows(Colour colour) { return ContrastRatio(colour, kPaper) >= kPaperContrast; }

}  // namespace

double RelativeLuminance(Colour colour) {
    return 0.2126 * Linear(RedOf(colour)) + 0.7152 * Linear(GreenOf(colour)) +
           0.0722 * Linear(BlueOf(colour));
}

double ContrastRatio(Colour a, Colour b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Colour InkOnPaper(Colour colour) {
    colour &= 0xFFFFFF;
    if (colour == kPaper || Shows(colour)) return colour;
    // The largest scale that shows: luminance only falls as the scale does, so a bisection
    // finds it (scale 0, black, always shows).
    unsigned low = 0, high = 255;
    while (high - low > 1) {
        const unsigned middle = (low + high) / 2;
        if (Shows(Scaled(colour, middle)))
            low = middle;
        else
            high = middle;
    }
    return Scaled(colour, low);
}

}  // namespace qelt
