#include "data/settings/HeadFile.h"

#include "common/Files.h"
#include "common/Gbk.h"

namespace qelt {

std::optional<std::string> ReadHeadFile(const std::string& programDirectory) {
    const std::optional<std::string> bytes =
        ReadWholeFile(programDirectory + kHeadFileName, kMaxHeadFileBytes);
    if (!bytes) return std::nullopt;
    return GbkToUtf8(*bytes);
}

bool WriteHeadFile(const std::string& programDirectory, std::string_view utf8Text) {
    return WriteFileAtomic(programDirectory + kHeadFileName, Utf8ToGbk(utf8Text));
}

}  // namespace qelt
