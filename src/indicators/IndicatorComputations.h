#pragma once
/// The computation of each indicator: bars, window and parameter table in, lines out, in
/// the order and with the meaning of IndicatorTable.h (which also names them). Pure: the
/// same input gives the same lines; nothing is kept between calls.
///
/// Common rules:
/// - the window is clipped to the series (l at most n - 1, f within 0..l); an empty series
///   gives empty lines;
/// - a period below 1 (and SAR's N below 2, BBI's fourth period shorter than another) is
///   refused: `valid` is false and every line empty. MACD and EXPMA take any weight, as
///   their formulas allow; OBV's period only names the pane;
/// - arithmetic is in 32-bit floats; volumes and positions are integers.
#include "data/settings/IndicatorParameters.h"
#include "indicators/BarColumns.h"
#include "indicators/IndicatorLines.h"

namespace qelt {

/// Fills `result` (its storage is reused: a caller that keeps one result per pane
/// recomputes without allocating).
using IndicatorCompute = void (*)(BarColumns&, const IndicatorWindow&, const IndicatorParameters&,
                                  IndicatorResult&);

// Volume and position: VOLUME,MA5,MA10 · CCL,MA5,MA10 · VR,MAVR · OBV · PVT,MAPVT.
void ComputeVol(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeCcl(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeVr(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
               IndicatorResult& result);
void ComputeObv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputePvt(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);

// Trend: DIF,DEA,MACD · PDI,MDI,ADX,ADXR · BOLL,UPPER,LOWER · SAR · JS,MA1,MA2,MA3 ·
// CDP,AH,AL,NH,NL · EXP1,EXP2.
void ComputeMacd(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                 IndicatorResult& result);
void ComputeDmi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeBoll(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                 IndicatorResult& result);
void ComputeSar(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeJs(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
               IndicatorResult& result);
void ComputeCdp(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeExpma(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                  IndicatorResult& result);

// Oscillators: RSI1,RSI2,RSI3 · ROC,MAROC · K,D,J · EMV,MAEMV · WR1,WR2 · ADTM,MAADTM · BBI ·
// MA1..MA4 (AMV) · CCI.
void ComputeRsi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeRoc(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeKdj(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeEmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeWr(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
               IndicatorResult& result);
void ComputeAdtm(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                 IndicatorResult& result);
void ComputeBbi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeAmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);
void ComputeCci(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result);

}  // namespace qelt
