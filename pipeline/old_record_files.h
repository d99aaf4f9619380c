#pragma once

// Older station data files (".tim", ".dep", ".ldp") leave a RAR package in one of two byte-plane
// layouts; the rest of the program takes them as plain records of 145 bytes.
//
// Interleaved: n records of 145 bytes, byte 0 of every record, then byte 1 of every record, ...
// Packed: 32 divisors (int16), the record count N (int32), then N records of 81 bytes byte-plane by
// byte-plane, each holding 32 samples (uint16) that become float32 sample / divisor.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t k_old_record_size = 145;

// The plain records for the contents of an older data file; nothing when the contents are empty or
// in neither layout (a packed header whose count disagrees with the length), so the file stays as
// it is. A length that is a multiple of both record sizes is packed when the count at offset 64
// matches it, else interleaved.
std::optional<std::string> plain_old_records(std::string_view contents);
