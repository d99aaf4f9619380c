#pragma once

// The temporary test folder now lives in tests/support/temp_folder.h; this path stays, with the
// older names of its file helpers, for the tests that still include it.

#include "tests/support/temp_folder.h"

inline std::string read_bytes(const std::string& path) {
    return read_file(path);
}
inline void write_bytes(const std::string& path, const std::string& bytes) {
    write_file(path, bytes);
}
