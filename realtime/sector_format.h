#pragma once

// The sector file: a plain sequence of sectors, each a 3-byte header (kind as a signed byte, payload
// length as a signed 16-bit number, little-endian) followed by its payload. No file header, no
// count of sectors.

#include <cstdint>

namespace sector {

enum Kind : std::int32_t {
    k_record = 1,         // one full record
    k_params = 2,         // the parameter table the following records refer to
    k_text = 3,           // the named text values
    k_remark = 4,         // one remark
    k_compact_record = 5, // one record with time and values only
};

constexpr std::int32_t k_header_size = 3;
// A payload is 1 to 32767 bytes: the length is signed 16-bit and 0 is refused.
constexpr std::int32_t k_max_payload = 32767;
// time, depth_z, lag_depth, operation, depth_cur and the value count of a record sector.
constexpr std::int32_t k_record_head_size = 18;

constexpr bool is_known_kind(std::int32_t kind) {
    return kind >= k_record && kind <= k_compact_record;
}

} // namespace sector
