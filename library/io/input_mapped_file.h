#pragma once

// An input file read through one read-only memory mapping of the whole file: a read is a memory
// copy, and seek, tell and skip are arithmetic on the position.

#include "library/io/binary_stream.h"
#include "library/io/os_file.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace lib::io {

class InputMappedFile final : public BinaryInputStream {
public:
    InputMappedFile() = default;
    InputMappedFile(const InputMappedFile&) = delete;
    InputMappedFile& operator=(const InputMappedFile&) = delete;
    ~InputMappedFile() override { close(); }

    // Opens path for reading (locked when lock is true; the errors of OSFile::open) and maps all of
    // it. Throws std::runtime_error "InputMappedFile::open: (h_file_mapping == NULL)" when the
    // mapping cannot be made, which is always so for an empty file, and
    // "InputMappedFile::open: (pointer == NULL)" when the view cannot be mapped. After either the
    // file stays open until close.
    void open(const std::string& path, bool lock);
    // Unmaps the view, then releases the lock and closes the file.
    void close();

    // Throws std::runtime_error "InputMappedFile::read: eof" when the bytes are not all inside the
    // file; the position then stays where it was.
    std::uint32_t read(void* destination, std::uint32_t count) override {
        if (offset < 0 || offset + count > size) {
            fail_read();
        }
        std::memcpy(destination, pointer + offset, count);
        offset += count;
        return count;
    }
    std::uint32_t skip(std::uint32_t count) override {
        offset += count;
        return count;
    }
    bool eof() const override { return offset >= size; }

    // origin 0 from the start, 1 from the end, 2 from the current position; any other value does
    // nothing. The position is not checked here: a later read outside the file throws.
    void seek(std::int32_t distance, std::int32_t origin);
    std::int32_t tell() const { return static_cast<std::int32_t>(offset); }

    // Lets go of the memory of the pages before the position: a long sequential read then holds only
    // what it has not read yet. The bytes stay readable (they are read from the file again).
    void release_read_pages();

private:
    [[noreturn]] static void fail_read();

    OSFile file;
    const char* pointer = nullptr; // the mapped view; null when none
    std::int64_t offset = 0;       // of the next byte to read; may lie outside the view
    std::int64_t size = 0;         // the file size when it was opened
    std::int64_t released = 0;     // the pages before this offset have been let go
};

} // namespace lib::io
