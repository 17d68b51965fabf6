#pragma once
/// The dialogs show the program's own texts, which are UTF-8 throughout.
#include <QString>
#include <string_view>

namespace qelt {

/// `text` (UTF-8) as a Qt string.
inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace qelt
