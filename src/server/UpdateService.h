#pragma once
/// The update service: every regular file of "<data>/update/" (not its sub-folders), in
/// name order, each as a 320-byte little-endian header followed by its content; the caller
/// closes the connection after the last byte.
///
/// Header: attributes (u32) at 0; creation, last access and last write times (file times:
/// 100-ns units since 1601-01-01, u64) at 4, 12, 20; size high and low (u32) at 28 and 32;
/// two reserved words; the GBK file name, NUL-terminated, in 260 bytes at 44; 14 bytes of
/// short name and 2 of padding (zero).
#include <cstdint>
#include <string>
#include <string_view>

namespace qelt::server {

inline constexpr size_t kUpdateHeaderSize = 320;
/// The whole stream is bounded; files beyond it are left out.
inline constexpr std::uint64_t kMaxUpdateBytes = 256ull << 20;

/// One header (name in UTF-8, converted to GBK here; names that do not fit are cut).
std::string UpdateHeader(std::string_view utf8Name, std::uint64_t size, std::int64_t unixMtime,
                         std::uint32_t attributes = 0x20);

/// The stream for "<updateDir>" (with a trailing "/"); empty when there is nothing to send.
std::string UpdateStream(const std::string& updateDir);

}  // namespace qelt::server
