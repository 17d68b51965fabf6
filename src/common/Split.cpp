#include "Split.h"

namespace qelt {

std::string_view CutElement(std::string_view& rest, std::string_view separator) {
    size_t at = separator.empty() ? std::string_view::npos : rest.find(separator);
    if (at == std::string_view::npos || at == 0) {
        std::string_view all = rest;
        rest = {};
        return all;
    }
    std::string_view element = rest.substr(0, at);
    rest.remove_prefix(at + separator.size());
    return element;
}

std::vector<std::string_view> SplitViews(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> out;
    while (!text.empty()) out.push_back(CutElement(text, separator));
    return out;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> out;
    for (std::string_view piece : SplitViews(text, separator)) out.emplace_back(piece);
    return out;
}

std::vector<std::vector<std::string>> SplitRecords(std::string_view text) {
    std::vector<std::vector<std::string>> out;
    for (std::string_view record : SplitViews(text, kRecordSeparator)) {
        out.push_back(Split(record, kFieldSeparator));
    }
    return out;
}

std::string_view CutHeaderField(std::string_view& rest) {
    size_t at = rest.find(':');
    if (at == std::string_view::npos) {
        std::string_view all = rest;
        rest = {};
        return all;
    }
    std::string_view field = rest.substr(0, at);
    rest.remove_prefix(at + 1);
    return field;
}

}  // namespace qelt
