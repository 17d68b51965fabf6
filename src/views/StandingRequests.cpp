#include "views/StandingRequests.h"

#include "net/Requests.h"
#include "views/ViewKinds.h"

namespace qelt {

std::optional<std::vector<std::string>> StandingRequestsFor(int kind, const std::string& dayQualifier,
                                                            const GoodsKey& goods) {
    switch (kind) {
        case kViewQuoteList:
            return std::vector<std::string>{ListRequest()};
        case kViewKLine:
        case kViewIntraday:
            return std::vector<std::string>{ListRequest(), RealStandingRequest(dayQualifier, goods)};
        case kViewTradeList:
            return std::vector<std::string>{RealStandingRequest(dayQualifier, goods)};
        default:
            return std::nullopt;
    }
}

}  // namespace qelt
