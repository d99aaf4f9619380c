#pragma once

// The two byte-plane layouts in which a station packs its older data files (".tim", ".dep",
// ".ldp") into RAR packages. Test-only: the program only unpacks them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace test_support {

// Records of record_size bytes laid out byte-plane by byte-plane: byte 0 of every record, then
// byte 1 of every record, and so on.
std::string byte_planes(std::string_view records, std::size_t record_size);

// A packed file: the 32 divisors, the record count, then the 81-byte packed records (given one
// after another) in byte planes. count is written as given, so a test can make it disagree.
std::string packed_old_file(const std::array<std::int16_t, 32>& divisors, std::string_view packed_records,
                            std::int32_t count);

} // namespace test_support
