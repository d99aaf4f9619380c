#include "realtime/compressed/column_decoder.h"

#include "codecs/wave/coif5.h"
#include "realtime/file_storage.h"

#include <algorithm>
#include <bit>
#include <type_traits>
#include <utility>

namespace {

// Plane bytes of wider elements pass through a buffer of this size.
constexpr std::size_t k_chunk = 64 * 1024;

} // namespace

ColumnDecoder::ColumnDecoder(lib::io::BinaryInputStream& in, std::string source)
    : in(in), source(std::move(source)) {
    codec.set_filter(wave::k_coif5.data(), static_cast<std::int32_t>(wave::k_coif5.size()));
}

void ColumnDecoder::fail(const std::string& problem) const {
    throw FileStorageException("FileStorage::" + problem +
                               (source.empty() ? "" : " (file \"" + source + "\")"));
}

std::size_t ColumnDecoder::read_count() {
    std::int32_t count = 0;
    in >> count;
    if (count > k_max_column_elements) {
        fail("read_plane_column: a column claims " + std::to_string(count) + " elements");
    }
    return static_cast<std::size_t>(std::max(count, 0));
}

// Reads the next count bytes of the stream as byte `plane` of count elements of `width` bytes.
void ColumnDecoder::read_plane(std::uint8_t* elements, std::size_t count, std::size_t width,
                               std::size_t plane) {
    if (width == 1) {
        if (count > 0) {
            in.read(elements, static_cast<std::uint32_t>(count));
        }
        return;
    }
    scratch.resize(k_chunk);
    for (std::size_t done = 0; done < count;) {
        const std::size_t chunk = std::min(count - done, k_chunk);
        in.read(scratch.data(), static_cast<std::uint32_t>(chunk));
        std::uint8_t* target = elements + done * width + plane;
        for (std::size_t i = 0; i < chunk; ++i) {
            target[i * width] = scratch[i];
        }
        done += chunk;
    }
}

void ColumnDecoder::expect_count(std::size_t count, std::size_t expected) const {
    if (count != expected) {
        fail("read_plane_column: column of " + std::to_string(count) + " elements where " +
             std::to_string(expected) + " records are expected");
    }
}

// A column whose size is known takes all its planes in one read and assembles each element from
// its bytes in one pass.
template <PlaneElement T> void ColumnDecoder::read_whole(std::span<T> column) {
    const std::size_t count = column.size();
    if (count == 0) {
        return;
    }
    if constexpr (sizeof(T) == 1) {
        in.read(column.data(), static_cast<std::uint32_t>(count));
    } else {
        using Bits = std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint32_t>;
        scratch.resize(count * sizeof(T));
        in.read(scratch.data(), static_cast<std::uint32_t>(scratch.size()));
        const std::uint8_t* planes = scratch.data();
        for (std::size_t i = 0; i < count; ++i) {
            Bits bits = 0;
            for (std::size_t plane = 0; plane < sizeof(T); ++plane) {
                bits |= static_cast<Bits>(static_cast<Bits>(planes[plane * count + i]) << (8 * plane));
            }
            column[i] = std::bit_cast<T>(bits);
        }
    }
}

template <PlaneElement T> void ColumnDecoder::read_grown(std::vector<T>& column, std::size_t count) {
    column.clear();
    // The least significant plane comes first; the column grows only as its bytes arrive.
    for (std::size_t done = 0; done < count;) {
        const std::size_t chunk = std::min(count - done, std::max(k_chunk, done));
        column.resize(done + chunk);
        read_plane(reinterpret_cast<std::uint8_t*>(column.data() + done), chunk, sizeof(T), 0);
        done += chunk;
    }
    auto* bytes = reinterpret_cast<std::uint8_t*>(column.data());
    for (std::size_t plane = 1; plane < sizeof(T); ++plane) {
        read_plane(bytes, count, sizeof(T), plane);
    }
}

