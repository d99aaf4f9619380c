#include "tests/support/single_stream_writer.h"

#include "tests/support/compressed_params.h"

namespace test_support {

std::string single_stream(const RealtimeColumns& columns, const std::vector<ValueCoding>& codings) {
    std::string out;
    write_text(out, "CREGFILE");
    write_scalar(out, std::int32_t{1});
    write_params(out, columns.params);
    write_text(out, columns.text_values);
    write_scalar(out, static_cast<std::int32_t>(columns.record_count()));
    write_plane_column(out, columns.time);
    write_plane_column(out, columns.depth_z);
    write_plane_column(out, columns.depth_cur);
    write_plane_column(out, columns.lag_depth);
    write_plane_column(out, columns.operation);
    for (std::size_t j : distinct_params(columns.params)) {
        const ValueCoding coding = coding_of(codings, j);
        write_scalar(out, static_cast<std::int32_t>(coding.kind));
        write_value_column(out, columns.values.at(j), coding);
    }
    return out;
}

void write_single_stream_file(const std::string& path, const RealtimeColumns& columns,
                              const std::vector<ValueCoding>& codings) {
    write_bytes_file(path, single_stream(columns, codings));
}

} // namespace test_support
