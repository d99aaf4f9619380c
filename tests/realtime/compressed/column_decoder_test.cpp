#include "codecs/wave/coif5.h"
#include "library/io/memory_streams.h"
#include "realtime/compressed/column_decoder.h"
#include "realtime/file_storage.h"
#include "tests/support/column_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using test_support::ValueCoding;
using test_support::write_plane_column;
using test_support::write_scalar;

lib::io::BinaryMemoryInputStream stream_of(const std::string& bytes) {
    lib::io::BinaryMemoryInputStream in;
    in.assign(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return in;
}

// Decodes a value column of the given kind for `records` records and checks that the decoder
// stopped exactly at the end of the column: a sentinel written after it must come next.
std::vector<float> decode(std::int32_t kind, std::string bytes, std::size_t records) {
    write_scalar(bytes, std::uint32_t{0xC0FFEE});
    lib::io::BinaryMemoryInputStream in = stream_of(bytes);
    std::vector<float> buffer(records, -1.0f);
    decode_values(in, kind, buffer);
    std::uint32_t sentinel = 0;
    in >> sentinel;
    EXPECT_EQ(sentinel, 0xC0FFEEu) << "the decoder stopped elsewhere than the end of the column";
    return buffer;
}

std::vector<float> random_signal(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0.0f, 0.5f);
    std::vector<float> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = 100.0f + 20.0f * std::sin(static_cast<float>(i) / 15.0f) + noise(random);
    }
    return values;
}

TEST(PlaneColumn, StoresBytesGroupedBySignificance) {
    std::string bytes;
    write_plane_column(bytes, std::vector<std::uint32_t>{1, 2, 258});
    const std::string expected{"\x03\x00\x00\x00"
                               "\x01\x02\x02"
                               "\x00\x00\x01"
                               "\x00\x00\x00"
                               "\x00\x00\x00",
                               16};
    EXPECT_EQ(bytes, expected);
    lib::io::BinaryMemoryInputStream in = stream_of(bytes);
    EXPECT_EQ(read_plane_column<std::uint32_t>(in), (std::vector<std::uint32_t>{1, 2, 258}));
}

TEST(PlaneColumn, RoundTripsEveryElementType) {
    std::string bytes;
    const std::vector<std::uint8_t> u8{0, 7, 255};
    const std::vector<std::uint16_t> u16{0, 0x1234, 0xFFFF};
    const std::vector<std::int32_t> i32{-1, 0, 0x7FFFFFFF, -0x7FFFFFFF - 1};
    const std::vector<float> f32{-1.5f, 0.0f, 3.25e7f, 1e-30f};
    // Longer than the decoder's transfer buffer, so columns cross its chunks.
    std::vector<std::uint32_t> u32(200000);
    for (std::size_t i = 0; i < u32.size(); ++i) {
        u32[i] = static_cast<std::uint32_t>(i * 2654435761u);
    }
    write_plane_column(bytes, u8);
    write_plane_column(bytes, u16);
    write_plane_column(bytes, i32);
    write_plane_column(bytes, f32);
    write_plane_column(bytes, u32);
    lib::io::BinaryMemoryInputStream in = stream_of(bytes);
    EXPECT_EQ(read_plane_column<std::uint8_t>(in), u8);
    EXPECT_EQ(read_plane_column<std::uint16_t>(in), u16);
    EXPECT_EQ(read_plane_column<std::int32_t>(in), i32);
    EXPECT_EQ(read_plane_column<float>(in), f32);
    EXPECT_EQ(read_plane_column<std::uint32_t>(in), u32);
    EXPECT_TRUE(in.eof());
}

TEST(PlaneColumn, CountOfZeroOrLessIsEmpty) {
    std::string bytes;
    write_scalar(bytes, std::int32_t{-5});
    write_scalar(bytes, std::int32_t{0});
    lib::io::BinaryMemoryInputStream in = stream_of(bytes);
    EXPECT_TRUE(read_plane_column<float>(in).empty());
    EXPECT_TRUE(read_plane_column<std::uint16_t>(in).empty());
    EXPECT_TRUE(in.eof());
}

// A count far beyond the bytes present must fail at the end of the input, not take the memory
// the count claims first.
TEST(PlaneColumn, FalseCountRunsIntoEndOfInputWithoutAllocatingIt) {
    std::string bytes;
    write_scalar(bytes, std::int32_t{1 << 25});
    bytes.append(100, '\x01');
    lib::io::BinaryMemoryInputStream in = stream_of(bytes);
    EXPECT_THROW(read_plane_column<std::uint32_t>(in), std::range_error);

    bytes.clear();
    write_scalar(bytes, std::int32_t{0x7FFFFFFF});
    lib::io::BinaryMemoryInputStream huge = stream_of(bytes);
    EXPECT_THAT([&] { read_plane_column<float>(huge); },
                testing::ThrowsMessage<FileStorageException>(testing::HasSubstr("2147483647 elements")));
}

TEST(DecodeValues, RawColumnIsTakenAsItIs) {
    const std::vector<float> values{1.0f, -2.5f, 1e20f};
    std::string bytes;
    write_plane_column(bytes, values);
    EXPECT_EQ(decode(k_raw_encoding, bytes, 3), values);
}

