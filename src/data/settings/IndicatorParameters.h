#pragma once
/// The 52 integer parameters of the indicators and the main chart, and indi.ini that keeps
/// them between runs: one line of 52 "%d" values joined by single commas, no line end.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

inline constexpr int kIndicatorParameterCount = 52;
/// indi.ini is one short line; anything much larger is not ours.
inline constexpr std::size_t kMaxIndicatorFileBytes = 64 * 1024;

/// Positions in the table (and in indi.ini) that the computations read by name.
namespace param {
inline constexpr int kMacdFast = 0, kMacdSlow = 1, kMacdSignal = 2;
inline constexpr int kRsi1 = 3, kRsi2 = 4, kRsi3 = 5;
inline constexpr int kCci = 6;
inline constexpr int kRocPeriod = 7, kRocAverage = 8;
inline constexpr int kVrPeriod = 9, kVrAverage = 10;
inline constexpr int kObvAverage = 11;
inline constexpr int kKdj1 = 12, kKdj2 = 13, kKdj3 = 14;
inline constexpr int kEmvPeriod = 15, kEmvAverage = 16;
inline constexpr int kJsPeriod = 17, kJsAverage1 = 18, kJsAverage2 = 19, kJsAverage3 = 20;
inline constexpr int kDmiPeriod = 21, kDmiAverage = 22;
inline constexpr int kWr1 = 23, kWr2 = 24;
inline constexpr int kBoll = 25;
inline constexpr int kMa1 = 26, kMa2 = 27, kMa3 = 28, kMa4 = 29, kMa5 = 30;
inline constexpr int kPvtAverage = 31;
/// SAR factors are in hundredths; the step (33) comes before the initial factor (34) in the file.
inline constexpr int kSarPeriod = 32, kSarStep = 33, kSarInitial = 34, kSarCeiling = 35;
inline constexpr int kAdtmPeriod = 36, kAdtmAverage = 37;
inline constexpr int kAmv1 = 38, kAmv2 = 39, kAmv3 = 40, kAmv4 = 41;
inline constexpr int kBbi1 = 42, kBbi2 = 43, kBbi3 = 44, kBbi4 = 45;
inline constexpr int kExpma1 = 46, kExpma2 = 47;
/// OX box sizes: 0 means chosen automatically.
inline constexpr int kOxIndexBox = 48, kOxSilkBox = 49, kOxCocoonBox = 50, kOxReversal = 51;
}  // namespace param

/// Default of every position, in file order.
const std::array<int, kIndicatorParameterCount>& DefaultIndicatorParameters();

/// The label the dialog shows beside position `position` ("天", "日快线移动平均", ...).
std::string_view ParameterLabel(int position);

/// indi.ini's splitting rule: tokens up to the next comma; a comma at the very start of the
/// remaining text (an empty field) or no comma makes the rest one last token. Each token is
/// read as a leading integer (0 when none). So "12,,9" gives {12, 0}.
std::vector<int> ParseIndicatorValues(std::string_view text);

/// The 52 values joined by commas, no line end.
std::string FormatIndicatorValues(const std::array<int, kIndicatorParameterCount>& values);

/// The table. Read by the indicator computations at every repaint, written by the dialog;
/// both on the user-interface thread. The settings object reads and writes indi.ini.
class IndicatorParameters {
  public:
    IndicatorParameters() { SetDefaults(); }

    int& operator[](int position) { return m_values[static_cast<size_t>(position)]; }
    int operator[](int position) const { return m_values[static_cast<size_t>(position)]; }
    const std::array<int, kIndicatorParameterCount>& Values() const { return m_values; }

    void SetDefaults() { m_values = DefaultIndicatorParameters(); }

    /// Defaults, then the values of indi.ini's text over positions 0.. as far as the text
    /// goes (extra values are ignored, missing ones keep their defaults).
    void SetFromText(std::string_view text);
    /// SetFromText with "<dir>indi.ini" (qelt-ta's --home); a missing, unreadable or oversized
    /// file keeps the defaults. The client's settings object reads and writes the file itself.
    void Load(const std::string& programDirectory);
    /// indi.ini's text: the 52 values joined by commas.
    std::string Text() const { return FormatIndicatorValues(m_values); }

    friend bool operator==(const IndicatorParameters&, const IndicatorParameters&) = default;

  private:
    std::array<int, kIndicatorParameterCount> m_values{};
};

}  // namespace qelt
