#pragma once
/// alarm.ini: the price alarm entries and the two alarm switches, kept between runs. GBK on
/// disk, one setting per line ("\r\n"; a bare "\n" is read too):
///
///   window=1                              the alarm window is on (queries go out)
///   sound=0                               a fired alarm raises the window and beeps
///   alarm=0112|202612|10.000|8.000|0|0    one entry: goods, month, upper, lower, volume, net
///
/// Entries keep their order. Reading is forgiving per line and strict within one: a line
/// that is not one of these forms, or an entry whose goods number or month could break the
/// query (a quote, a bar, a control character, more than 64 bytes) or whose numbers are not
/// plain values from 0 to 999999, is not taken, and neither is an entry past the 1,000th;
/// such lines are kept as they were read and written back after the entries, so a save
/// never loses what the run could not show. Numbers are written back in their canonical form
/// (prices "%.3f", counts "%d").
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/Requests.h"

namespace qelt {

/// One price alarm: a contract and its thresholds as texts (prices "%.3f", counts "%d");
/// "0" or empty means the threshold is not set. The same texts build the alarm query.
using AlarmEntry = AlarmThresholds;

/// Largest threshold the entry dialog accepts (and the file keeps).
inline constexpr double kMaxAlarmThreshold = 999999;
/// Entries read from the file at most; those of a longer file stay in it unread.
inline constexpr std::size_t kMaxAlarmEntries = 1000;
/// Longest goods number or month kept (the server refuses longer quoted texts).
inline constexpr std::size_t kMaxAlarmTextBytes = 64;

/// Far above any real file (a thousand entries take some 50 KB); a larger file is not ours.
inline constexpr std::size_t kMaxAlarmFileBytes = 1u << 20;

struct AlarmSettings {
    std::vector<AlarmEntry> entries;
    bool windowOn = false;
    bool sound = false;
    /// The lines not taken (see above), as read, without their line ends.
    std::vector<std::string> kept;
    friend bool operator==(const AlarmSettings&, const AlarmSettings&) = default;
};

/// True when `text` may stand between the quotes of an alarm query: at most 64 bytes, no
/// "'", no "|" and no control character.
bool IsSafeAlarmText(std::string_view text);

/// A plain decimal ("12", "12.5", " 8.000 ") from 0 to 999999; nothing otherwise.
std::optional<double> ReadAlarmPrice(std::string_view text);
/// A plain integer ("500", " 7 ") from 0 to 999999; nothing otherwise.
std::optional<int> ReadAlarmCount(std::string_view text);

/// The entry in canonical form, or nothing when it could not be kept (see above).
std::optional<AlarmEntry> CanonicalAlarmEntry(const AlarmEntry& entry);

/// The file text (UTF-8) of the settings, and back.
std::string FormatAlarmFile(const AlarmSettings& settings);
AlarmSettings ParseAlarmFile(std::string_view content);

/// "<dir>alarm.ini": the defaults (no entries, both off) when there is no such file; nothing
/// when it exists but cannot be read (no permission, over 1 MB), so that the caller can keep
/// it from being written over.
std::optional<AlarmSettings> LoadAlarmFile(const std::string& programDirectory);
/// As LoadAlarmFile, with the defaults for a file that cannot be read.
AlarmSettings ReadAlarmFile(const std::string& programDirectory);
/// Rewrites "<dir>alarm.ini" atomically; false (old file untouched) when that fails.
bool WriteAlarmFile(const std::string& programDirectory, const AlarmSettings& settings);

}  // namespace qelt
