#include "data/settings/SelfSelectedFile.h"

#include "common/Split.h"

namespace qelt {

std::vector<SelfSelectedEntry> ParseSelfSelected(std::string_view content) {
    std::vector<SelfSelectedEntry> out;
    for (std::string_view record : SplitViews(content, kRecordSeparator)) {
        std::vector<std::string_view> f = SplitViews(record, kFieldSeparator);
        SelfSelectedEntry e;
        if (f.size() > 0) e.goods.goodsNo = f[0];
        if (f.size() > 1) e.goods.dueDate = f[1];
        if (f.size() > 2) e.category = f[2];
        out.push_back(std::move(e));
    }
    return out;
}

std::string FormatSelfSelected(const std::vector<SelfSelectedEntry>& entries) {
    std::string out;
    for (const SelfSelectedEntry& e : entries)
        out += e.goods.goodsNo + "|" + e.goods.dueDate + "|" + e.category + "||";
    return out;
}

}  // namespace qelt
