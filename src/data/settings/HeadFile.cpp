#include "data/settings/HeadFile.h"

#include "common/Files.h"
#include "common/Gbk.h"

namespace qelt {
namespace {

// head.ini is one short line; anything much bigger is not ours.
constexpr size_t kMaxHeadFile = 64 * 1024;

}  // namespace

std::optional<std::string> ReadHeadFile(const std::string& programDirectory) {
    const std::optional<std::string> bytes = ReadWholeFile(programDirectory + kHeadFileName, kMaxHeadFile);
    if (!bytes) return std::nullopt;
    return GbkToUtf8(*bytes);
}

bool WriteHeadFile(const std::string& programDirectory, std::string_view utf8Text) {
    return WriteFileAtomic(programDirectory + kHeadFileName, Utf8ToGbk(utf8Text));
}

}  // namespace qelt
