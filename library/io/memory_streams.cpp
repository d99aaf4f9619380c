#include "library/io/memory_streams.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace lib::io {

void BinaryMemoryInputStream::assign(const char* data, std::int32_t length) {
    if (length < 0) {
        throw std::range_error("BinaryMemoryInputStream::assign: negative length");
    }
    bytes.assign(data, data + length);
    position = 0;
}

void BinaryMemoryInputStream::assign(std::vector<char> data) {
    bytes = std::move(data);
    position = 0;
}

std::uint32_t BinaryMemoryInputStream::skip(std::uint32_t count) {
    // Past the end every position is the same: eof, and the next read fails. Holding the position
    // at the end keeps a long skip from wrapping around to the start.
    position =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{position} + count, bytes.size()));
    return count;
}

void BinaryMemoryInputStream::fail_read() const {
    if (eof()) {
        throw std::runtime_error("BinaryMemoryInputStream::read: eof() == true");
    }
    throw std::range_error("BinaryMemoryInputStream::read: out of range");
}

} // namespace lib::io
