#include "data/settings/MultiGoodsFile.h"

#include "common/Files.h"
#include "common/Gbk.h"
#include "data/settings/SettingsReports.h"

namespace qelt {
namespace {

/// Longer than any goods number or delivery month (the index records' names included).
constexpr std::size_t kMaxFieldBytes = 32;

std::string MultiGoodsFilePath(const std::string& programDirectory) {
    return programDirectory + kMultiGoodsFileName;
}

}  // namespace

MultiGoodsChoices ParseMultiGoodsChoices(std::string_view text) {
    MultiGoodsChoices choices;
    for (std::size_t cell = 0; cell < kMultiGoodsCells && !text.empty(); ++cell) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        // Only the line end goes: a key is kept exactly as it was written, blanks included (the
        // goods without a delivery month have the month " "), or it no longer finds its goods.
        if (line.ends_with('\r')) line.remove_suffix(1);
        const std::size_t bar = line.find('|');
        const std::string_view goodsNo = line.substr(0, bar);
        const std::string_view dueDate =
            bar == std::string_view::npos ? std::string_view() : line.substr(bar + 1);
        if (goodsNo.empty() || goodsNo.size() > kMaxFieldBytes || dueDate.size() > kMaxFieldBytes ||
            dueDate.find('|') != std::string_view::npos)
            continue;
        choices[cell] = {std::string(goodsNo), std::string(dueDate)};
    }
    return choices;
}

std::string FormatMultiGoodsChoices(const MultiGoodsChoices& choices) {
    std::string text;
    for (const GoodsKey& key : choices) {
        if (!key.goodsNo.empty()) text += key.goodsNo + "|" + key.dueDate;
        text += "\r\n";
    }
    return text;
}

MultiGoodsChoices ReadMultiGoodsChoices(const std::string& programDirectory) {
    const std::optional<std::string> content =
        ReadWholeFile(MultiGoodsFilePath(programDirectory), kMaxMultiGoodsFileBytes);
    if (!content) return {};
    return ParseMultiGoodsChoices(GbkToUtf8(*content));
}

bool WriteMultiGoodsChoices(const std::string& programDirectory, const MultiGoodsChoices& choices) {
    return WriteFileAtomic(MultiGoodsFilePath(programDirectory), Utf8ToGbk(FormatMultiGoodsChoices(choices)));
}

}  // namespace qelt
