#pragma once
/// The standing requests of the single-goods views, repeated every second while the view is
/// on show: the board "list:"; the K-line and intraday views "list:" and the goods' trades
/// "real:%s:%s:%s:1:"; the trade list the goods' trades alone. Other kinds keep the
/// connection's list as it is (the multi-goods view sets its own).
#include <optional>
#include <string>
#include <vector>

#include "common/GoodsKey.h"

namespace qelt {

std::optional<std::vector<std::string>> StandingRequestsFor(int kind, const std::string& dayQualifier,
                                                            const GoodsKey& goods);

}  // namespace qelt
