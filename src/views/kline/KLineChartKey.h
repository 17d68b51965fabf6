#pragma once
/// What the K-line view's kept chart was drawn for: when any of it differs at a paint, the
/// chart is drawn again. Internal to the view's files.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/settings/DisplayScheme.h"
#include "data/settings/IndicatorParameters.h"
#include "gfx/GfxTypes.h"
#include "views/CQeltKLineView.h"
#include "views/kline/TradeMarks.h"

namespace qelt {

struct CQeltKLineView::ChartKey {
    Size client;
    std::vector<Rect> panes;
    std::array<int, 8> paneIds{};
    bool quotePanel = false;
    bool logScale = false;
    int chartType = 0;
    int period = 0;
    int visibleCount = 0;
    int lastVisible = 0;
    std::uint64_t generation = 0;
    DisplayScheme scheme;
    std::array<int, kIndicatorParameterCount> parameters{};
    /// The user's formulas: the library as it was, and the values of each formula pane's.
    std::uint64_t formulaRevision = 0;
    std::array<std::vector<double>, 8> formulaValues;
    /// The formulas over the main chart, and their values.
    std::vector<int> mainFormulas;
    std::vector<std::vector<double>> mainFormulaValues;
    /// The trades of a system under test marked on this chart (交易评测), or none.
    std::shared_ptr<const TradeMarks> tradeMarks;
    friend bool operator==(const ChartKey&, const ChartKey&) = default;
};

}  // namespace qelt
