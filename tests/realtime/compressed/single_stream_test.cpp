#include "library/io/memory_streams.h"
#include "realtime/file_storage.h"
#include "tests/support/single_stream_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

using test_support::RealtimeColumns;
using test_support::ValueCoding;
using test_support::write_plane_column;
using test_support::write_scalar;
using test_support::write_text;
using testing::HasSubstr;
using testing::ThrowsMessage;

void load(FileStorage& storage, const std::string& bytes) {
    lib::io::BinaryMemoryInputStream in;
    in.assign(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    storage.load_after_decompressing(in);
}

// Checks that the storage holds the columns; values within tolerance[j] of parameter j.
void expect_holds(const FileStorage& storage, const RealtimeColumns& columns, const std::vector<float>& tolerance) {
    ASSERT_EQ(storage.param_count(), static_cast<int>(columns.params.size()));
    for (std::size_t j = 0; j < columns.params.size(); ++j) {
        EXPECT_EQ(storage.param(static_cast<std::int32_t>(j)).texts, columns.params[j].texts);
        EXPECT_EQ(storage.param(static_cast<std::int32_t>(j)).key, columns.params[j].key);
        EXPECT_EQ(storage.param(static_cast<std::int32_t>(j)).low, columns.params[j].low);
        EXPECT_EQ(storage.param(static_cast<std::int32_t>(j)).high, columns.params[j].high);
    }
    EXPECT_EQ(storage.text_values.text(), columns.text_values);
    ASSERT_EQ(storage.record_count(), static_cast<int>(columns.record_count()));
    for (std::size_t k = 0; k < columns.record_count(); ++k) {
        const FileStorageItem& item = *storage.record(static_cast<std::int32_t>(k));
        ASSERT_EQ(item.time, columns.time[k]) << k;
        ASSERT_EQ(item.depth_z, columns.depth_z[k]) << k;
        ASSERT_EQ(item.depth_cur, columns.depth_cur[k]) << k;
        ASSERT_EQ(item.lag_depth, columns.lag_depth[k]) << k;
        ASSERT_EQ(item.operation, columns.operation[k]) << k;
        ASSERT_EQ(item.values.size(), columns.params.size()) << k;
        for (std::size_t j = 0; j < columns.params.size(); ++j) {
            ASSERT_NEAR(item.values[j], columns.values[j][k], tolerance[j]) << "record " << k << ", parameter " << j;
        }
    }
    EXPECT_TRUE(storage.sector_format);
}

std::string header(std::string_view magic, std::int32_t version) {
    std::string bytes;
    write_text(bytes, magic);
    write_scalar(bytes, version);
    return bytes;
}

TEST(SingleStream, LoadsEveryColumnInAllThreeEncodings) {
    const RealtimeColumns columns = test_support::sample_columns(300, 4);
    FileStorage storage;
    load(storage, test_support::single_stream(columns, {ValueCoding::raw(), ValueCoding::quantized(2, {3, 150}),
                                                         ValueCoding::wavelet(), ValueCoding::quantized(1)}));
    expect_holds(storage, columns, {0.0f, 0.001f, 0.01f, 0.2f});
}

TEST(SingleStream, ReplacesWhatTheStorageHeld) {
    FileStorage storage;
    load(storage, test_support::single_stream(test_support::sample_columns(50, 3)));
    const RealtimeColumns smaller = test_support::sample_columns(10, 1, 77);
    load(storage, test_support::single_stream(smaller));
    expect_holds(storage, smaller, {0.0f});
}

TEST(SingleStream, EmptyFileLeavesOnlyTextValues) {
    RealtimeColumns columns;
    columns.text_values = "Скважина=1\r\n";
    FileStorage storage;
    load(storage, test_support::single_stream(test_support::sample_columns(5, 2)));
    load(storage, test_support::single_stream(columns));
    EXPECT_EQ(storage.param_count(), 0);
    EXPECT_EQ(storage.record_count(), 0);
    EXPECT_EQ(storage.text_values.text(), "Скважина=1\r\n");
    EXPECT_TRUE(storage.sector_format);
}

// A key repeated in another letter case is one parameter, with one value column.
TEST(SingleStream, RepeatedKeyHasNoColumnOfItsOwn) {
    RealtimeColumns columns = test_support::sample_columns(20, 3);
    columns.params[2].key = "PARAM0";
    FileStorage storage;
    load(storage, test_support::single_stream(columns, {ValueCoding::quantized(2)}));
    ASSERT_EQ(storage.param_count(), 2);
    EXPECT_EQ(storage.param(static_cast<std::int32_t>(0)).key, "param0");
    EXPECT_NEAR(storage.record(static_cast<std::int32_t>(7))->values[1], columns.values[1][7], 0.001f);
}

TEST(SingleStream, WrongHeaderOrVersionIsRefused) {
    const std::string version_text = "FileStorage::load_after_decompressing: Некорркетная версия файла";
    const std::string header_text = "FileStorage::load_after_decompressing: Некорркетный заголовок файла";
    const struct {
        std::string bytes;
        std::string message;
    } cases[] = {
        {header("CREGFILE", 2), version_text},
        {header("CREGFILE", 0), version_text},
        {header("cregfile", 1), header_text},
        {header("cregfile", 2), header_text},
        {header("CREGFILE ", 1), header_text},
    };
    for (const auto& c : cases) {
        FileStorage storage;
        load(storage, test_support::single_stream(test_support::sample_columns(5, 1)));
        EXPECT_THAT([&] { load(storage, c.bytes); }, ThrowsMessage<FileStorageException>(testing::Eq(c.message)));
        EXPECT_EQ(storage.record_count(), 0) << "the storage is cleared first";
    }
}

// The version is read before the magic is checked: a stream that ends after a wrong magic fails
// at its end.
TEST(SingleStream, ReadsVersionBeforeCheckingMagic) {
    std::string bytes;
    write_text(bytes, "cregfile");
    FileStorage storage;
    EXPECT_THROW(load(storage, bytes), std::runtime_error);
    EXPECT_THAT([&] { load(storage, bytes); }, ThrowsMessage<std::runtime_error>(HasSubstr("BinaryMemoryInputStream")));
}

// A stream that ends early keeps what was read before the end.
TEST(SingleStream, TruncatedStreamKeepsParametersReadSoFar) {
    const std::string bytes = test_support::single_stream(test_support::sample_columns(100, 2));
    FileStorage storage;
    EXPECT_THROW(load(storage, bytes.substr(0, bytes.size() - 10)), std::exception);
    EXPECT_EQ(storage.param_count(), 2);
    EXPECT_EQ(storage.text_values.text(), test_support::sample_columns(1, 0).text_values);
}

// The record count is checked against the time column before any record is made.
TEST(SingleStream, ColumnsThatDisagreeWithRecordCountAreRefused) {
    const RealtimeColumns columns = test_support::sample_columns(10, 1);
    const auto stream_with = [&](auto change) {
        RealtimeColumns damaged = columns;
        change(damaged);
        return test_support::single_stream(damaged);
    };
    const struct {
        const char* name;
        std::string bytes;
        const char* problem;
    } cases[] = {
        {"short depth column", stream_with([](RealtimeColumns& c) { c.depth_cur.pop_back(); }),
         "column of 9 elements where 10"},
        {"long operation column", stream_with([](RealtimeColumns& c) { c.operation.push_back(1); }),
         "column of 11 elements where 10"},
        {"short value column", stream_with([](RealtimeColumns& c) { c.values[0].resize(4); }),
         "column of 4 elements where 10"},
        {"short time column", stream_with([](RealtimeColumns& c) { c.time.pop_back(); }),
         "column of 10 elements where 9"},
    };
    for (const auto& c : cases) {
        FileStorage storage;
        EXPECT_THAT([&] { load(storage, c.bytes); }, ThrowsMessage<FileStorageException>(HasSubstr(c.problem)))
            << c.name;
    }
}

// A record count of a billion with ten records of data fails before the billion records exist.
TEST(SingleStream, FalseRecordCountFailsBeforeMakingRecords) {
    std::string bytes = header("CREGFILE", 1);
    write_scalar(bytes, std::int32_t{0}); // parameters
    write_text(bytes, "");
    write_scalar(bytes, std::int32_t{1000000000});
    write_plane_column(bytes, std::vector<std::uint32_t>(10, 5));
    FileStorage storage;
    EXPECT_THAT([&] { load(storage, bytes); },
                ThrowsMessage<FileStorageException>(HasSubstr("column of 10 elements where 1000000000")));
    EXPECT_EQ(storage.record_count(), 0);

    bytes = header("CREGFILE", 1);
    write_scalar(bytes, std::int32_t{0});
    write_text(bytes, "");
    write_scalar(bytes, std::int32_t{1000000});
    write_scalar(bytes, std::int32_t{1000000}); // the time column claims as much, but its bytes end
    EXPECT_THROW(load(storage, bytes), std::runtime_error);
    EXPECT_EQ(storage.record_count(), 0);
}

class CompressedFile : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("talvex_compr1_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string path(const char* name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

TEST_F(CompressedFile, LoadsTheFormFromAFile) {
    const RealtimeColumns columns = test_support::sample_columns(64, 2);
    test_support::write_single_stream_file(path("x.realtim.compr1"), columns, {ValueCoding::wavelet()});
    FileStorage storage;
    storage.load_compressed_file(path("x.realtim.compr1"));
    expect_holds(storage, columns, {0.01f, 0.01f});
}

TEST_F(CompressedFile, NamesTheFileOfADamagedColumn) {
    RealtimeColumns columns = test_support::sample_columns(64, 2);
    columns.lag_depth.pop_back();
    test_support::write_single_stream_file(path("x.realtim.compr1"), columns);
    FileStorage storage;
    EXPECT_THAT([&] { storage.load_compressed_file(path("x.realtim.compr1")); },
                ThrowsMessage<FileStorageException>(HasSubstr("\"" + path("x.realtim.compr1") + "\"")));
}

TEST_F(CompressedFile, MissingEmptyAndShortFilesFailWithFileErrors) {
    test_support::write_bytes_file(path("empty.compr1"), "");
    test_support::write_bytes_file(path("short.compr1"), header("CREGFILE", 1));
    FileStorage storage;
    EXPECT_THAT([&] { storage.load_compressed_file(path("missing.compr1")); },
                ThrowsMessage<std::runtime_error>(testing::Eq("Файл не найден!")));
    EXPECT_THAT([&] { storage.load_compressed_file(path("empty.compr1")); },
                ThrowsMessage<std::runtime_error>(testing::Eq("InputMappedFile::open: (h_file_mapping == NULL)")));
    EXPECT_THAT([&] { storage.load_compressed_file(path("short.compr1")); },
                ThrowsMessage<std::runtime_error>(testing::Eq("InputMappedFile::read: eof")));
}

} // namespace
