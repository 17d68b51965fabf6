#pragma once
/// The three averaging rules the indicators share. All sums run in 32-bit floats, as the
/// indicators compute; a running sum adds the new element and drops the one leaving the
/// window, so results depend on that order exactly as the panes have always shown them.
#include <cstdint>

#include "indicators/IndicatorLines.h"

namespace qelt {

/// Bar-field moving average over `period` bars of one bar field (bars 0 .. n - 1): a running
/// sum adds each bar; from bar P - 1 on each bar gets sum / P, then the value P - 1 bars back
/// leaves the sum. An average whose magnitude is below 0.001 is stored as 0. The line starts
/// at bar P - 1; it is empty when P < 1, P > n or n = 0. Also the main chart's moving average.
IndicatorLine BarFieldMovingAverage(const float* field, int n, int period);
IndicatorLine BarFieldMovingAverage(const std::int32_t* field, int n, int period);
void BarFieldMovingAverage(const float* field, int n, int period, IndicatorLine& out);
void BarFieldMovingAverage(const std::int32_t* field, int n, int period, IndicatorLine& out);

/// Series moving average over `period` elements of a computed line: the same running scheme
/// without the 0.001 rule; element k belongs to element k + P - 1 of the input, so the
/// result starts P - 1 bars after the input. Empty when P < 1 or P exceeds the input.
IndicatorLine SeriesMovingAverage(const IndicatorLine& input, int period);
void SeriesMovingAverage(const IndicatorLine& input, int period, IndicatorLine& out);

/// Partial-window average over `period` of a computed line: element j is the mean of
/// elements 0..j while j < P, afterwards the mean of the last P elements (the running sum
/// adds the new element, then drops the one P back). Same bars as the input; empty when
/// P < 1.
IndicatorLine PartialWindowAverage(const IndicatorLine& input, int period);
void PartialWindowAverage(const IndicatorLine& input, int period, IndicatorLine& out);

// The forms with `out` write into a line whose storage is reused; `out` must not be the input.

namespace compute {

/// For the computations that pick up where they stopped (IndicatorCheckpoint): the bar-field
/// moving average of bars `from` .. n - 1 into `out`, which keeps its values for the bars
/// before; `sum` is the running sum before bar `from` (0 at bar 0). Returns the running sum
/// before bar n - 1, to pick up there later. `period` at least 1.
template <typename T>
float FieldAverageFrom(const T* field, int n, int period, int from, float sum, IndicatorLine& out);
/// The same for the series moving average of `input`, counted in its elements.
float SeriesAverageFrom(const IndicatorLine& input, int period, int from, float sum, IndicatorLine& out);

}  // namespace compute

}  // namespace qelt
