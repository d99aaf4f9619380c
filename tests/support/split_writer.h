#pragma once

// Test-only writer of split column files, the eight pieces of a realtime file B that
// FileStorage::load_split_files(B) reads: B.params, B.values, B.text, B.time, B.depth_z,
// B.depth_cur, B.lag_depth, B.operation. Layout in docs/formats/split_files.md.
//
//     RealtimeColumns columns = sample_columns(1000, 8);
//     write_split_files(folder + "x.realtim", columns, {ValueCoding::quantized(2).logarithmic(true)});

#include "tests/support/column_writer.h"
#include "tests/support/compressed_params.h"
#include "tests/support/realtime_columns.h"

#include <string>
#include <vector>

namespace test_support {

struct SplitPiece {
    std::string suffix; // ".params", ".values", ...
    std::string bytes;
};

// The eight pieces in the order above. codings as for single_stream; a coding with `log` stores
// the logarithms of the values (values of 0 or less, which have none, are stored well below the
// smallest logarithm, so that the floor flag turns them back into 0).
std::vector<SplitPiece> split_pieces(const RealtimeColumns& columns,
                                     const std::vector<ValueCoding>& codings = {});

// Writes the eight pieces as base + suffix.
void write_split_files(const std::string& base, const RealtimeColumns& columns,
                       const std::vector<ValueCoding>& codings = {});

} // namespace test_support
