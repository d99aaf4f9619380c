#pragma once

// Pieces the single-stream writer and the split writer share.

#include "tests/support/realtime_columns.h"

#include <string>
#include <vector>

namespace test_support {

// int32 count, then per parameter three texts, key, float32 low, float32 high.
void write_params(std::string& out, const std::vector<ColumnParam>& params);

// Indices of the parameters a storage keeps: the first of each key, ignoring case.
std::vector<std::size_t> distinct_params(const std::vector<ColumnParam>& params);

// Writes the bytes to path, replacing the file. Throws std::runtime_error when it cannot.
void write_bytes_file(const std::string& path, const std::string& bytes);

} // namespace test_support