template <PlaneElement T> void ColumnDecoder::read_plane_column(std::vector<T>& column) {
    read_grown(column, read_count());
}

template <PlaneElement T>
void ColumnDecoder::read_plane_column(std::vector<T>& column, std::size_t expected) {
    const std::size_t count = read_count();
    expect_count(count, expected);
    read_grown(column, count);
}

template <PlaneElement T> void ColumnDecoder::read_plane_column(std::span<T> column) {
    expect_count(read_count(), column.size());
    read_whole(column);
}

template void ColumnDecoder::read_plane_column(std::vector<std::uint8_t>&);
template void ColumnDecoder::read_plane_column(std::vector<std::uint8_t>&, std::size_t);
template void ColumnDecoder::read_plane_column(std::span<std::uint8_t>);
template void ColumnDecoder::read_plane_column(std::vector<std::uint16_t>&);
template void ColumnDecoder::read_plane_column(std::vector<std::uint16_t>&, std::size_t);
template void ColumnDecoder::read_plane_column(std::span<std::uint16_t>);
template void ColumnDecoder::read_plane_column(std::vector<std::uint32_t>&);
template void ColumnDecoder::read_plane_column(std::vector<std::uint32_t>&, std::size_t);
template void ColumnDecoder::read_plane_column(std::span<std::uint32_t>);
template void ColumnDecoder::read_plane_column(std::vector<std::int32_t>&);
template void ColumnDecoder::read_plane_column(std::vector<std::int32_t>&, std::size_t);
template void ColumnDecoder::read_plane_column(std::span<std::int32_t>);
template void ColumnDecoder::read_plane_column(std::vector<float>&);
template void ColumnDecoder::read_plane_column(std::vector<float>&, std::size_t);
template void ColumnDecoder::read_plane_column(std::span<float>);

void ColumnDecoder::decode_values(std::int32_t kind, std::span<float> buffer) {
    switch (kind) {
    case k_raw_encoding:
        decode_raw(buffer);
        return;
    case k_quantized_encoding:
        decode_quantized(buffer);
        return;
    case k_wavelet_encoding:
        decode_wavelet(buffer);
        return;
    default:
        fail("decode_values: unknown value encoding " + std::to_string(kind));
    }
}

void ColumnDecoder::decode_raw(std::span<float> buffer) {
    read_plane_column(buffer);
}

// Layout: int32 code width, uint32 levels, float32 top, float32 bottom, int32 value count, the
// ascending exception indices, the exception values, then one code per value that is not an
// exception.
void ColumnDecoder::decode_quantized(std::span<float> buffer) {
    std::int32_t width = 0;
    std::uint32_t levels = 0;
    float top = 0.0f;
    float bottom = 0.0f;
    std::int32_t count = 0;
    in >> width >> levels >> top >> bottom >> count;
    read_plane_column(exception_indices);
    read_plane_column(exception_values);
    if (width != 1 && width != 2 && width != 4) {
        fail("decode_values: unknown code width " + std::to_string(width) + " of a quantized column");
    }
    const std::size_t values = static_cast<std::size_t>(std::max(count, 0));
    if (values != buffer.size()) {
        fail("decode_values: quantized column of " + std::to_string(values) + " values where " +
             std::to_string(buffer.size()) + " records are expected");
    }
    switch (width) {
    case 1:
        read_plane_column(codes8);
        decode_codes(codes8, top, bottom, levels, buffer);
        return;
    case 2:
        read_plane_column(codes16);
        decode_codes(codes16, top, bottom, levels, buffer);
        return;
    default:
        read_plane_column(codes32);
        decode_codes(codes32, top, bottom, levels, buffer);
        return;
    }
}

