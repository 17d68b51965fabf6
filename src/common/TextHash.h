#pragma once
/// A hash for containers keyed by strings that are looked up by string views: with
/// std::equal_to<> as the key comparison, find(view) makes no string.
#include <cstddef>
#include <functional>
#include <string_view>

namespace qelt {

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};

}  // namespace qelt
