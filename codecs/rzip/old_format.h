#pragma once

// Old-format station files (".tim", ".dep", ".ldp") travel in an rzip package packed: a block of 32
// offsets and one of 32 multipliers (float32 each), then N records of 81 bytes stored byte-plane by
// byte-plane. Each packed record becomes a 145-byte record whose 32 samples are widened from
// unsigned 16-bit values to float32.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rzip {

inline constexpr std::size_t k_old_format_header_size = 256;
inline constexpr std::size_t k_packed_record_size = 81;
inline constexpr std::size_t k_record_size = 145;

// Records in a packed file of the given size; bytes after the last whole record do not count.
inline std::size_t packed_record_count(std::size_t file_size) {
    return file_size < k_old_format_header_size
               ? 0
               : (file_size - k_old_format_header_size) / k_packed_record_size;
}

// The 145-byte records of a packed file (at least the 256 header bytes). A sample becomes
// sample * multiplier / scale_divisor + offset, worked out in extended precision in that order and
// rounded to float32. scale_divisor must not be 0 when the file holds records.
std::vector<char> expand_old_format(std::span<const char> packed, std::int32_t scale_divisor);

} // namespace rzip
