#pragma once

// A realtime data file by columns, the shape in which the compressed forms store it: the input of
// the test-only writers of the single-stream form and of the split column files.

#include "realtime/file_storage.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct ColumnParam {
    std::array<std::string, 3> texts;
    std::string key;
    float low = 0.0f;
    float high = 100.0f;
};

struct RealtimeColumns {
    std::vector<ColumnParam> params;
    std::string text_values; // name=value lines, each followed by CR LF
    std::vector<std::uint32_t> time;
    std::vector<float> depth_z;
    std::vector<float> depth_cur;
    std::vector<float> lag_depth;
    std::vector<std::uint8_t> operation;
    std::vector<std::vector<float>> values; // values[parameter][record]

    std::size_t record_count() const { return time.size(); }
};

// The columns of what a storage holds.
RealtimeColumns columns_of(const FileStorage& storage);

// A made-up file of `records` records and `parameters` parameters with smooth, noisy values, one
// record every 5 seconds from time `first_time`: for tests and benchmarks that need plausible data.
RealtimeColumns sample_columns(std::size_t records, std::size_t parameters,
                               std::uint32_t first_time = 1000000);

} // namespace test_support
