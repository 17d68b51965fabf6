#pragma once
/// The deterministic generator behind the history: mean-reverting price levels per goods,
/// contract bars around them, the indices from the levels.
#include <cstdint>
#include <vector>

#include "server/Bars.h"
#include "server/Catalog.h"

namespace qelt::server {

/// Bars of `contract` on every trading day from its listing up to `lastDay` inclusive.
std::vector<Bar> GenerateBars(std::uint64_t seed, const ContractSpec& contract, int lastDay);

/// First trading day of a contract (futures are listed 34 months before delivery).
int ListingDay(const ContractSpec& contract);

}  // namespace qelt::server
