#pragma once

// Test-only writer of the compressed single-stream form ("CREGFILE", version 1) that
// FileStorage::load_after_decompressing and load_compressed_file read: the content of ".newcompr1"
// rzip entries and of "*.compr1" files. Layout in docs/formats/single_stream.md.
//
//     RealtimeColumns columns = sample_columns(1000, 8);          // or columns_of(storage)
//     std::string bytes = single_stream(columns, {ValueCoding::wavelet()});
//
// The bytes are the uncompressed form: write them to a file, or pack them into a package.

#include "tests/support/column_writer.h"
#include "tests/support/compressed_params.h"
#include "tests/support/realtime_columns.h"

#include <string>
#include <vector>

namespace test_support {

// The whole stream. codings: empty (every parameter raw), one entry (the same for every
// parameter) or one entry per parameter. Parameters whose key repeats an earlier one (ignoring
// case) get no value column, as the reader expects; the log and floor settings are ignored.
std::string single_stream(const RealtimeColumns& columns, const std::vector<ValueCoding>& codings = {});

// Writes single_stream(columns, codings) to path.
void write_single_stream_file(const std::string& path, const RealtimeColumns& columns,
                              const std::vector<ValueCoding>& codings = {});

} // namespace test_support