template <class Code>
void ColumnDecoder::decode_codes(std::vector<Code>& codes, float top, float bottom, std::uint32_t levels,
                                 std::span<float> buffer) {
    // Every distinct exception index takes the next exception value; every other position takes the
    // next code. Both lists must hold enough for that.
    std::size_t distinct = 0;
    for (std::size_t e = 0; e < exception_indices.size(); ++e) {
        const std::int32_t index = exception_indices[e];
        if (index < 0 || static_cast<std::size_t>(index) >= buffer.size()) {
            fail("decode_values: exception index " + std::to_string(index) + " outside a column of " +
                 std::to_string(buffer.size()) + " values");
        }
        if (e > 0 && index < exception_indices[e - 1]) {
            fail("decode_values: exception indices are not ascending");
        }
        distinct += e == 0 || index != exception_indices[e - 1];
    }
    if (exception_values.size() < distinct) {
        fail("decode_values: " + std::to_string(exception_values.size()) + " exception values for " +
             std::to_string(distinct) + " exception indices");
    }
    if (codes.size() < buffer.size() - distinct) {
        fail("decode_values: code column of " + std::to_string(codes.size()) + " codes where " +
             std::to_string(buffer.size() - distinct) + " are needed");
    }

    const double low = bottom;
    const double range = static_cast<double>(top) - low;
    const double divisor = static_cast<float>(levels);
    const Code* code = codes.data();
    const float* exception_value = exception_values.data();
    std::size_t next_exception = 0;
    for (std::size_t i = 0; i < buffer.size();) {
        // Codes up to the next exception.
        const std::size_t stop = next_exception < exception_indices.size()
                                     ? static_cast<std::size_t>(exception_indices[next_exception])
                                     : buffer.size();
        for (; i < stop; ++i) {
            buffer[i] = static_cast<float>(low + static_cast<double>(*code++) * range / divisor);
        }
        if (i < buffer.size()) {
            buffer[i++] = *exception_value++;
            while (next_exception < exception_indices.size() &&
                   static_cast<std::size_t>(exception_indices[next_exception]) < i) {
                ++next_exception;
            }
        }
    }
}

// Layout: uint32 coefficient count, then up to two bands of float32 a (the value of code 0),
// float32 b, uint32 levels and a uint16 plane column of codes. Coefficients the bands leave out
// are 0.
void ColumnDecoder::decode_wavelet(std::span<float> buffer) {
    std::uint32_t count = 0;
    in >> count;
    if (!wave::wavelet::valid_length(count)) {
        fail("decode_values: " + std::to_string(count) + " wavelet coefficients are not 64 * 2^m");
    }
    if (count < buffer.size()) {
        fail("decode_values: " + std::to_string(count) + " wavelet coefficients give fewer samples than " +
             std::to_string(buffer.size()) + " records");
    }
    // The station pads a column to the next level size; anything far beyond is damage.
    if (count > std::max<std::size_t>(wave::wavelet::k_coarsest_level, 4 * buffer.size())) {
        fail("decode_values: " + std::to_string(count) + " wavelet coefficients for " +
             std::to_string(buffer.size()) + " records");
    }
    coefficients.assign(count, 0.0);
    std::size_t next = 0;
    for (int band = 0; band < 2 && next < count; ++band) {
        float a = 0.0f;
        float b = 0.0f;
        std::uint32_t levels = 0;
        in >> a >> b >> levels;
        read_plane_column(codes16);
        const double first = a;
        const double range = static_cast<double>(b) - first;
        const double divisor = static_cast<float>(levels);
        const std::size_t used = std::min(codes16.size(), count - next);
        for (std::size_t c = 0; c < used; ++c) {
            coefficients[next + c] = first + range * static_cast<float>(codes16[c]) / divisor;
        }
        next += used;
    }
    codec.inverse(coefficients, samples);
    std::transform(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(buffer.size()),
                   buffer.begin(), [](double sample) { return static_cast<float>(sample); });
}

void decode_values(lib::io::BinaryInputStream& in, std::int32_t kind, std::span<float> buffer) {
    ColumnDecoder(in, {}).decode_values(kind, buffer);
}
