#include "realtime/file_storage.h"
#include "tests/support/split_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

using test_support::RealtimeColumns;
using test_support::ValueCoding;
using test_support::write_bytes_file;
using testing::HasSubstr;
using testing::ThrowsMessage;

constexpr double k_e = 2.718281828459045;

class SplitFiles : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("talvex_split_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        base = (folder / "x.realtim").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // One parameter holding the given values.
    void write_single_column(const std::vector<float>& values, ValueCoding coding) {
        RealtimeColumns columns = test_support::sample_columns(values.size(), 1);
        columns.values[0] = values;
        test_support::write_split_files(base, columns, {coding});
    }
    std::vector<float> loaded_column(std::size_t parameter = 0) {
        FileStorage storage;
        storage.load_split_files(base);
        std::vector<float> values;
        for (std::int32_t k = 0; k < storage.record_count(); ++k) {
            values.push_back(storage.record(k)->values[parameter]);
        }
        return values;
    }

    std::filesystem::path folder;
    std::string base;
};

TEST_F(SplitFiles, AssemblesTheEightPieces) {
    const RealtimeColumns columns = test_support::sample_columns(500, 3);
    test_support::write_split_files(base, columns,
                                    {ValueCoding::raw(), ValueCoding::quantized(4, {0}), ValueCoding::wavelet()});
    FileStorage storage;
    storage.load_split_files(base);
    ASSERT_EQ(storage.param_count(), 3);
    EXPECT_EQ(storage.param(static_cast<std::int32_t>(1)).key, "param1");
    EXPECT_EQ(storage.param(static_cast<std::int32_t>(1)).texts, columns.params[1].texts);
    EXPECT_EQ(storage.text_values.text(), columns.text_values);
    ASSERT_EQ(storage.record_count(), 500);
    for (std::size_t k = 0; k < 500; ++k) {
        const FileStorageItem& item = *storage.record(static_cast<std::int32_t>(k));
        ASSERT_EQ(item.time, columns.time[k]);
        ASSERT_EQ(item.depth_z, columns.depth_z[k]);
        ASSERT_EQ(item.depth_cur, columns.depth_cur[k]);
        ASSERT_EQ(item.lag_depth, columns.lag_depth[k]);
        ASSERT_EQ(item.operation, columns.operation[k]);
        ASSERT_EQ(item.values[0], columns.values[0][k]);
        ASSERT_NEAR(item.values[1], columns.values[1][k], 1e-4f);
        ASSERT_NEAR(item.values[2], columns.values[2][k], 0.01f);
    }
    EXPECT_TRUE(storage.sector_format);
}

// A logarithmic column is stored as ln(v) and comes back as e^ln(v).
TEST_F(SplitFiles, LogarithmicColumnsComeBackAsTheirValues) {
    RealtimeColumns columns = test_support::sample_columns(200, 2);
    test_support::write_split_files(base, columns,
                                    {ValueCoding::raw().logarithmic(false), ValueCoding::wavelet().logarithmic(false)});
    const std::vector<float> raw = loaded_column(0);
    const std::vector<float> wavelet = loaded_column(1);
    for (std::size_t k = 0; k < 200; ++k) {
        ASSERT_NEAR(raw[k], columns.values[0][k], 1e-4f) << k;
        ASSERT_NEAR(wavelet[k], columns.values[1][k], 0.05f) << k;
    }
}

// The stored column is taken as logarithms as it is: (0.0, 1.0) has the threshold 0.01.
TEST_F(SplitFiles, LogFlagAndFloorFlag) {
    const auto load_stored_logarithms = [&](const std::vector<float>& stored, bool floor) {
        RealtimeColumns columns = test_support::sample_columns(stored.size(), 1);
        columns.values[0] = stored;
        auto pieces = test_support::split_pieces(columns);
        pieces[1].bytes[4] = 1;     // the log flag, right after the record count
        pieces[1].bytes[5] = floor; // the floor flag
        for (const auto& piece : pieces) {
            write_bytes_file(base + piece.suffix, piece.bytes);
        }
        return loaded_column();
    };
    const float e = static_cast<float>(k_e);
    EXPECT_EQ(load_stored_logarithms({0.0f, 1.0f}, false), (std::vector<float>{1.0f, e}));
    EXPECT_EQ(load_stored_logarithms({0.0f, 1.0f}, true), (std::vector<float>{0.0f, e}));
    EXPECT_EQ(load_stored_logarithms({2.0f, 2.0f, 2.0f}, true),
              std::vector<float>(3, static_cast<float>(std::pow(k_e, 2.0))));
    EXPECT_EQ(load_stored_logarithms({0.0f, 0.01f, 1.0f}, true),
              (std::vector<float>{0.0f, static_cast<float>(std::exp(double{0.01f})), e}));
}

