#include "pipeline/old_record_files.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t k_packed_record_size = 81;
constexpr std::size_t k_divisor_count = 32;
constexpr std::size_t k_packed_header_size = 68; // the divisors, then the record count
constexpr std::size_t k_count_offset = 64;

template <class T> T load(const char* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

template <class T> void store(char* bytes, T value) {
    std::memcpy(bytes, &value, sizeof value);
}

// Record j's byte i is byte i * count + j of the planes.
std::string regroup(std::string_view planes, std::size_t count, std::size_t record_size) {
    std::string records(count * record_size, '\0');
    for (std::size_t i = 0; i < record_size; ++i)
        for (std::size_t j = 0; j < count; ++j)
            records[j * record_size + i] = planes[i * count + j];
    return records;
}

// The record count of a packed file, when its header holds one that agrees with the length.
std::optional<std::size_t> packed_count(std::string_view contents) {
    if (contents.size() <= k_packed_header_size)
        return std::nullopt;
    const auto count = load<std::int32_t>(contents.data() + k_count_offset);
    if (count <= 0 ||
        static_cast<std::size_t>(count) != (contents.size() - k_packed_header_size) / k_packed_record_size)
        return std::nullopt;
    return static_cast<std::size_t>(count);
}

std::string unpack_records(std::string_view contents, std::size_t count) {
    const std::string packed = regroup(contents.substr(k_packed_header_size), count, k_packed_record_size);
    std::string plain(count * k_old_record_size, '\0');
    for (std::size_t r = 0; r < count; ++r) {
        const char* in = packed.data() + r * k_packed_record_size;
        char* out = plain.data() + r * k_old_record_size;
        std::memcpy(out, in, 13);           // a byte and three 32-bit values, as they are
        std::memcpy(out + 141, in + 77, 4); // the last 32-bit value
        for (std::size_t d = 0; d < k_divisor_count; ++d) {
            const auto divisor = load<std::int16_t>(contents.data() + 2 * d);
            const auto sample = load<std::uint16_t>(in + 13 + 2 * d);
            const auto value =
                divisor == 0 ? 0.0f : static_cast<float>(static_cast<long double>(sample) / divisor);
            store(out + 13 + 4 * d, value);
        }
    }
    return plain;
}

} // namespace

std::optional<std::string> plain_old_records(std::string_view contents) {
    if (contents.empty())
        return std::nullopt;
    const bool whole_records = contents.size() % k_old_record_size == 0;
    const auto count = packed_count(contents);
    const bool packed =
        whole_records && contents.size() % k_packed_record_size == 0 ? count.has_value() : !whole_records;
    if (!packed)
        return regroup(contents, contents.size() / k_old_record_size, k_old_record_size);
    if (!count)
        return std::nullopt;
    return unpack_records(contents, *count);
}
