#pragma once

// The operating system's file for the binary file streams: opened with retries, optionally with an
// exclusive lock over the whole file, written all-or-nothing.
//
// Opening is tried 20 times, 100 ms apart; a missing file (or a missing folder on its path) fails at
// once. The lock is an open-file-description lock over the whole file, including anything appended
// later; it is advisory, so it keeps out only the processes that lock too. A file opened for reading
// takes a shared (read) lock, which keeps out every writer that locks but lets other readers in,
// since a write lock needs a file open for writing. Other processes that do not lock may read and
// write the file at any time: there are no share modes on this system.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lib::io {

enum class OpenMode : std::int32_t {
    read = 1,   // the file must exist
    create = 2, // created, or emptied when it exists
    append = 3, // created when missing; the position is set to its end
};

class OSFile {
public:
    OSFile() = default;
    OSFile(const OSFile&) = delete;
    OSFile& operator=(const OSFile&) = delete;
    ~OSFile() { close(); }

    // Closes whatever is open, then opens path. Throws std::runtime_error "Файл не найден!" at once
    // for a missing file in read mode, "Невозможно открыть файл!" after 20 failed attempts and
    // "Невозможно заблокировать файл!" when the lock is not had within 20 attempts (the file then
    // stays open and unlocked). A file opened in create mode is emptied only after the lock is held,
    // so a file that another process is still using keeps its content when the lock fails.
    void open(const std::string& path, OpenMode mode, bool lock);

    // Releases the lock, closes the file. Does nothing when no file is open.
    void close();

    // Writes all count bytes at the current position. Throws std::runtime_error
    // "Попытка записи в файл с дескриптором 0xFFFFFFFF!" when no file is open and
    // "Невозможно записать в файл!" when the bytes cannot all be written.
    void write(const void* bytes, std::size_t count);

    // Makes what was written reach the disk. Throws "Невозможно записать в файл!" when it cannot.
    void sync();

    // Moves the position by distance: origin 1 from the end, 2 from the current position, any other
    // value from the beginning. Returns the new position (low 32 bits; 0xFFFFFFFF on failure).
    std::uint32_t seek(std::int32_t distance, std::int32_t origin);

    // The file size (low 32 bits); 0xFFFFFFFF when it cannot be had.
    std::uint32_t size() const;

    // The file descriptor, -1 when no file is open.
    int handle() const { return fd; }
    bool locked() const { return is_locked; }

private:
    void lock(bool exclusive);
    void unlock();

    int fd = -1;
    bool is_locked = false;
};

} // namespace lib::io
