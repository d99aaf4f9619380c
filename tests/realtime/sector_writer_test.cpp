#include "library/encoding.h"
#include "library/io/memory_streams.h"
#include "realtime/file_storage.h"
#include "tests/support/temp_folder.h"
#include "tests/realtime/sector_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
        text += ' ';
    }
    return text;
}

FileStorageParam param(std::string key, std::string first = "", std::string second = "",
                       std::string third = "") {
    return {{std::move(first), std::move(second), std::move(third)}, std::move(key), 0.0f, 100.0f};
}

void add_record(FileStorage& storage, std::uint32_t time, const std::vector<float>& values,
                std::uint8_t operation = 3) {
    const auto index = storage.add_record({time, 1.0f, 3.0f, 2.0f, operation, {}});
    std::copy(values.begin(), values.end(), storage.values(index).begin());
}

// Everything the sector file carries is equal in both storages.
void expect_same_content(const FileStorage& read, const FileStorage& written) {
    ASSERT_EQ(read.param_count(), written.param_count());
    for (std::int32_t i = 0; i < written.param_count(); ++i) {
        EXPECT_EQ(read.param(i), written.param(i)) << i;
    }
    ASSERT_EQ(read.record_count(), written.record_count());
    for (std::int32_t i = 0; i < written.record_count(); ++i) {
        const auto* a = read.record(i);
        const auto* b = written.record(i);
        EXPECT_EQ(a->time, b->time);
        EXPECT_EQ(a->depth_z, b->depth_z);
        EXPECT_EQ(a->depth_cur, b->depth_cur);
        EXPECT_EQ(a->lag_depth, b->lag_depth);
        EXPECT_EQ(a->operation, b->operation);
        EXPECT_TRUE(std::ranges::equal(a->values, b->values)) << i;
    }
    EXPECT_EQ(read.text_values, written.text_values);
    EXPECT_TRUE(read.messages().empty());
}

class SectorWriter : public testing::Test {
protected:
    // Writes the storage to a file and opens that file into a fresh storage.
    void round_trip(const std::string& name = "well.realtim") {
        path = folder.path() + name;
        storage.write_file(path);
        read.open(path);
    }

    TempFolder folder;
    FileStorage storage;
    FileStorage read;
    std::string path;
};

TEST_F(SectorWriter, WritesTheFortySevenByteExample) {
    storage.add_param(param("k", "A"));
    const auto index = storage.add_record({16, 1.0f, 3.0f, 2.0f, 3, {}});
    storage.values(index)[0] = 5.0f;
    round_trip();

    const std::string expected(
        "\x02\x0F\x00\x01\x41\x00\x00\x00\x6B\x00\x00\x00\x00\x00\x00\x00\xC8\x42"
        "\x01\x16\x00\x10\x00\x00\x00\x00\x00\x80\x3F\x00\x00\x00\x40\x03\x00\x00\x40\x40"
        "\x01\x00\x00\xA0\x40"
        "\x03\x01\x00\x00",
        47);
    EXPECT_EQ(hex(read_file(path)), hex(expected));
    expect_same_content(read, storage);
}

TEST_F(SectorWriter, EmptyStorageWritesEmptyTableAndEmptyText) {
    lib::io::BinaryMemoryOutputStream out(128);
    storage.write(out);
    EXPECT_EQ(hex({out.data(), out.size()}), hex(std::string("\x02\x01\x00\x00\x03\x01\x00\x00", 8)));
}

TEST_F(SectorWriter, ReadsBackParametersRecordsAndTextValues) {
    const auto cp = [](std::string_view text) { return lib::utf8_to_cp1251(text); };
    storage.add_param(param(cp("Глубина"), "first", "second", "third"));
    storage.add_param({{"", "", ""}, "gas", -5.0f, 1e6f});
    add_record(storage, 10, {1.5f, -2.0f});
    add_record(storage, 4000000000u, {0.0f, 3e-5f}, 0);
    storage.add_record({12, 0.0f, 0.0f, 0.0f, FileStorage::k_compact_operation, {}});
    storage.text_values.set(cp("Скважина"), cp("12-бис"));
    storage.text_values.set("quoted", "\"in quotes\"");
    storage.text_values.set("equals", "a=b");
    round_trip();

    expect_same_content(read, storage);
    EXPECT_EQ(read.record(2)->operation, 255);
}

