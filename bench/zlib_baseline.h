#pragma once

// The least any unpacker must do, timed beside the program as a benchmark's baseline: deflated
// entries inflated by zlib from memory, and files written with one call each. Any failure aborts
// the benchmark.

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <zlib.h>

inline std::string deflated(const std::string& content) {
    std::string bytes(compressBound(content.size()), '\0');
    uLongf length = bytes.size();
    if (compress(reinterpret_cast<Bytef*>(bytes.data()), &length,
                 reinterpret_cast<const Bytef*>(content.data()), content.size()) != Z_OK)
        std::abort();
    bytes.resize(length);
    return bytes;
}

// Inflates into the buffer, which must be large enough; returns the inflated length.
inline std::size_t inflate_into(std::string& buffer, const std::string& packed) {
    uLongf length = buffer.size();
    if (uncompress(reinterpret_cast<Bytef*>(buffer.data()), &length,
                   reinterpret_cast<const Bytef*>(packed.data()), packed.size()) != Z_OK)
        std::abort();
    return length;
}

// Writes the bytes as the whole file; durable also waits until they are on the disk.
inline void write_whole(const std::string& path, std::string_view bytes, bool durable) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0 || ::write(file, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        (durable && fsync(file) != 0))
        std::abort();
    ::close(file);
}
