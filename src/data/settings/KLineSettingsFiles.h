#pragma once
/// The K-line view's two small settings files in the program directory:
/// - winfile.ini: the indicator of every pane below the main chart, "%d|" each, in GBK, on
///   one line without a line break ("1|21|" for VOL and MACD under the main chart). The
///   number of values read, plus one, is the window count.
/// - logscale.ini: "1" while the main chart's price scale is logarithmic (对数坐标), "0" or
///   no file otherwise. It is a file of its own because winfile.ini's reader takes every
///   "|"-separated value as a pane.
/// Both are read whole (a file over 64 KB is not ours and reads as missing) and rewritten
/// atomically.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

inline constexpr const char* kWinFileName = "winfile.ini";
inline constexpr const char* kLogScaleFileName = "logscale.ini";
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

}  // namespace qelt
