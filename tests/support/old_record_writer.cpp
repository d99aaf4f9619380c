#include "tests/support/old_record_writer.h"

#include <cstring>

namespace test_support {

std::string byte_planes(std::string_view records, std::size_t record_size) {
    const std::size_t count = records.size() / record_size;
    std::string planes;
    for (std::size_t i = 0; i < record_size; ++i)
        for (std::size_t j = 0; j < count; ++j)
            planes += records[j * record_size + i];
    return planes;
}

std::string packed_old_file(const std::array<std::int16_t, 32>& divisors, std::string_view packed_records,
                            std::int32_t count) {
    std::string file(68, '\0');
    std::memcpy(file.data(), divisors.data(), 64);
    std::memcpy(file.data() + 64, &count, 4);
    return file + byte_planes(packed_records, 81);
}

} // namespace test_support
