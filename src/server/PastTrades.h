#pragma once
/// The trades of a past day, made up from its day bar: one section trade every
/// kSectionSeconds from the open to the close within the day's range, volumes summing to
/// the day's volume. Deterministic for the contract and date.
#include <string>
#include <vector>

#include "server/Bars.h"

namespace qelt::server {

std::vector<Trade> TradesOfPastDay(const std::string& key, const Bar& bar, double preClose);

}  // namespace qelt::server
