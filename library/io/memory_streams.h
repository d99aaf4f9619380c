#pragma once

// Byte streams over memory: the input one parses unpacked file contents, the output one assembles
// sector payloads before they go to a file.

#include "library/io/binary_stream.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace lib::io {

class BinaryMemoryInputStream final : public BinaryInputStream {
public:
    // Replaces the bytes with a copy of length bytes from data and starts again at the first.
    // Throws std::range_error for a negative length.
    void assign(const char* data, std::int32_t length);
    // The same, taking over the given bytes without copying them.
    void assign(std::vector<char> data);

    // Throws std::runtime_error "BinaryMemoryInputStream::read: eof() == true" when nothing is left
    // (also for a count of 0) and std::range_error "BinaryMemoryInputStream::read: out of range"
    // when fewer than count bytes are left.
    std::uint32_t read(void* destination, std::uint32_t count) override {
        if (eof() || bytes.size() - position < count) {
            fail_read();
        }
        std::memcpy(destination, bytes.data() + position, count);
        position += count;
        return count;
    }
    std::uint32_t skip(std::uint32_t count) override;
    bool eof() const override { return position >= bytes.size(); }

private:
    [[noreturn]] void fail_read() const;

    std::vector<char> bytes;
    std::uint32_t position = 0;
};

class BinaryMemoryOutputStream final : public BinaryOutputStream {
public:
    explicit BinaryMemoryOutputStream(std::uint32_t initial_capacity) { bytes.reserve(initial_capacity); }

    // Appends.
    void write(const void* source, std::uint32_t count) override {
        const auto* first = static_cast<const char*>(source);
        bytes.insert(bytes.end(), first, first + count);
    }

    // The first byte; null when empty.
    const char* data() const { return bytes.empty() ? nullptr : bytes.data(); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(bytes.size()); }
    // Empties the stream and gives its storage back.
    void clear() { std::vector<char>().swap(bytes); }

private:
    std::vector<char> bytes;
};

} // namespace lib::io
