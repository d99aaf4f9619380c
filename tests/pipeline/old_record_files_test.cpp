#include "pipeline/old_record_files.h"

#include "tests/support/old_record_writer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using test_support::byte_planes;
using test_support::packed_old_file;

// Distinct bytes, so a record or byte taken from the wrong place shows.
std::string plain_records(std::size_t count) {
    std::string records;
    for (std::size_t i = 0; i < count * k_old_record_size; ++i)
        records += static_cast<char>(i * 7 + i / 145);
    return records;
}

template <class T> void put(std::string& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

float float_at(const std::string& bytes, std::size_t offset) {
    float value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::array<std::int16_t, 32> divisors() {
    std::array<std::int16_t, 32> result{};
    for (std::size_t d = 0; d < result.size(); ++d)
        result[d] = static_cast<std::int16_t>(d + 1);
    result[0] = 0; // a column the station did not scale: it becomes 0.0
    result[2] = -4;
    return result;
}

// One packed record r: a byte, three 32-bit values, 32 samples, a 32-bit value.
std::string packed_record(std::uint32_t r) {
    std::string record(1, static_cast<char>(0x40 + r));
    put(record, 1000 + r);
    put(record, 2000 + r);
    put(record, 3000 + r);
    for (std::uint16_t d = 0; d < 32; ++d)
        put(record, static_cast<std::uint16_t>(100 * d + 3 * r + 1));
    put(record, 0xDEADBEEF - r);
    return record;
}

TEST(OldRecordFiles, InterleavedRecordsAreRegrouped) {
    const auto records = plain_records(3);
    EXPECT_EQ(plain_old_records(byte_planes(records, k_old_record_size)), records);
}

TEST(OldRecordFiles, PackedRecordsBecomePlainWithScaledSamples) {
    const std::uint32_t count = 3;
    std::string packed;
    for (std::uint32_t r = 0; r < count; ++r)
        packed += packed_record(r);
    // Bytes beyond the records are ignored.
    const auto result = plain_old_records(packed_old_file(divisors(), packed, count) + "tail");
    ASSERT_TRUE(result.has_value());
    ASSERT_EQ(result->size(), count * k_old_record_size);
    for (std::uint32_t r = 0; r < count; ++r) {
        SCOPED_TRACE(r);
        const std::string in = packed_record(r);
        const std::string out = result->substr(r * k_old_record_size, k_old_record_size);
        EXPECT_EQ(out.substr(0, 13), in.substr(0, 13));
        EXPECT_EQ(out.substr(141), in.substr(77));
        EXPECT_EQ(float_at(out, 13), 0.0f);
        for (std::size_t d = 1; d < 32; ++d) {
            const double sample = 100.0 * d + 3 * r + 1;
            EXPECT_EQ(float_at(out, 13 + 4 * d), static_cast<float>(sample / divisors()[d])) << d;
        }
    }
}

TEST(OldRecordFiles, ContentsInNeitherLayoutStayAsTheyAre) {
    const std::string packed = packed_record(0) + packed_record(1);
    const struct {
        const char* name;
        std::string contents;
    } cases[] = {
        {"empty", ""},
        {"count above the length", packed_old_file(divisors(), packed, 3)},
        {"count below the length", packed_old_file(divisors(), packed, 1)},
        {"negative count", packed_old_file(divisors(), packed, -2)},
        {"shorter than the packed header", std::string(30, 'x')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plain_old_records(c.contents), std::nullopt) << c.name;
}

// 145 x 81 bytes fit both layouts; the count at offset 64 decides, and 144 is the count that
// agrees with the length.
TEST(OldRecordFiles, LengthOfBothLayoutsIsDecidedByTheCount) {
    std::string contents = plain_records(81);
    ASSERT_EQ(contents.size(), 145u * 81u);
    const std::int32_t agreeing = 144;
    std::memcpy(contents.data() + 64, &agreeing, 4);
    const auto packed = plain_old_records(contents);
    ASSERT_TRUE(packed.has_value());
    EXPECT_EQ(packed->size(), 144u * k_old_record_size);

    const std::int32_t other = 145;
    std::memcpy(contents.data() + 64, &other, 4);
    const auto interleaved = plain_old_records(contents);
    ASSERT_TRUE(interleaved.has_value());
    EXPECT_EQ(byte_planes(*interleaved, k_old_record_size), contents);
}

} // namespace