TEST_F(SplitFiles, WriterFloorsValuesWithoutLogarithm) {
    write_single_column({0.0f, 10.0f, 100.0f}, ValueCoding::quantized(2).logarithmic(true));
    const std::vector<float> values = loaded_column();
    EXPECT_EQ(values[0], 0.0f);
    EXPECT_NEAR(values[1], 10.0f, 0.01f);
    EXPECT_NEAR(values[2], 100.0f, 0.1f);
}

// Only as many columns are read as the storage has parameters after merging repeated keys.
TEST_F(SplitFiles, RepeatedParameterReadsOneColumn) {
    RealtimeColumns columns = test_support::sample_columns(30, 3);
    columns.params[1].key = "Param0";
    test_support::write_split_files(base, columns);
    FileStorage storage;
    storage.load_split_files(base);
    ASSERT_EQ(storage.param_count(), 2);
    EXPECT_EQ(storage.record(static_cast<std::int32_t>(29))->values[1], columns.values[2][29]);
}

TEST_F(SplitFiles, ReplacesHeldRecords) {
    FileStorage storage;
    test_support::write_split_files(base, test_support::sample_columns(40, 2));
    storage.load_split_files(base);
    const RealtimeColumns other = test_support::sample_columns(5, 2, 42);
    test_support::write_split_files(base, other);
    storage.load_split_files(base);
    ASSERT_EQ(storage.param_count(), 2);
    ASSERT_EQ(storage.record_count(), 5);
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(storage.record(static_cast<std::int32_t>(k))->time, other.time[k]);
        const std::span<const float> values = storage.record(static_cast<std::int32_t>(k))->values;
        EXPECT_EQ(std::vector<float>(values.begin(), values.end()),
                  (std::vector<float>{other.values[0][k], other.values[1][k]}));
    }
}

TEST_F(SplitFiles, MissingEmptyAndShortPiecesFailWithFileErrors) {
    const RealtimeColumns columns = test_support::sample_columns(10, 1);
    const struct {
        const char* suffix;
        const char* bytes; // null: the piece is missing
        const char* message;
    } cases[] = {
        {".text", nullptr, "Файл не найден!"},
        {".operation", nullptr, "Файл не найден!"},
        {".depth_z", "", "InputMappedFile::open: (h_file_mapping == NULL)"},
        {".params", "\x02\x00\x00", "InputMappedFile::read: eof"},
        {".text", "no end", "InputMappedFile::read: eof"},
    };
    for (const auto& c : cases) {
        test_support::write_split_files(base, columns);
        if (c.bytes == nullptr) {
            std::filesystem::remove(base + c.suffix);
        } else {
            write_bytes_file(base + c.suffix, c.bytes);
        }
        FileStorage storage;
        EXPECT_THAT([&] { storage.load_split_files(base); },
                    ThrowsMessage<std::runtime_error>(testing::Eq(c.message)))
            << c.suffix;
    }
}

TEST_F(SplitFiles, PiecesThatDisagreeWithRecordCountNameThePiece) {
    const struct {
        const char* suffix;
        void (*change)(RealtimeColumns&);
        const char* problem;
    } cases[] = {
        {".time", [](RealtimeColumns& c) { c.time.resize(3); }, "column of 3 elements where 10"},
        {".depth_cur", [](RealtimeColumns& c) { c.depth_cur.resize(11); }, "column of 11 elements where 10"},
        {".operation", [](RealtimeColumns& c) { c.operation.clear(); }, "column of 0 elements where 10"},
        {".values", [](RealtimeColumns& c) { c.values[0].resize(9); }, "column of 9 elements where 10"},
    };
    for (const auto& c : cases) {
        RealtimeColumns columns = test_support::sample_columns(10, 1);
        auto pieces = test_support::split_pieces(columns);
        c.change(columns);
        for (const auto& damaged : test_support::split_pieces(columns)) {
            if (damaged.suffix == c.suffix) {
                std::find_if(pieces.begin(), pieces.end(), [&](auto& p) { return p.suffix == c.suffix; })->bytes =
                    damaged.bytes;
            }
        }
        for (const auto& piece : pieces) {
            write_bytes_file(base + piece.suffix, piece.bytes);
        }
        FileStorage storage;
        EXPECT_THAT([&] { storage.load_split_files(base); },
                    ThrowsMessage<FileStorageException>(
                        testing::AllOf(HasSubstr(c.problem), HasSubstr("\"" + base + c.suffix + "\""))))
            << c.suffix;
    }
}

// A record count of four billion in x.values with ten times in x.time is refused before any
// record is made.
TEST_F(SplitFiles, RecordCountNotBackedByTimePieceIsRefused) {
    const RealtimeColumns columns = test_support::sample_columns(10, 0);
    test_support::write_split_files(base, columns);
    write_bytes_file(base + ".values", std::string("\xFF\xFF\xFF\xFF", 4));
    FileStorage storage;
    EXPECT_THAT([&] { storage.load_split_files(base); },
                ThrowsMessage<FileStorageException>(HasSubstr("column of 10 elements where 4294967295")));
    EXPECT_EQ(storage.record_count(), 0);
}

} // namespace
