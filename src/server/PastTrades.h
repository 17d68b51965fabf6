#pragma once
/// The trades of a past day, made up from its day bar, deterministic for the market's seed,
/// the contract and the date:
/// - goods traded in sections: one section trade every kSectionSeconds from the open to the
///   close within the day's range, volumes summing to the day's volume;
/// - goods traded continuously: a believable stream of continuous trades spread over both
///   sessions (more where the day's volume is larger), whose first price is the day's open,
///   last price its close, highest and lowest its high and low, and whose volumes add up to
///   the day's volume (field 13 ends at it). Each trade carries the number of the two-minute
///   section it falls in, so a review of the day still shows one point per section.
#include <cstdint>
#include <string>
#include <vector>

#include "server/Bars.h"

namespace qelt::server {

std::vector<Trade> TradesOfPastDay(const std::string& key, const Bar& bar, double preClose);

/// The continuous trades of a past day; `prePure` is the net position the day started from.
/// A day without volume has no trades.
std::vector<Trade> ContinuousTradesOfPastDay(std::uint64_t seed, const std::string& key, const Bar& bar,
                                             double preClose, long prePure, double tick);

}  // namespace qelt::server
