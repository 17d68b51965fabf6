#include "views/StandingRequests.h"

#include "net/Requests.h"
#include "views/ViewKinds.h"

namespace qelt {

std::optional<std::vector<std::string>> StandingRequestsFor(int kind, const std::string& dayQualifier,
                                                            const std::string& goodsNo,
                                                            const std::string& dueDate) {
    switch (kind) {
        case kViewQuoteList:
            return std::vector<std::string>{ListRequest()};
        case kViewKLine:
        case kViewIntraday:
            return std::vector<std::string>{ListRequest(),
                                            RealStandingRequest(dayQualifier, goodsNo, dueDate)};
        case kViewTradeList:
            return std::vector<std::string>{RealStandingRequest(dayQualifier, goodsNo, dueDate)};
        default:
            return std::nullopt;
    }
}

}  // namespace qelt
