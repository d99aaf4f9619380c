#include "tests/codecs/rzip/rzip_fixture.h"

#include <gmock/gmock.h>

#include <cstring>

using test_support::OldFormatRecord;
using test_support::RzipEntry;
using test_support::RzipKind;
using ::testing::HasSubstr;

namespace {

using OldFormat = RzipFixture;

template <class T> T value_at(const std::string& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::array<float, 32> filled(float value) {
    std::array<float, 32> values;
    values.fill(value);
    return values;
}

TEST_F(OldFormat, ExpandsEveryFieldOfEachRecord) {
    std::array<float, 32> offsets = filled(0.0f);
    std::array<float, 32> multipliers = filled(1.0f);
    offsets[1] = -7.25f;
    offsets[2] = 10.0f;
    multipliers[2] = 0.5f;
    OldFormatRecord first{0x5A, {0x11223344, 0xDEADBEEF, 7}, {}, 0xCAFEF00D};
    first.samples[0] = 65535;
    first.samples[1] = 0;
    first.samples[2] = 1000;
    first.samples[31] = 1;
    OldFormatRecord second{0xA5, {1, 2, 3}, {}, 4};
    second.samples.fill(12);

    extract({{"a.tim", test_support::old_format_file(offsets, multipliers, {first, second}),
              RzipKind::old_format}},
            4);
    const std::string records = read_file(out() + "a.tim");
    ASSERT_EQ(records.size(), 2 * 145u);

    EXPECT_EQ(static_cast<std::uint8_t>(records[0]), 0x5A);
    EXPECT_EQ(value_at<std::uint32_t>(records, 1), 0x11223344u);
    EXPECT_EQ(value_at<std::uint32_t>(records, 5), 0xDEADBEEFu);
    EXPECT_EQ(value_at<std::uint32_t>(records, 9), 7u);
    EXPECT_EQ(value_at<float>(records, 13), 65535.0f / 4);
    EXPECT_EQ(value_at<float>(records, 17), -7.25f); // sample 0 gives exactly the offset
    EXPECT_EQ(value_at<float>(records, 21), 135.0f); // 1000 * 0.5 / 4 + 10
    EXPECT_EQ(value_at<float>(records, 137), 0.25f);
    EXPECT_EQ(value_at<std::uint32_t>(records, 141), 0xCAFEF00Du);

    EXPECT_EQ(static_cast<std::uint8_t>(records[145]), 0xA5);
    EXPECT_EQ(value_at<std::uint32_t>(records, 145 + 9), 3u);
    EXPECT_EQ(value_at<float>(records, 145 + 13 + 4 * 3), 3.0f);
    EXPECT_EQ(value_at<std::uint32_t>(records, 145 + 141), 4u);
}

TEST_F(OldFormat, LargestSampleWithUnitScaleIsExact) {
    OldFormatRecord record;
    record.samples.fill(65535);
    extract({{"a.dep", test_support::old_format_file(filled(0.0f), filled(1.0f), {record}),
              RzipKind::old_format}},
            1);
    const std::string records = read_file(out() + "a.dep");
    for (std::size_t d = 0; d < 32; ++d)
        EXPECT_EQ(value_at<float>(records, 13 + 4 * d), 65535.0f) << d;
}

TEST_F(OldFormat, DivisionIsRoundedOnceToFloat) {
    OldFormatRecord record;
    record.samples[0] = 1;
    record.samples[1] = 2;
    extract({{"a.ldp", test_support::old_format_file(filled(0.0f), filled(1.0f), {record}),
              RzipKind::old_format}},
            3);
    const std::string records = read_file(out() + "a.ldp");
    EXPECT_EQ(value_at<float>(records, 13), 1.0f / 3.0f);
    EXPECT_EQ(value_at<float>(records, 17), 2.0f / 3.0f);
}

TEST_F(OldFormat, RecordCountFollowsSizeAndShortFilesStay) {
    const std::string header_only = test_support::old_format_file(filled(1.0f), filled(2.0f), {});
    const std::string three = test_support::old_format_file(filled(1.0f), filled(2.0f), {{1}, {2}, {3}});
    struct Case {
        std::string content;
        std::size_t expected_size;
    };
    for (const Case& c :
         {Case{header_only, 0}, Case{three, 3 * 145}, Case{three + std::string(80, '\x7f'), 3 * 145},
          Case{three + "\x01", 3 * 145}, Case{header_only.substr(0, 255), 255}, Case{"", 0}}) {
        std::filesystem::remove_all(out());
        extract({{"a.tim", c.content, RzipKind::old_format}});
        const std::string records = read_file(out() + "a.tim");
        ASSERT_EQ(records.size(), c.expected_size) << c.content.size();
        if (c.content.size() < 256) {
            EXPECT_EQ(records, c.content);
        }
        for (std::size_t r = 0; r < records.size() / 145 && c.content.size() >= 256; ++r)
            EXPECT_EQ(records[r * 145], static_cast<char>(r + 1));
    }
}

TEST_F(OldFormat, ZeroDivisorThrowsOnlyWithRecords) {
    extract({{"a.tim", test_support::old_format_file(filled(0.0f), filled(1.0f), {}), RzipKind::old_format}},
            0);
    EXPECT_EQ(read_file(out() + "a.tim"), "");

    const std::string message = extract_error(
        {{"b.tim", test_support::old_format_file(filled(0.0f), filled(1.0f), {{1}}), RzipKind::old_format}},
        0);
    EXPECT_THAT(message, HasSubstr("scale_divisor is 0"));
    EXPECT_THAT(message, HasSubstr(package_path()));
}

TEST_F(OldFormat, PlainEntryIsNotExpanded) {
    const std::string content = test_support::old_format_file(filled(0.0f), filled(1.0f), {{1}});
    extract({{"a.tim", content}});
    EXPECT_EQ(read_file(out() + "a.tim"), content);
}

} // namespace
