#include "Requests.h"

#include "common/Numbers.h"

namespace qelt {
namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string out;
    size_t size = 0;
    for (auto p : parts) size += p.size();
    out.reserve(size);
    for (auto p : parts) out.append(p);
    return out;
}

}  // namespace

std::string Frame(std::string_view message) { return Join({message, kTerminator}); }

std::string LoginRequest(std::string_view user, std::string_view password, bool relogin) {
    return Join({"login:", user, ":", password, ":", relogin ? "1:" : ""});
}

std::string VersionRequest(std::string_view version) { return Join({"ver:", version, ":"}); }

std::string CategoryRequest() { return "category:"; }

std::string ListRequest() { return "list:"; }

std::string LineRequest(std::string_view listTag, const GoodsKey& goods, int coverMode) {
    return Join({"line:", listTag, ":", goods.goodsNo, ":", goods.dueDate, ":", FormatInt(coverMode), ":"});
}

std::string RealStandingRequest(std::string_view dayQualifier, const GoodsKey& goods) {
    return Join({"real:", dayQualifier, ":", goods.goodsNo, ":", goods.dueDate, ":1:"});
}

std::string RealSyncRequest(const GoodsKey& goods) {
    return Join({"real::", goods.goodsNo, ":", goods.dueDate, ":8:"});
}

std::string RealHistoryRequest(std::string_view categoryCode, std::string_view date, const GoodsKey& goods) {
    return Join({"real:", categoryCode, "-", date, ":", goods.goodsNo, ":", goods.dueDate, ":8:"});
}

std::string PasswordRequest(std::string_view user, std::string_view oldPassword,
                            std::string_view newPassword) {
    return Join({"pwd:", user, ":", oldPassword, ":", newPassword, ":"});
}

std::string NoticeRequest() { return "msg:"; }

std::string AlarmCondition(const AlarmThresholds& e) {
    std::string t;
    if (!e.upperPrice.empty() && LeadingDouble(e.upperPrice) > 0) t = " price >=" + e.upperPrice;
    if (!e.lowerPrice.empty() && LeadingDouble(e.lowerPrice) > 0) {
        if (!t.empty()) t += " or ";
        t = " ( " + t + "  price <=" + e.lowerPrice + ")";
    }
    if (!e.volume.empty() && LeadingInt(e.volume) > 0) {
        if (!t.empty()) t += " or ";
        t += "  all_num >=" + e.volume;
    }
    if (!e.netPosition.empty() && LeadingInt(e.netPosition) > 0) {
        if (!t.empty()) t += " or ";
        t += "  pure_num >=" + e.netPosition;
    }
    return t;
}

std::vector<std::string> AlarmQueries(const AlarmThresholds& entry) {
    const std::string t = AlarmCondition(entry);
    if (t.empty()) return {};
    return {"alarm:goods_no='" + entry.goods.goodsNo + "' and due_date='" + entry.goods.dueDate + "' and (" +
            t + ")"};
}

}  // namespace qelt
