#pragma once
/// How well a colour shows on white paper, and the darker ink a printout uses for a colour
/// that shows too faintly: relative luminance and contrast ratio by the WCAG formulas, and a
/// colour of the same hue darkened until its contrast against white is at least 3:1. A trend
/// line drawn in the screen's yellow, a label in pale grey or a light cyan average would be
/// nearly invisible on paper.
#include "gfx/GfxTypes.h"

namespace qelt {

/// The contrast a printed mark must have against white paper, at the least.
inline constexpr double kPaperContrast = 3.0;

/// WCAG relative luminance, 0 (black) .. 1 (white).
double RelativeLuminance(Colour colour);
/// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(Colour a, Colour b);
/// `colour` when it shows on white (contrast at least kPaperContrast) or is white itself (the
/// paper: a fill in it leaves the sheet blank); otherwise the lightest colour of the same hue,
/// its channels scaled down together, that does show.
Colour InkOnPaper(Colour colour);

}  // namespace qelt
