#pragma once

// A buffered output file: bytes collect in memory and reach the file in one write whenever the
// buffer holds more than 131072 bytes, and at flush and close.

#include "library/io/binary_stream.h"
#include "library/io/os_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lib::io {

class BinaryOutputFileStream final : public BinaryOutputStream {
public:
    static constexpr std::size_t k_flush_threshold = 131072;

    BinaryOutputFileStream() { buffer.reserve(1024); }
    BinaryOutputFileStream(const BinaryOutputFileStream&) = delete;
    BinaryOutputFileStream& operator=(const BinaryOutputFileStream&) = delete;
    // Closes; a failure at this point is not reported, so callers flush and close themselves.
    ~BinaryOutputFileStream() override;

    // Opens path in append mode when append is true, else in create mode; see OSFile::open.
    void open(const std::string& path, bool append, bool lock);

    void write(const void* source, std::uint32_t count) override {
        const auto* first = static_cast<const char*>(source);
        buffer.insert(buffer.end(), first, first + count);
        if (buffer.size() > k_flush_threshold) {
            flush();
        }
    }

    // Writes the buffer to the file when one is open, and empties it in any case, also when the
    // write throws: bytes written while no file is open are dropped.
    void flush();
    // Flushes and makes everything written so far reach the disk.
    void sync();
    // Flushes, then closes the file and releases its lock.
    void close();

private:
    OSFile file;
    std::vector<char> buffer;
};

} // namespace lib::io
