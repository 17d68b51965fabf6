#include "data/settings/RememberedLogin.h"

#include "common/Files.h"
#include "common/Gbk.h"

namespace qelt {
namespace {

constexpr size_t kMaxLoginFileBytes = 64 * 1024;
constexpr mode_t kOwnerOnly = 0600;

std::string LoginFilePath(const std::string& programDirectory) { return programDirectory + "sys.ini"; }

}  // namespace

std::string ScrambleLogin(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ kLoginScrambleKey);
    return out;
}

std::optional<RememberedLogin> ReadRememberedLogin(const std::string& programDirectory) {
    std::optional<std::string> content = ReadWholeFile(LoginFilePath(programDirectory), kMaxLoginFileBytes);
    if (!content || content->empty()) return std::nullopt;
    std::string text = GbkToUtf8(ScrambleLogin(*content));
    size_t bar = text.find('|');
    if (bar == std::string::npos) return RememberedLogin{text, {}};
    return RememberedLogin{text.substr(0, bar), text.substr(bar + 1)};
}

bool WriteRememberedLogin(const std::string& programDirectory, const RememberedLogin& login) {
    std::string plain = Utf8ToGbk(login.user + "|" + login.password);
    return WriteFileAtomic(LoginFilePath(programDirectory), ScrambleLogin(plain), kOwnerOnly);
}

bool ForgetRememberedLogin(const std::string& programDirectory) {
    return WriteFileAtomic(LoginFilePath(programDirectory), "", kOwnerOnly);
}

}  // namespace qelt
