#pragma once
/// The update service announces each file with a 320-byte little-endian record before its
/// content: attributes, three file times, the size and the name.
///
///   0  u32 attributes        4 u64 creation time     12 u64 last access time
///  20  u64 last write time  28 u32 size (high)       32 u32 size (low) = content bytes
///  36  u32 reserved         40 u32 reserved          44 char[260] name, NUL-terminated, GBK
/// 304  char[14] short name 318 2 bytes padding
///
/// File times count 100-ns units since 1601-01-01 (UTC).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qelt {

inline constexpr size_t kUpdateHeaderSize = 320;
inline constexpr size_t kUpdateNameField = 260;
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x1;

struct UpdateFileHeader {
    std::uint32_t attributes = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t lastAccessTime = 0;
    std::uint64_t lastWriteTime = 0;
    std::uint32_t sizeHigh = 0;
    std::uint32_t sizeLow = 0;
    /// GBK bytes before the first NUL of the name field. Bytes after that NUL are ignored
    /// (the sender's buffer may hold leftovers there).
    std::string name;
    /// False when the 260-byte field holds no NUL at all: such a name is not trusted.
    bool nameTerminated = true;
};

/// Reads a record from exactly kUpdateHeaderSize bytes.
UpdateFileHeader ParseUpdateFileHeader(const unsigned char* bytes);

/// The 320-byte record for `header` (the service's side, and the tests'). A name longer
/// than 259 bytes is cut so that the field stays terminated, unless `nameTerminated` is
/// false, in which case the field is filled without a NUL.
std::string EncodeUpdateFileHeader(const UpdateFileHeader& header);

struct UnixTime {
    std::int64_t seconds = 0;
    std::int32_t nanoseconds = 0;
    friend bool operator==(const UnixTime&, const UnixTime&) = default;
};

/// Converts a file time to Unix time. 0 means "not given" (nothing). Times before
/// 1970-01-01 are clamped to it and times after 9999-12-31 23:59:59 to that, so a
/// nonsense value never reaches the file system as a negative or overflowing time.
std::optional<UnixTime> FileTimeToUnix(std::uint64_t fileTime);

/// The file time of a Unix time (seconds >= 0).
std::uint64_t UnixToFileTime(std::int64_t seconds, std::int32_t nanoseconds = 0);

}  // namespace qelt