TEST(DecodeValues, QuantizedCodesAndExceptionsInterleave) {
    std::string bytes;
    write_scalar(bytes, std::int32_t{1});    // code width
    write_scalar(bytes, std::uint32_t{255}); // levels
    write_scalar(bytes, 255.0f);             // top
    write_scalar(bytes, 0.0f);               // bottom
    write_scalar(bytes, std::int32_t{4});    // values
    write_plane_column(bytes, std::vector<std::int32_t>{2});
    write_plane_column(bytes, std::vector<float>{7.5f});
    write_plane_column(bytes, std::vector<std::uint8_t>{10, 20, 30});
    EXPECT_EQ(decode(k_quantized_encoding, bytes, 4), (std::vector<float>{10.0f, 20.0f, 7.5f, 30.0f}));
}

// bottom + c * (top - bottom) / levels in double precision, rounded once to float.
TEST(DecodeValues, QuantizedValueIsComputedInDoublePrecision) {
    std::string bytes;
    write_scalar(bytes, std::int32_t{2});
    write_scalar(bytes, std::uint32_t{3});
    write_scalar(bytes, 1.0f);
    write_scalar(bytes, 0.1f);
    write_scalar(bytes, std::int32_t{2});
    write_plane_column(bytes, std::vector<std::int32_t>{});
    write_plane_column(bytes, std::vector<float>{});
    write_plane_column(bytes, std::vector<std::uint16_t>{1, 2});
    const double bottom = 0.1f;
    const double range = 1.0 - bottom;
    EXPECT_EQ(decode(k_quantized_encoding, bytes, 2),
              (std::vector<float>{static_cast<float>(bottom + 1.0 * range / 3.0),
                                  static_cast<float>(bottom + 2.0 * range / 3.0)}));
}

TEST(DecodeValues, EncodedColumnsComeBackWithinTheirPrecision) {
    struct Case {
        const char* name;
        ValueCoding coding;
        std::size_t records;
        float tolerance;
    };
    const Case cases[] = {
        {"quantized bytes", ValueCoding::quantized(1), 300, 0.1f},
        {"quantized words with exceptions", ValueCoding::quantized(2, {0, 5, 299}), 300, 0.001f},
        {"quantized double words", ValueCoding::quantized(4), 77, 1e-5f},
        {"wavelet of one level", ValueCoding::wavelet(), 64, 0.01f},
        {"wavelet padded to 128", ValueCoding::wavelet(), 100, 0.01f},
        {"wavelet of 4096", ValueCoding::wavelet(), 4000, 0.05f},
    };
    for (const Case& c : cases) {
        std::vector<float> values = random_signal(c.records, 7);
        for (std::int32_t index : c.coding.exceptions) {
            values[static_cast<std::size_t>(index)] = -999.25f; // out of the coded range, kept exactly
        }
        std::string bytes;
        test_support::write_value_column(bytes, values, c.coding);
        const std::vector<float> decoded = decode(c.coding.kind, bytes, c.records);
        for (std::size_t i = 0; i < c.records; ++i) {
            ASSERT_NEAR(decoded[i], values[i], c.tolerance) << c.name << ", value " << i;
        }
        for (std::int32_t index : c.coding.exceptions) {
            EXPECT_EQ(decoded[static_cast<std::size_t>(index)], -999.25f) << c.name;
        }
    }
}

// A station may keep only the coarse coefficients: the finer ones decode as 0 and the signal
// loses detail but keeps its shape.
TEST(DecodeValues, WaveletWithoutFinestBandKeepsTheShape) {
    const std::vector<float> values = random_signal(256, 3);
    std::string bytes;
    test_support::write_value_column(bytes, values, ValueCoding::wavelet(128));
    const std::vector<float> decoded = decode(k_wavelet_encoding, bytes, 256);
    double squares = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        squares += (decoded[i] - values[i]) * (decoded[i] - values[i]);
    }
    EXPECT_LT(std::sqrt(squares / 256.0), 1.0) << "the sine of amplitude 20 must survive";
}

// The first band supplies all 64 coefficients: its extra codes are ignored and no second band is
// read (decode() checks that the column ends right after the first band).
TEST(DecodeValues, WaveletStopsReadingOnceAllCoefficientsAreSet) {
    std::string bytes;
    write_scalar(bytes, std::uint32_t{64});
    write_scalar(bytes, 0.0f);
    write_scalar(bytes, 1.0f);
    write_scalar(bytes, std::uint32_t{1});
    std::vector<std::uint16_t> codes(70, 0);
    codes[0] = 1;  // coefficient 0 = 1.0
    codes[65] = 1; // beyond the 64 coefficients: ignored
    write_plane_column(bytes, codes);
    const std::vector<float> decoded = decode(k_wavelet_encoding, bytes, 64);
    for (std::size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(decoded[i], static_cast<float>(std::sqrt(2.0) * wave::k_coif5[i])) << i;
    }
    for (std::size_t i = 30; i < 64; ++i) {
        EXPECT_EQ(decoded[i], 0.0f) << i;
    }
}

