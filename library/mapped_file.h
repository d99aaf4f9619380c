#pragma once

// A whole file read or written through a shared memory mapping: independent read and write
// positions, 32-bit integer and 0-terminated string items, growth while writing and a final cut of
// the file to the bytes written. Nothing here throws: a file that cannot be opened, created or
// mapped gives an object that is not good, whose reads leave their targets unchanged and whose
// writes return -1.

#include <cstdint>
#include <string>

namespace lib {

// Owns the file, its mapping and the view.
class mapped_file_base {
public:
    static constexpr std::int32_t k_read = 0;  // the file must exist
    static constexpr std::int32_t k_write = 1; // created, or emptied when it exists

    mapped_file_base() = default;
    mapped_file_base(const mapped_file_base&) = delete;
    mapped_file_base& operator=(const mapped_file_base&) = delete;
    virtual ~mapped_file_base() { close(); }

    // False when a view is already mapped, the mode is neither k_read nor k_write, or the file
    // cannot be opened or mapped (an empty file in read mode cannot). In write mode the file is
    // first given initial_size bytes, at least 1.
    bool open(const char* path, std::int32_t mode, std::uint32_t initial_size);
    void close();
    // Gives the file and the view new_size bytes: a shorter size cuts the file, a longer one
    // lengthens it with 0 bytes. On failure the file is closed and the object stays unusable; a
    // file opened for reading keeps its size and gives false.
    bool resize(std::uint32_t new_size);

    std::uint8_t* data() const { return view; }
    // The number of bytes the file is taken to hold: the limit for reading.
    std::uint32_t size() const { return mapped_size; }
    bool writable() const { return for_writing; }

private:
    int file = -1;
    std::uint8_t* view = nullptr;
    std::uint32_t view_size = 0; // may exceed mapped_size: a new file is mapped with its initial size
    std::uint32_t mapped_size = 0;
    bool for_writing = false;
};

class mapped_file : public mapped_file_base {
public:
    // Cuts the file to the bytes written, when anything was written, and closes it.
    ~mapped_file() override;

    // The base open; both positions at the start.
    bool open(const std::string& path, std::int32_t mode, std::uint32_t initial_size);

    // The view exists and the read position has not reached the end.
    bool good() const { return data() != nullptr && !at_end; }

    // Each read does nothing, leaving the target as it was, when the object is not good or the item
    // is not complete before the end; reaching the end makes the object no longer good.
    void read(std::int32_t& value);
    void read(std::string& value);

    // Returns the write offset after the bytes, or -1 when the object is not good, was opened for
    // reading, or the file cannot grow (then every later write fails too).
    std::int32_t write(const void* source, std::uint32_t count);
    // The characters and one 0 byte.
    std::int32_t write(const std::string& text) { return write(text.c_str(), text.size() + 1); }
    std::int32_t write(const char* text);
    std::int32_t write(std::int32_t value) { return write(&value, sizeof value); }

    std::uint32_t read_offset() const { return read_at; }
    std::uint32_t write_offset() const { return write_at; }

private:
    std::uint32_t read_at = 0;
    std::uint32_t write_at = 0;
    std::uint32_t write_limit = 0;
    bool at_end = false;
    std::uint32_t written = 0; // the largest write offset reached
};

} // namespace lib
