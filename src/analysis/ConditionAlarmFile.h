#pragma once
/// condalarm.ini: the condition alarm entries (条件预警) and the day of each entry's last hit
/// for each goods, kept between runs so that a condition hits at most once per entry, goods
/// and day, also across restarts. Plain ASCII (UTF-8), one setting per line ("\r\n"; a bare
/// "\n" is read too):
///
///   next=5                                        the id the next new entry gets
///   entry=3|1001|1|20,5|self                      id, formula id, on, values, 自选
///   entry=4|1002|0||0112/20261225,0121/20270125   ... or the chosen contracts
///   hit=3|0112|20261225|20261209                  entry, goods number, month, day of the last hit
///
/// The file is the user's, so it is read as untrusted: a line that is not one of these forms
/// (a field out of bounds, an unknown word, a contract text that could break a line, a
/// repeated entry id, an entry past the 200th or with more than 1,000 contracts, a hit past
/// the 100,000th or of no entry) is not taken, and is kept as it was read and written back
/// after the rest, so a save never loses what the run could not show.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ConditionHitMemory.h"
#include "common/GoodsKey.h"

namespace qelt {

inline constexpr const char* kConditionAlarmFileName = "condalarm.ini";
inline constexpr std::size_t kMaxConditionAlarmEntries = 200;
inline constexpr std::size_t kMaxConditionAlarmGoods = 1000;
inline constexpr std::size_t kMaxConditionAlarmValues = 6;
inline constexpr std::size_t kMaxConditionHitDays = 100000;
/// Longest goods number or month kept.
inline constexpr std::size_t kMaxConditionGoodsText = 32;
/// Above the largest file the bounds allow (200 entries of 1,000 contracts take some 3 MB,
/// 100,000 hits as much again); a larger file is not ours.
inline constexpr std::size_t kMaxConditionAlarmFileBytes = 16u << 20;

struct ConditionAlarmEntry {
    int id = 0;                   ///< 1 or more, never reused while the file keeps its next id
    int formulaId = 0;            ///< the formula library's id
    std::vector<double> values;   ///< the formula's parameter values, in its order
    bool selfSelected = false;    ///< watches 自选 as it is at each evaluation, not `goods`
    std::vector<GoodsKey> goods;  ///< the chosen contracts
    bool on = true;

    friend bool operator==(const ConditionAlarmEntry&, const ConditionAlarmEntry&) = default;
};

struct ConditionAlarmSettings {
    int nextId = 1;
    std::vector<ConditionAlarmEntry> entries;
    ConditionHitMemory hits;
    /// The lines not taken (see above), as read, without their line ends.
    std::vector<std::string> kept;

    const ConditionAlarmEntry* Find(int id) const;
    friend bool operator==(const ConditionAlarmSettings&, const ConditionAlarmSettings&) = default;
};

/// True when `text` may stand as a goods number or month in the file: 1 to 32 bytes of
/// printable ASCII other than "|", ",", "/" and blanks.
bool IsConditionGoodsText(std::string_view text);

/// The file text of the settings, and back.
std::string FormatConditionAlarmFile(const ConditionAlarmSettings& settings);
ConditionAlarmSettings ParseConditionAlarmFile(std::string_view content);

}  // namespace qelt
