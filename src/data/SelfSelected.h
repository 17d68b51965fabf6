#pragma once
/// The self-selected list (mylist.ini) as the store sees it: the settings object reads the
/// file, the store's category "0000" selects the main records it names.
#include <string>
#include <vector>

#include "common/GoodsKey.h"

namespace qelt {

struct SelfSelectedEntry {
    GoodsKey goods;
    std::string category;  ///< "0005" when added while "0005" was shown, else "0001"
    friend bool operator==(const SelfSelectedEntry&, const SelfSelectedEntry&) = default;
};

class SelfSelectedSource {
  public:
    virtual ~SelfSelectedSource() = default;
    virtual std::vector<SelfSelectedEntry> ReadSelfSelected() const = 0;
};

}  // namespace qelt
