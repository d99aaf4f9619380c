#include "library/io/input_mapped_file.h"

#include <algorithm>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lib::io {

void InputMappedFile::open(const std::string& path, bool lock) {
    close();
    file.open(path, OpenMode::read, lock);
    struct stat status {};
    // A mapping of 0 bytes cannot be made.
    if (fstat(file.handle(), &status) != 0 || status.st_size <= 0) {
        throw std::runtime_error("InputMappedFile::open: (h_file_mapping == NULL)");
    }
    void* view =
        mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_SHARED, file.handle(), 0);
    if (view == MAP_FAILED) {
        throw std::runtime_error("InputMappedFile::open: (pointer == NULL)");
    }
    madvise(view, static_cast<std::size_t>(status.st_size), MADV_SEQUENTIAL);
    pointer = static_cast<const char*>(view);
    offset = 0;
    size = status.st_size;
    released = 0;
}

void InputMappedFile::close() {
    if (pointer != nullptr) {
        munmap(const_cast<char*>(pointer), static_cast<std::size_t>(size));
        pointer = nullptr;
    }
    offset = 0;
    size = 0;
    file.close();
}

void InputMappedFile::seek(std::int32_t distance, std::int32_t origin) {
    switch (origin) {
    case 0:
        offset = distance;
        break;
    case 1:
        offset = size + distance;
        break;
    case 2:
        offset += distance;
        break;
    default:
        break;
    }
}

void InputMappedFile::release_read_pages() {
    static const std::int64_t page = sysconf(_SC_PAGESIZE);
    const std::int64_t end = std::clamp<std::int64_t>(offset, 0, size) / page * page;
    if (pointer == nullptr || end <= released) {
        return;
    }
    madvise(const_cast<char*>(pointer) + released, static_cast<std::size_t>(end - released), MADV_DONTNEED);
    released = end;
}

void InputMappedFile::fail_read() {
    throw std::runtime_error("InputMappedFile::read: eof");
}

} // namespace lib::io
