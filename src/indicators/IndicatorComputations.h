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
#include "indicators/BarColumns.h"
#include "indicators/IndicatorLines.h"
#include "indicators/IndicatorParameters.h"

namespace qelt {

using IndicatorCompute = IndicatorResult (*)(BarColumns&, const IndicatorWindow&, const IndicatorParameters&);

// Volume and position: VOLUME,MA5,MA10 · CCL,MA5,MA10 · VR,MAVR · OBV · PVT,MAPVT.
IndicatorResult ComputeVol(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeCcl(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeVr(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeObv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputePvt(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);

// Trend: DIF,DEA,MACD · PDI,MDI,ADX,ADXR · BOLL,UPPER,LOWER · SAR · JS,MA1,MA2,MA3 ·
// CDP,AH,AL,NH,NL · EXP1,EXP2.
IndicatorResult ComputeMacd(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeDmi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeBoll(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeSar(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeJs(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeCdp(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeExpma(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);

// Oscillators: RSI1,RSI2,RSI3 · ROC,MAROC · K,D,J · EMV,MAEMV · WR1,WR2 · ADTM,MAADTM · BBI ·
// MA1..MA4 (AMV) · CCI.
IndicatorResult ComputeRsi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeRoc(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeKdj(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeEmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeWr(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeAdtm(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeBbi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeAmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);
IndicatorResult ComputeCci(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table);

}  // namespace qelt