TEST(DecodeValues, WaveletReadsSecondBandForTheRemainingCoefficients) {
    std::string bytes;
    write_scalar(bytes, std::uint32_t{128});
    for (int band = 0; band < 2; ++band) {
        write_scalar(bytes, 0.0f);
        write_scalar(bytes, 2.0f);
        write_scalar(bytes, std::uint32_t{2});
        write_plane_column(bytes, std::vector<std::uint16_t>(band == 0 ? 10 : 200, 0));
    }
    // All coefficients 0 except none: a zero signal, and both bands consumed.
    EXPECT_EQ(decode(k_wavelet_encoding, bytes, 100), std::vector<float>(100, 0.0f));
}

// Each damaged column throws a FileStorageException naming the problem, never reads or writes
// outside the buffer.
TEST(DecodeValues, DamagedColumnsAreRefusedWithTheirProblem) {
    const auto quantized = [](std::int32_t width, std::int32_t count, std::vector<std::int32_t> indices,
                              std::vector<float> exact, std::size_t codes) {
        std::string bytes;
        write_scalar(bytes, width);
        write_scalar(bytes, std::uint32_t{255});
        write_scalar(bytes, 1.0f);
        write_scalar(bytes, 0.0f);
        write_scalar(bytes, count);
        write_plane_column(bytes, indices);
        write_plane_column(bytes, exact);
        write_plane_column(bytes, std::vector<std::uint8_t>(codes, 1));
        return bytes;
    };
    const auto wavelet = [](std::uint32_t count) {
        std::string bytes;
        write_scalar(bytes, count);
        write_scalar(bytes, 0.0f);
        write_scalar(bytes, 1.0f);
        write_scalar(bytes, std::uint32_t{1});
        write_plane_column(bytes, std::vector<std::uint16_t>(64, 0));
        return bytes;
    };
    std::string short_raw;
    write_plane_column(short_raw, std::vector<float>(3, 1.0f));
    std::string long_raw;
    write_plane_column(long_raw, std::vector<float>(5, 1.0f));

    struct Case {
        const char* name;
        std::int32_t kind;
        std::string bytes;
        std::size_t records;
        const char* problem;
    };
    const Case cases[] = {
        {"raw column short of the records", k_raw_encoding, short_raw, 4, "column of 3 elements where 4"},
        {"raw column longer than the records", k_raw_encoding, long_raw, 4, "column of 5 elements where 4"},
        {"quantized count differs", k_quantized_encoding, quantized(1, 5, {}, {}, 5), 4,
         "quantized column of 5 values where 4"},
        {"code column short of its count", k_quantized_encoding, quantized(1, 4, {1}, {2.0f}, 2), 4,
         "code column of 2 codes where 3"},
        {"exception index past the column", k_quantized_encoding, quantized(1, 4, {4}, {2.0f}, 4), 4,
         "exception index 4 outside"},
        {"negative exception index", k_quantized_encoding, quantized(1, 4, {-1}, {2.0f}, 4), 4,
         "exception index -1 outside"},
        {"exception indices out of order", k_quantized_encoding, quantized(1, 4, {2, 1}, {2.0f, 3.0f}, 2), 4,
         "not ascending"},
        {"fewer exception values than indices", k_quantized_encoding, quantized(1, 4, {1, 2}, {2.0f}, 2), 4,
         "1 exception values for 2"},
        {"code width of 3 bytes", k_quantized_encoding, quantized(3, 4, {}, {}, 4), 4, "code width 3"},
        {"code width of 0", k_quantized_encoding, quantized(0, 4, {}, {}, 4), 4, "code width 0"},
        {"unknown encoding 4", 4, short_raw, 3, "unknown value encoding 4"},
        {"unknown encoding 0", 0, short_raw, 3, "unknown value encoding 0"},
        {"96 coefficients", k_wavelet_encoding, wavelet(96), 50, "96 wavelet coefficients are not 64 * 2^m"},
        {"no coefficients", k_wavelet_encoding, wavelet(0), 0, "0 wavelet coefficients are not 64 * 2^m"},
        {"32 coefficients", k_wavelet_encoding, wavelet(32), 10, "32 wavelet coefficients are not 64 * 2^m"},
        {"fewer samples than records", k_wavelet_encoding, wavelet(128), 129, "give fewer samples than 129"},
        {"coefficients far beyond the records", k_wavelet_encoding, wavelet(1u << 20), 100,
         "1048576 wavelet coefficients for 100 records"},
    };
    for (const Case& c : cases) {
        lib::io::BinaryMemoryInputStream in = stream_of(c.bytes);
        std::vector<float> buffer(c.records);
        ColumnDecoder decoder(in, "well.values");
        EXPECT_THAT([&] { decoder.decode_values(c.kind, buffer); },
                    testing::ThrowsMessage<FileStorageException>(
                        testing::AllOf(testing::HasSubstr(c.problem), testing::HasSubstr("\"well.values\""))))
            << c.name;
    }
}

} // namespace
