#pragma once
/// Drawn analysis lines on a goods record: `CMyLine` with its anchor points `CKLinePoint`.
///
/// A line is a plain value the goods record copies: its kind, the bar width it was created
/// at (its unit) and its anchors. Anchors are (bar index, price) pairs, so a line keeps its
/// place in the chart through zooming and scrolling; the drawing tools (src/chart) turn them
/// into pixels at each paint, draw, hit-test and edit them.
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

/// The seven kinds, as myline.txt names them.
inline constexpr std::string_view kLineSegment = "segment";  ///< 线段
inline constexpr std::string_view kLineStraight = "line";    ///< 直线
inline constexpr std::string_view kLineParallel = "para";    ///< 平行线
inline constexpr std::string_view kLineRect = "rect";        ///< 矩形
inline constexpr std::string_view kLineWave = "wave";        ///< 波段线
inline constexpr std::string_view kLinePeriod = "period";    ///< 周期线
inline constexpr std::string_view kLineGold = "gold";        ///< 黄金分割

/// Anchor point of a drawn line: the bar it sits on (an index into the displayed series,
/// possibly outside it) and the price at that point.
struct CKLinePoint {
    int index = 0;
    float price = 0.0f;
    friend bool operator==(const CKLinePoint&, const CKLinePoint&) = default;
};

/// Anchors a line of `kind` holds: 3 for parallel lines, 0 for an empty kind, 2 otherwise
/// (an unknown kind read from a file keeps two anchors and is written back as it came, but
/// draws nothing).
inline int AnchorCountOf(std::string_view kind) {
    if (kind.empty()) return 0;
    return kind == kLineParallel ? 3 : 2;
}

/// One user-drawn line.
struct CMyLine {
    std::string kind;
    /// Bar width in whole pixels when the line was created: the cycle lines' step.
    int unit = 0;
    std::vector<CKLinePoint> anchors;

    /// A line of `kind` with all its anchors at `at`.
    static CMyLine Make(std::string_view kind, int unit, CKLinePoint at = {}) {
        return CMyLine{std::string(kind), unit,
                       std::vector<CKLinePoint>(static_cast<std::size_t>(AnchorCountOf(kind)), at)};
    }
    friend bool operator==(const CMyLine&, const CMyLine&) = default;
};

}  // namespace qelt
