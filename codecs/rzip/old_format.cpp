#include "codecs/rzip/old_format.h"

#include <cstring>

namespace rzip {
namespace {

constexpr std::size_t k_samples = 32;
constexpr std::size_t k_first_sample = 13; // packed and expanded records alike
constexpr std::size_t k_packed_tail = 77;  // the 4 bytes after the samples
constexpr std::size_t k_expanded_tail = 141;

// Copies one byte plane into the same byte of every expanded record.
void copy_plane(const unsigned char* plane, std::size_t count, char* records, std::size_t offset) {
    for (std::size_t r = 0; r < count; ++r)
        records[r * k_record_size + offset] = static_cast<char>(plane[r]);
}

} // namespace

std::vector<char> expand_old_format(std::span<const char> packed, std::int32_t scale_divisor) {
    float offsets[k_samples];
    float multipliers[k_samples];
    std::memcpy(offsets, packed.data(), sizeof offsets);
    std::memcpy(multipliers, packed.data() + sizeof offsets, sizeof multipliers);

    const std::size_t count = packed_record_count(packed.size());
    const auto* planes = reinterpret_cast<const unsigned char*>(packed.data()) + k_old_format_header_size;
    auto plane = [&](std::size_t byte) { return planes + byte * count; };

    std::vector<char> records(count * k_record_size);
    for (std::size_t byte = 0; byte < k_first_sample; ++byte)
        copy_plane(plane(byte), count, records.data(), byte);
    for (std::size_t byte = k_packed_tail; byte < k_packed_record_size; ++byte)
        copy_plane(plane(byte), count, records.data(), byte - k_packed_tail + k_expanded_tail);

    const long double divisor = scale_divisor;
    for (std::size_t d = 0; d < k_samples; ++d) {
        const unsigned char* low = plane(k_first_sample + 2 * d);
        const unsigned char* high = plane(k_first_sample + 2 * d + 1);
        const long double multiplier = multipliers[d];
        const long double offset = offsets[d];
        char* out = records.data() + k_first_sample + 4 * d;
        for (std::size_t r = 0; r < count; ++r, out += k_record_size) {
            const long double sample = low[r] | high[r] << 8;
            const float value = static_cast<float>(sample * multiplier / divisor + offset);
            std::memcpy(out, &value, sizeof value);
        }
    }
    return records;
}

} // namespace rzip
