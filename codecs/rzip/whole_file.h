#pragma once

// Whole-file reads and writes for the unpacked entries, straight through the file descriptor: an
// entry is in memory already, so no further buffering is wanted.

#include <span>
#include <string>
#include <vector>

namespace rzip {

// Creates or truncates the file and writes the bytes. Throws rzip::Exception naming the file.
void write_whole_file(const std::string& path, std::span<const char> bytes);

// Replaces contents by the file's bytes; false when the file cannot be opened or read.
bool read_whole_file(const std::string& path, std::vector<char>& contents);

} // namespace rzip
