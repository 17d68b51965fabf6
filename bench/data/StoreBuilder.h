#pragma once
// A store of 1,000 contracts with their board and day series, built from the replies a
// server would send: the common ground of the store's and the application's benchmarks.
#include <string>
#include <string_view>

#include "common/Poster.h"
#include "data/CQeltData.h"

namespace qelt::bench {

class NullPoster : public Poster {
  public:
    void PostWindowMessage(WindowId, unsigned, std::intptr_t, std::intptr_t) override {}
    void PostThreadMessage(unsigned, std::intptr_t, std::intptr_t) override {}
};

constexpr int kContracts = 1000;
constexpr int kBars = 2500;

inline std::string DueDate(int i) { return "2006" + std::to_string(1000 + i % 1000).substr(1) + "5"; }

inline std::string BoardReply(int round) {
    std::string text = "list:";
    for (int i = 0; i < kContracts; ++i) {
        std::string goods = std::to_string(1000 + i / 10).substr(0, 4);
        std::string price = std::to_string(100 + (i + round) % 50) + "." + std::to_string(i % 100);
        text += DueDate(i % 10 * 100 + i / 10) + "|12|13|" + price + "|3|1500|" + price + "|" + price + "|" +
                price + "|" + goods + "|4000|" + price + "|20|30|2500|100.00|" + (i % 7 == 0 ? "1" : "3") +
                "|99.50|" + price + "|20060601|100.10|5|100.20|6|" + price + "|700|100.00||";
    }
    return text;
}

inline std::string LineReply(std::string_view key, int bars) {
    std::string text = "line:" + std::string(key) + ":12:";
    for (int d = 0; d < bars; ++d) {
        std::string date = std::to_string(19900101 + (d / 28) % 12 * 100 + d % 28 + (d / 336) * 10000);
        text += date + "|101.50|102.25|103.00|100.75|1530|101.90|25300|48200|20060525||";
    }
    return text;
}

inline void SetUpStore(CQeltData& data) {
    std::string categories = "category:";
    for (int c = 0; c < 100; ++c)
        categories += std::to_string(1000 + c) + "|品种" + std::to_string(c) + "|0||";
    data.Dispatch(categories);
    data.Dispatch(BoardReply(0));
}

/// Every record's day series, `bars` long.
inline void FillSeries(CQeltData& data, int bars = kBars) {
    for (const auto& [goods, due] : data.MainListKeys()) data.Dispatch(LineReply(goods + due, bars));
}

}  // namespace qelt::bench
