#pragma once

// The package file read front to back through its descriptor, with the count of bytes left, so
// that every length the package claims can be checked against what is really there. A package that
// cannot be opened reads as empty.

#include "codecs/rzip/descriptor.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace rzip {

class PackageStream {
public:
    explicit PackageStream(const std::string& path);

    // Reads up to count bytes; fewer only at the end of the file or on a read error.
    std::size_t read(void* destination, std::size_t count);
    // Moves to an offset from the start, or on by count bytes.
    void seek(std::int64_t offset);
    void skip(std::size_t count) { seek(position + static_cast<std::int64_t>(count)); }
    // Bytes from the current position to the end of the file as it was when opened.
    std::size_t remaining() const { return position < size ? static_cast<std::size_t>(size - position) : 0; }

private:
    Descriptor file;
    std::int64_t size = 0;
    std::int64_t position = 0;
};

} // namespace rzip
