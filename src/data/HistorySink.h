#pragma once
/// Where the store hands the body of every "his" message (count ":" records): the local
/// history database. Called on the receive thread, outside the store lock.
#include <string_view>

namespace qelt {

class HistorySink {
  public:
    virtual ~HistorySink() = default;
    virtual void StoreHistory(std::string_view body) = 0;
};

}  // namespace qelt
