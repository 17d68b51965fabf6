#pragma once
/// Every message the client sends to the quote server, byte for byte (before the "|END"
/// terminator, which the sender appends). Texts are UTF-8 here; the socket converts to GBK.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/GoodsKey.h"
#include "common/Version.h"

namespace qelt {

inline constexpr std::string_view kTerminator = "|END";

/// message + "|END".
std::string Frame(std::string_view message);

/// "login:" user ":" password ":"; the automatic re-login appends "1:". Nothing is escaped.
std::string LoginRequest(std::string_view user, std::string_view password, bool relogin = false);
/// "ver:%s:".
std::string VersionRequest(std::string_view version = kClientVersion);
/// "category:".
std::string CategoryRequest();
/// "list:".
std::string ListRequest();
/// "line:%s:%s:%s:%d:" with list tag, goods number, delivery month and cover mode.
std::string LineRequest(std::string_view listTag, const GoodsKey& goods, int coverMode);
/// "real:%s:%s:%s:1:", the standing trade request of a detail view.
std::string RealStandingRequest(std::string_view dayQualifier, const GoodsKey& goods);
/// "real::%s:%s:8:", the start-up synchronisation's trade request.
std::string RealSyncRequest(const GoodsKey& goods);
/// "real:%s-%s:%s:%s:8:", one past day's trades: category code and the day's date.
std::string RealHistoryRequest(std::string_view categoryCode, std::string_view date, const GoodsKey& goods);
/// "pwd:%s:%s:%s:".
std::string PasswordRequest(std::string_view user, std::string_view oldPassword,
                            std::string_view newPassword);
/// "msg:".
std::string NoticeRequest();

/// One alarm entry's thresholds, all texts as the user typed them.
struct AlarmThresholds {
    GoodsKey goods;
    std::string upperPrice;
    std::string lowerPrice;
    std::string volume;
    std::string netPosition;
    friend bool operator==(const AlarmThresholds&, const AlarmThresholds&) = default;
};

/// The condition T of one alarm query, with its literal spacing:
///   upper > 0:      " price >=" upper
///   lower > 0:      T (+ " or ") wrapped as " ( " T "  price <=" lower ")"
///   volume > 0:     (" or ") "  all_num >=" volume
///   position > 0:   (" or ") "  pure_num >=" position
/// Prices are read as decimals, the two thresholds as integers. Both bounds are joined by
/// "or", as the entry list shows them ("大于U 或者 小于L"): a break either way fires, where
/// "and" could never hold. One entry is one condition, so one event (a volume breach, a
/// break of a bound) is one alarm of the server's, never one per bound.
std::string AlarmCondition(const AlarmThresholds& entry);

/// The entry's query, "alarm:goods_no='" goods "' and due_date='" month "' and (" T ")";
/// none without a positive threshold.
std::vector<std::string> AlarmQueries(const AlarmThresholds& entry);

}  // namespace qelt
