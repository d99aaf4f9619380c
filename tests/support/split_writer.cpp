#include "tests/support/split_writer.h"

#include "tests/support/compressed_params.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace test_support {

namespace {

std::vector<float> logarithms(const std::vector<float>& values) {
    float smallest = std::numeric_limits<float>::max();
    for (float v : values) {
        if (v > 0.0f) {
            smallest = std::min(smallest, std::log(v));
        }
    }
    const float none = smallest == std::numeric_limits<float>::max() ? -10.0f : smallest - 10.0f;
    std::vector<float> result;
    for (float v : values) {
        result.push_back(v > 0.0f ? std::log(v) : none);
    }
    return result;
}

std::string values_piece(const RealtimeColumns& columns, const std::vector<ValueCoding>& codings) {
    std::string out;
    write_scalar(out, static_cast<std::uint32_t>(columns.record_count()));
    for (std::size_t j : distinct_params(columns.params)) {
        const ValueCoding coding = coding_of(codings, j);
        write_scalar(out, std::uint8_t{coding.log});
        write_scalar(out, std::uint8_t{coding.floor});
        write_scalar(out, static_cast<std::int32_t>(coding.kind));
        write_value_column(out, coding.log ? logarithms(columns.values.at(j)) : columns.values.at(j), coding);
    }
    return out;
}

template <PlaneElement T> std::string column_piece(const std::vector<T>& column) {
    std::string out;
    write_plane_column(out, column);
    return out;
}

} // namespace

std::vector<SplitPiece> split_pieces(const RealtimeColumns& columns,
                                     const std::vector<ValueCoding>& codings) {
    std::string params;
    write_params(params, columns.params);
    std::string text;
    write_text(text, columns.text_values);
    return {
        {".params", params},
        {".values", values_piece(columns, codings)},
        {".text", text},
        {".time", column_piece(columns.time)},
        {".depth_z", column_piece(columns.depth_z)},
        {".depth_cur", column_piece(columns.depth_cur)},
        {".lag_depth", column_piece(columns.lag_depth)},
        {".operation", column_piece(columns.operation)},
    };
}

void write_split_files(const std::string& base, const RealtimeColumns& columns,
                       const std::vector<ValueCoding>& codings) {
    for (const SplitPiece& piece : split_pieces(columns, codings)) {
        write_bytes_file(base + piece.suffix, piece.bytes);
    }
}

} // namespace test_support
