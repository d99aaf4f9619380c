#pragma once

// Decoders of the columns of the compressed realtime forms.
//
// A plane column stores an int32 element count n, then n bytes of plane 0 (the least significant
// byte of every element), then plane 1, and so on up to the most significant byte. A value column
// stores one parameter's values for every record in one of three encodings: raw (a float32 plane
// column), quantized (integer codes between a bottom and a top value, with exact exceptions) or
// wavelet (quantized wavelet coefficients in up to two bands).
//
// Everything these decoders read comes from outside. Counts are checked against the caps below and
// against the records they must fill, and columns of unknown length grow only as their bytes
// arrive, so a false count runs into the end of the input before it takes memory. Damage throws a
// FileStorageException that names the problem and, where one was given, the file.

#include "codecs/wave/wavelet.h"
#include "library/io/binary_stream.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The element types a plane column may have.
template <class T>
concept PlaneElement = std::same_as<T, std::uint8_t> || std::same_as<T, std::uint16_t> ||
    std::same_as<T, std::uint32_t> || std::same_as<T, std::int32_t> || std::same_as<T, float>;

// Value column encodings.
enum ValueEncoding : std::int32_t {
    k_raw_encoding = 1,
    k_quantized_encoding = 2,
    k_wavelet_encoding = 3,
};

// Largest element count of any column: far beyond any station's file, small enough that the
// arithmetic on it cannot overflow.
inline constexpr std::int64_t k_max_column_elements = std::int64_t{1} << 26;

class ColumnDecoder {
public:
    // source names the file the stream comes from, for messages; it may be empty.
    ColumnDecoder(lib::io::BinaryInputStream& in, std::string source);

    // Reads a plane column of any length (up to the cap) into column.
    template <PlaneElement T> void read_plane_column(std::vector<T>& column);

    // Reads a plane column that must hold exactly `expected` elements into column.
    template <PlaneElement T> void read_plane_column(std::vector<T>& column, std::size_t expected);

    // Reads a plane column that must hold exactly column.size() elements, straight into column.
    template <PlaneElement T> void read_plane_column(std::span<T> column);

    // Decodes one value column of the given encoding kind into buffer, which holds one entry per
    // record and keeps its size: raw and quantized columns must hold that many values, a wavelet
    // column must reconstruct at least that many samples.
    void decode_values(std::int32_t kind, std::span<float> buffer);

private:
    std::size_t read_count();
    void expect_count(std::size_t count, std::size_t expected) const;
    template <PlaneElement T> void read_whole(std::span<T> column);
    template <PlaneElement T> void read_grown(std::vector<T>& column, std::size_t count);
    void read_plane(std::uint8_t* elements, std::size_t count, std::size_t width, std::size_t plane);

    void decode_raw(std::span<float> buffer);
    void decode_quantized(std::span<float> buffer);
    template <class Code>
    void decode_codes(std::vector<Code>& codes, float top, float bottom, std::uint32_t levels,
                      std::span<float> buffer);
    void decode_wavelet(std::span<float> buffer);

    [[noreturn]] void fail(const std::string& problem) const;

    lib::io::BinaryInputStream& in;
    std::string source;
    wave::wavelet codec;
    // Reused from column to column, so decoding allocates nothing once they have grown.
    std::vector<std::uint8_t> scratch;
    std::vector<std::int32_t> exception_indices;
    std::vector<float> exception_values;
    std::vector<std::uint8_t> codes8;
    std::vector<std::uint16_t> codes16;
    std::vector<std::uint32_t> codes32;
    wave::float_vector coefficients;
    wave::float_vector samples;
};

// Reads one plane column of element type T from in.
template <PlaneElement T> std::vector<T> read_plane_column(lib::io::BinaryInputStream& in) {
    std::vector<T> column;
    ColumnDecoder(in, {}).read_plane_column(column);
    return column;
}

// Decodes one value column of the given encoding kind into buffer (see ColumnDecoder).
void decode_values(lib::io::BinaryInputStream& in, std::int32_t kind, std::span<float> buffer);
