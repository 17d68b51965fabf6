#pragma once
/// One entry per pane indicator: how it is computed, what its lines are called, its title,
/// its title items and its pane rule. The pane painter and qelt-ta both read this table.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "indicators/IndicatorComputations.h"
#include "indicators/PaneScale.h"

namespace qelt {

struct PaneContext;

/// One value item of the title strip: line `line`'s value, `offset` pixels from the pane's
/// left edge, with `decimals` decimals ("%.0f" or "%.2f").
struct TitleItem {
    int line;
    int offset;
    int decimals;
};

/// The range, divisions and axis levels of a pane; nothing when its lines have no value to
/// range over (the pane then shows its title only).
using PaneScaleRule = std::optional<PaneScale> (*)(const PaneContext&);
/// What a pane draws besides its axis and polylines (bars, candles, reference lines).
using PaneDrawing = void (*)(const PaneContext&, const PaneScale&);

struct IndicatorDefinition {
    int code;
    std::string_view key;                     ///< catalogue key, "MACD"
    std::span<const std::string_view> lines;  ///< line names in result order
    IndicatorCompute compute;
    /// "MACD(12,26,9)" from the parameter table. Empty for VOL and CCL, whose first item
    /// ("VOLUME:", "CCL:" with the cursor bar's text) takes the title's place.
    std::string (*title)(const IndicatorParameters&);
    std::span<const TitleItem> items;
    unsigned polylines;  ///< bit i set: line i is drawn as a polyline
    int titleStrip;      ///< pixels above the plot: 20 (DMI: 50)
    int readoutDecimals;
    PaneScaleRule scale;
    PaneDrawing drawing;  ///< may be null
};

/// The 21 pane indicators in catalogue order.
std::span<const IndicatorDefinition> IndicatorDefinitions();

/// The entry for a pane code, or nullptr (0, the main chart, and unknown codes).
const IndicatorDefinition* FindIndicatorDefinition(int code);

/// Computes the indicator `code` and names its lines; a code without definition gives an
/// empty, refused result.
IndicatorResult ComputeIndicator(int code, BarColumns& bars, const IndicatorWindow& window,
                                 const IndicatorParameters& table);
/// The same into `result`, whose storage is reused (no allocation once it has grown).
void ComputeIndicator(int code, BarColumns& bars, const IndicatorWindow& window,
                      const IndicatorParameters& table, IndicatorResult& result);
/// Computes `code` again into `result`, which holds this indicator's lines for the same
/// parameters (from ComputeIndicator or UpdateIndicator), after the series changed from bar
/// `changed` on: the bars before it are as they were then, later ones may differ or be new
/// (a live quote rewrote the last bar, a day was appended), and the window may differ. An
/// indicator over the whole series picks up from its checkpoint when that lies at or before
/// `changed` and within the window's reach; any other computes in full. Either way the
/// lines are exactly ComputeIndicator's, bit for bit.
void UpdateIndicator(int code, BarColumns& bars, const IndicatorWindow& window,
                     const IndicatorParameters& table, int changed, IndicatorResult& result);
/// The same from the bars' texts directly.
IndicatorResult ComputeIndicator(int code, const BarSeries& bars, const IndicatorWindow& window,
                                 const IndicatorParameters& table);

}  // namespace qelt
