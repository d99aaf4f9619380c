#pragma once

// Test-only encoders of the columns of the compressed realtime forms: plane columns and the three
// value encodings (raw, quantized, wavelet), as a station writes them. The program only decodes.
//
// Everything appends little-endian bytes to a std::string, which tests feed to a memory stream,
// write to a file or pack into a package.

#include "realtime/compressed/column_decoder.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace test_support {

// How one parameter's values are stored.
struct ValueCoding {
    ValueEncoding kind = k_raw_encoding;

    // Quantized: code width in bytes (1, 2 or 4; levels are 2^(8 * width) - 1) and the indices of the
    // values stored exactly, ascending. The other values are coded between their minimum (bottom)
    // and maximum (top).
    std::int32_t code_width = 2;
    std::vector<std::int32_t> exceptions;

    // Wavelet: the signal is padded with its last value to the smallest 64 * 2^m samples, transformed,
    // and the coefficients are coded with `levels` levels in two bands: the 64 coarsest, then the
    // rest. With kept_coefficients > 0 only that many are stored and the finer ones are left out
    // (they decode as 0), which is how a station trades detail for size.
    std::uint16_t levels = 65535;
    std::size_t kept_coefficients = 0;

    // Split files only: the values are stored as natural logarithms (log) and, with floor, values
    // of 0 or less decode as 0 (they are stored well below the smallest logarithm).
    bool log = false;
    bool floor = false;

    static ValueCoding raw() { return {}; }
    static ValueCoding quantized(std::int32_t code_width, std::vector<std::int32_t> exceptions = {}) {
        ValueCoding coding;
        coding.kind = k_quantized_encoding;
        coding.code_width = code_width;
        coding.exceptions = std::move(exceptions);
        return coding;
    }
    static ValueCoding wavelet(std::size_t kept_coefficients = 0, std::uint16_t levels = 65535) {
        ValueCoding coding;
        coding.kind = k_wavelet_encoding;
        coding.kept_coefficients = kept_coefficients;
        coding.levels = levels;
        return coding;
    }
    // The same coding, stored as logarithms (split files only).
    ValueCoding logarithmic(bool with_floor) const {
        ValueCoding coding = *this;
        coding.log = true;
        coding.floor = with_floor;
        return coding;
    }
};

// The coding of one parameter from a list that is empty (raw for all), has one entry (the same for
// all) or one entry per parameter.
ValueCoding coding_of(const std::vector<ValueCoding>& codings, std::size_t parameter);

template <class T> void write_scalar(std::string& out, T value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

// The characters and one 0 byte.
void write_text(std::string& out, std::string_view text);

// int32 count, then plane 0 (lowest bytes) to plane sizeof(T) - 1.
template <PlaneElement T> void write_plane_column(std::string& out, std::span<const T> column) {
    write_scalar(out, static_cast<std::int32_t>(column.size()));
    for (std::size_t plane = 0; plane < sizeof(T); ++plane) {
        for (const T& element : column) {
            out.push_back(reinterpret_cast<const char*>(&element)[plane]);
        }
    }
}
template <PlaneElement T> void write_plane_column(std::string& out, const std::vector<T>& column) {
    write_plane_column(out, std::span<const T>(column));
}

// One value column in the given coding, without the leading encoding kind.
void write_value_column(std::string& out, std::span<const float> values, const ValueCoding& coding);

} // namespace test_support
