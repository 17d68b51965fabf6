#pragma once
/// The technical indicators the client knows: their keys, groups, codes, menu and tree
/// texts and which positions of the parameter table each one edits.
#include <span>
#include <string_view>
#include <vector>

namespace qelt {

/// Tree roots of the parameter dialog, in display order (the first three are also the
/// popups of a pane's context menu).
enum class IndicatorGroup { VolumePosition = 0, Trend = 1, Oscillator = 2, MainChart = 3 };
inline constexpr int kIndicatorGroupCount = 4;

/// "量仓指标", "趋势指标", "摆动指标", "主图参数".
std::string_view GroupText(IndicatorGroup group);

struct IndicatorInfo {
    std::string_view key;  ///< "MACD"; what the dialog compares
    IndicatorGroup group;
    int code;                        ///< pane code; 0 main chart, -1 for OXGZ (dialog only)
    std::string_view menuText;       ///< key padded to 7 characters + name; empty for the main chart
    std::string_view treeText;       ///< key padded to 6 characters + name
    std::span<const int> positions;  ///< parameter positions in dialog-row order
};

/// Every indicator in catalogue order: the three pane groups, then MA and OXGZ.
std::span<const IndicatorInfo> IndicatorCatalogue();

/// The entry with this key, or nullptr.
const IndicatorInfo* FindIndicatorByKey(std::string_view key);

/// The entry with this pane code (0 = MA), or nullptr for codes outside the catalogue.
const IndicatorInfo* FindIndicatorByCode(int code);

/// The dialog's key list MA, VOL, CCL, VR, OBV, PVT, MACD, DMI, BOLL, SAR, JS, CDP, EXPMA,
/// RSI, ROC, KDJ, EMV, WR, ADTM, BBI, AMV, CCI.
std::span<const std::string_view> IndicatorKeyList();

/// Code to position in the key list: 0 to 20 as they are, 21 to 40 minus 15, above 40 minus
/// 28. Returns -1 when the result lies outside the list (negative codes, gaps, unknown).
int CodeToKeyPosition(int code);

/// The key of a tree text: its first 6 bytes with trailing blanks removed.
std::string_view KeyFromTreeText(std::string_view treeText);

/// VOL, CCL and CDP take no parameters: the dialog shows "没有参数需要设置!".
bool HasNoParameters(std::string_view key);

}  // namespace qelt