TEST_F(SectorWriter, RemarksAreNotWritten) {
    SectorBytes file;
    file.params({"a"}).remark(1, 2.0f, "note").record(1, {1});
    storage.open(folder.write("with_remark.realtim", file.bytes));
    ASSERT_EQ(storage.remarks().size(), 1u);
    round_trip();
    EXPECT_TRUE(read.remarks().empty());
    expect_same_content(read, storage);
}

TEST_F(SectorWriter, HundredTwentyEightParametersReadBackAsRecords) {
    std::vector<float> values;
    for (int i = 0; i < FileStorage::k_max_params; ++i) {
        storage.add_param(param("p" + std::to_string(i)));
        values.push_back(static_cast<float>(i));
    }
    add_record(storage, 1, values);
    round_trip();
    const auto bytes = read_file(path);
    const auto table_length =
        static_cast<unsigned char>(bytes[1]) + 256 * static_cast<unsigned char>(bytes[2]);
    EXPECT_EQ(static_cast<unsigned char>(bytes[3 + table_length + 3 + 17]), 128)
        << "the record's value count";
    expect_same_content(read, storage);
}

TEST_F(SectorWriter, LongTextGoesIntoSeveralSectorsThatReadBackEqual) {
    for (int i = 0; i < 2000; ++i) {
        storage.text_values.set("name" + std::to_string(i), std::string(40, 'v') + std::to_string(i));
    }
    ASSERT_GT(storage.text_values.text().size(), 3u * 32767);
    round_trip();
    expect_same_content(read, storage);
}

TEST_F(SectorWriter, RefusesWhatNoSectorCanHoldAndLeavesFileAlone) {
    const auto target = folder.write("well.realtim", "old content");
    FileStorage long_line;
    long_line.text_values.set("name", std::string(40000, 'x'));
    EXPECT_THROW(long_line.write_file(target), FileStorageException);

    for (int i = 0; i < FileStorage::k_max_params; ++i) {
        storage.add_param(param("p" + std::to_string(i), std::string(300, 't')));
    }
    try {
        storage.write_file(target);
        FAIL() << "a parameter table of more than 32767 bytes was written";
    } catch (const FileStorageException& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr(target));
    }
    EXPECT_EQ(read_file(target), "old content");
}

TEST_F(SectorWriter, MergedStorageWritesParametersOfBothFiles) {
    SectorBytes first;
    first.params({"a", "b"}).record(1, {1, 2});
    SectorBytes second;
    second.params({"c", "B"}).record(2, {3, 4}).text("well=7\r\n");
    storage.open(folder.write("first.realtim", first.bytes));
    storage.open(folder.write("second.realtim", second.bytes));
    round_trip("merged.realtim");

    ASSERT_EQ(read.param_count(), 3);
    EXPECT_EQ(read.param(2).key, "c");
    EXPECT_TRUE(std::ranges::equal(read.record(0)->values, std::vector<float>{1, 2, 0}));
    EXPECT_TRUE(std::ranges::equal(read.record(1)->values, std::vector<float>{0, 4, 3}));
    EXPECT_EQ(read.text_values.value("WELL"), "7");
}

TEST_F(SectorWriter, SaveWritesOnlyStorageReadFromSectorFile) {
    SectorBytes file;
    file.params({"a"}).record(1, {1});
    const auto old_file = folder.write("old.tim", "145-byte records");
    storage.open(old_file);
    storage.save(old_file);
    EXPECT_EQ(read_file(old_file), "145-byte records");

    const auto sector_file = folder.write("new.realtim", file.bytes);
    storage.open(sector_file);
    add_record(storage, 2, {2});
    storage.save(sector_file);
    read.open(sector_file);
    EXPECT_EQ(read.record_count(), 2);
}

} // namespace
