#include "updater/UpdateFileHeader.h"

#include <algorithm>
#include <cstring>

namespace qelt {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
/// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11'644'473'600;
/// 9999-12-31 23:59:59 UTC as Unix seconds.
constexpr std::int64_t kLatestSeconds = 253'402'300'799;

std::uint32_t Read32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint64_t Read64(const unsigned char* p) {
    return std::uint64_t(Read32(p)) | std::uint64_t(Read32(p + 4)) << 32;
}

void Write32(std::string& out, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Write64(std::string& out, size_t at, std::uint64_t v) {
    Write32(out, at, static_cast<std::uint32_t>(v));
    Write32(out, at + 4, static_cast<std::uint32_t>(v >> 32));
}

}  // namespace

UpdateFileHeader ParseUpdateFileHeader(const unsigned char* bytes) {
    UpdateFileHeader h;
    h.attributes = Read32(bytes);
    h.creationTime = Read64(bytes + 4);
    h.lastAccessTime = Read64(bytes + 12);
    h.lastWriteTime = Read64(bytes + 20);
    h.sizeHigh = Read32(bytes + 28);
    h.sizeLow = Read32(bytes + 32);
    const char* name = reinterpret_cast<const char*>(bytes + 44);
    const void* nul = std::memchr(name, 0, kUpdateNameField);
    h.nameTerminated = nul != nullptr;
    size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - name) : kUpdateNameField;
    h.name.assign(name, length);
    return h;
}

std::string EncodeUpdateFileHeader(const UpdateFileHeader& header) {
    std::string out(kUpdateHeaderSize, '\0');
    Write32(out, 0, header.attributes);
    Write64(out, 4, header.creationTime);
    Write64(out, 12, header.lastAccessTime);
    Write64(out, 20, header.lastWriteTime);
    Write32(out, 28, header.sizeHigh);
    Write32(out, 32, header.sizeLow);
    if (header.nameTerminated) {
        size_t n = std::min(header.name.size(), kUpdateNameField - 1);
        std::memcpy(out.data() + 44, header.name.data(), n);
    } else {
        for (size_t i = 0; i < kUpdateNameField; ++i)
            out[44 + i] = header.name.empty() ? 'x' : header.name[i % header.name.size()];
    }
    return out;
}

std::optional<UnixTime> FileTimeToUnix(std::uint64_t fileTime) {
    if (fileTime == 0) return std::nullopt;
    // Both parts stay within int64: fileTime / 1e7 is below 1.9e12.
    std::int64_t seconds = static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kEpochDifference;
    auto nanos = static_cast<std::int32_t>((fileTime % kTicksPerSecond) * 100);
    if (seconds < 0) return UnixTime{0, 0};
    if (seconds > kLatestSeconds) return UnixTime{kLatestSeconds, 0};
    return UnixTime{seconds, nanos};
}

std::uint64_t UnixToFileTime(std::int64_t seconds, std::int32_t nanoseconds) {
    return static_cast<std::uint64_t>(seconds + kEpochDifference) * kTicksPerSecond +
           static_cast<std::uint64_t>(nanoseconds / 100);
}

}  // namespace qelt
