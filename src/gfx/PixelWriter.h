#pragma once
/// Writes filled rectangles and lines of a solid one-pixel pen straight into a buffer of
/// 32-bit pixels, without anti-aliasing, pixel for pixel as the raster painter draws them (its
/// one-pixel line stepping: 26.6 fixed-point ends, 16.16 steps along the minor axis, square
/// caps, no pixel written twice where two segments meet). A chart of thousands of bars draws
/// most of its pixels this way instead of paying the painter's cost per call.
///
/// The writer works in view pixels and covers `scale` × `scale` device pixels for each: a
/// line at a scale above one covers, on each device row it crosses, as many device pixels as
/// the scale, the way one-device-pixel lines drawn side by side do.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "CoverageMask.h"
#include "GfxTypes.h"

namespace qelt {

/// A buffer of 32-bit pixels, `stride` pixels from one row to the next.
struct PixelSurface {
    std::uint32_t* bits = nullptr;
    int stride = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSurface&, const PixelSurface&) = default;
};

class PixelWriter {
  public:
    /// Draws into `surface` at `scale` device pixels per view pixel (1 to 3), nothing outside
    /// `deviceClip` (device pixels; clipped to the surface here).
    PixelWriter(const PixelSurface& surface, int scale, const Rect& deviceClip);

    const PixelSurface& Surface() const { return m_surface; }
    int Scale() const { return m_scale; }

    /// Fills the view rectangle left..right-1, top..bottom-1 with `pixel`.
    void FillRect(const Rect& r, std::uint32_t pixel) const;

    /// A dashed one-pixel line as the span `r` (one view pixel across): along it, `pattern`
    /// (view pixels of dash, gap, dash, gap…; an even count, each at least 1) repeats from
    /// the view coordinate `origin`, the dashes in `pixel`, the gaps left as they are. The
    /// pixels are those of the painter filling the span with the pattern as a texture.
    void DashedSpan(const Rect& r, bool horizontal, int origin, std::span<const int> pattern,
                    std::uint32_t pixel) const;

    /// Connected one-pixel lines through `points` (view pixels), with square caps at both
    /// ends. Draws nothing and returns false where the painter has ways of its own, so the
    /// line is its to draw: fewer than two points, a point outside the surface, a polyline
    /// that ends where it starts, and one whose last segment is at most two device pixels
    /// long and drawn up or to the left (against the stepping direction).
    bool Polyline(const Point* points, std::size_t count, std::uint32_t pixel) const;
    /// How Polyline would draw these points: kLeftToPainter (it would not), or whether every
    /// pixel keeps inside the clip. Worked out once for a line that is drawn later.
    enum class Placement { kLeftToPainter, kClipped, kInside };
    Placement PolylinePlacement(const Point* points, std::size_t count) const;
    /// Polyline of points whose placement is known (not kLeftToPainter).
    void PlacedPolyline(const Point* points, std::size_t count, std::uint32_t pixel,
                        Placement placement) const;

    /// Blends `pixel` (opaque) into the pixels `mask` covers, its baseline origin at device
    /// pixel (x, y), by the raster painter's arithmetic for a glyph's coverage a: the pixel
    /// times a plus what was there times 255 - a, each product divided by 255 and rounded its
    /// way, the two summed as whole words.
    void BlendCoverage(int x, int y, const CoverageMask& mask, std::uint32_t pixel) const;

    friend bool operator==(const PixelWriter&, const PixelWriter&) = default;

  private:
    PixelSurface m_surface;
    int m_scale;
    Rect m_clip;
};

}  // namespace qelt
