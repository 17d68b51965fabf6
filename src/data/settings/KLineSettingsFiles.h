#pragma once
/// The K-line view's two small settings files in the program directory:
/// - winfile.ini: the indicator of every pane below the main chart, "%d|" each, in GBK, on
///   one line without a line break ("1|21|" for VOL and MACD under the main chart). The
///   number of values read, plus one, is the window count.
/// - logscale.ini: "1" while the main chart's price scale is logarithmic (对数坐标), "0" or
///   no file otherwise. It is a file of its own because winfile.ini's reader takes every
///   "|"-separated value as a pane.
/// - klineperiod.ini: the period the chart shows, "%d": 1 day, 2 week, 3 month, 4 .. 8 the
///   1, 5, 15, 30 and 60-minute bars; no file (or anything else) is the day.
/// - mainformula.ini: the user's formulas drawn over the main chart (主图公式), their ids
///   "%d|" each, in the order they were put there; no file is none. Ids below 1000 (no
///   formula's), repeats and those after the 64th are not taken.
/// All are read whole (a file over 64 KB is not ours and reads as missing) and rewritten
/// atomically. The client keeps the values for the run in ViewSettings.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

inline constexpr const char* kWinFileName = "winfile.ini";
inline constexpr const char* kLogScaleFileName = "logscale.ini";
inline constexpr const char* kPeriodFileName = "klineperiod.ini";
inline constexpr const char* kMainFormulasFileName = "mainformula.ini";
/// More formulas over one chart than anyone could read.
inline constexpr std::size_t kMaxMainFormulas = 64;
/// The files hold a handful of numbers; anything much bigger is not ours.
inline constexpr std::size_t kMaxKLineFileBytes = 64 * 1024;
/// The view has at most eight windows: seven panes under the main chart.
inline constexpr std::size_t kMaxLowerPanes = 7;

/// Pane ids from winfile.ini's text: the leading integer before each "|" in turn (0 when
/// there is none); a trailing piece without "|" counts as 0 and ends the text; an empty text
/// gives none. Values beyond the seventh are not taken (no window count above eight).
std::vector<int> ParseWinfile(std::string_view text);
/// "%d|" for each id.
std::string FormatWinfile(const std::vector<int>& lowerPaneIds);

/// The ids in `programDirectory`'s winfile.ini; nothing when the file is missing or unreadable.
std::optional<std::vector<int>> ReadWinfile(const std::string& programDirectory);
/// Rewrites winfile.ini; false when the write failed (the old file stays).
bool WriteWinfile(const std::string& programDirectory, const std::vector<int>& lowerPaneIds);

/// Whether logscale.ini says "1"; false when it is missing.
bool ReadLogScale(const std::string& programDirectory);
bool WriteLogScale(const std::string& programDirectory, bool logarithmic);

/// The ids mainformula.ini's text holds (see above).
std::vector<int> ParseMainFormulas(std::string_view text);
/// "%d|" for each id.
std::string FormatMainFormulas(const std::vector<int>& ids);

/// The period klineperiod.ini's text names (1 .. 8); 1 for anything else.
int ParseKLinePeriod(std::string_view text);
/// "%d".
std::string FormatKLinePeriod(int period);

}  // namespace qelt
