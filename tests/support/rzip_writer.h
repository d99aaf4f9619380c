#pragma once

// Writer of rzip packages ("*.zreg"): the 2-byte divisor of old-format samples, then each entry
// compressed with zlib's compress. Test-only; the program itself never packs. The optional fields
// of an entry make damaged packages.

#include "tests/support/single_stream_writer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

enum class RzipKind {
    plain,      // stored with kind byte 0
    old_format, // kind byte 1: content is a packed old-format file (see old_format_file)
    newcompr1,  // kind byte 0, ".newcompr1" appended to the name: content is the single-stream form
};

struct RzipEntry {
    std::string name;    // Windows-1251 bytes, as the package holds them
    std::string content; // the file before compression
    RzipKind kind = RzipKind::plain;
    std::optional<std::string> packed = {};           // stored in place of compress(content)
    std::optional<std::int32_t> packed_length = {};   // claimed in place of the packed size
    std::optional<std::int32_t> unpacked_length = {}; // claimed in place of the content size
};

// An entry named realtime_name + ".newcompr1" holding the columns in the single-stream form.
RzipEntry newcompr1_entry(const std::string& realtime_name, const RealtimeColumns& columns,
                          const std::vector<ValueCoding>& codings = {});

// The package's bytes.
std::string rzip_package(const std::vector<RzipEntry>& entries, std::uint16_t scale_divisor = 1);

// Writes the package to path. Throws std::runtime_error when it cannot.
void write_rzip_package(const std::string& path, const std::vector<RzipEntry>& entries,
                        std::uint16_t scale_divisor = 1);

// One 81-byte record of an old-format file: a byte, three 32-bit values, 32 samples, a 32-bit value.
struct OldFormatRecord {
    std::uint8_t first = 0;
    std::array<std::uint32_t, 3> values{};
    std::array<std::uint16_t, 32> samples{};
    std::uint32_t last = 0;
};

// A packed old-format file: 32 offsets, 32 multipliers, then the records byte-plane by byte-plane.
std::string old_format_file(const std::array<float, 32>& offsets, const std::array<float, 32>& multipliers,
                            const std::vector<OldFormatRecord>& records);

} // namespace test_support
