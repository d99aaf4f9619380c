#pragma once

// An entry in the compressed single-stream form, decoded and written as the realtime sector file.

#include <string>
#include <vector>

namespace rzip {

// Decodes the unpacked bytes of a ".newcompr1" entry and writes the realtime file at path.
// Throws the realtime layer's errors for bytes that are not that form or a file that cannot be
// written.
void write_newcompr1_entry(std::vector<char> bytes, const std::string& path);

} // namespace rzip
