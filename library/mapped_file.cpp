#include "library/mapped_file.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lib {

namespace {

// A view of size bytes of the file, or null.
std::uint8_t* map_view(int file, std::uint32_t size, bool for_writing) {
    if (size == 0) {
        return nullptr;
    }
    const int protection = for_writing ? PROT_READ | PROT_WRITE : PROT_READ;
    void* view = mmap(nullptr, size, protection, MAP_SHARED, file, 0);
    return view == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(view);
}

} // namespace

bool mapped_file_base::open(const char* path, std::int32_t mode, std::uint32_t initial_size) {
    if (view != nullptr || (mode != k_read && mode != k_write)) {
        return false;
    }
    for_writing = mode == k_write;
    file = ::open(path, for_writing ? O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC : O_RDONLY | O_CLOEXEC, 0666);
    if (file == -1) {
        return false;
    }
    struct stat status {};
    const bool known = fstat(file, &status) == 0;
    mapped_size = static_cast<std::uint32_t>(status.st_size);
    // A new file is given at least one byte, since a mapping cannot be empty. The file must hold
    // every mapped byte: a page beyond its end cannot be touched.
    const std::uint32_t map_size =
        std::max(for_writing ? std::max<std::uint32_t>(initial_size, 1) : 0, mapped_size);
    if (known && (!for_writing || ftruncate(file, map_size) == 0)) {
        view = map_view(file, map_size, for_writing);
        view_size = map_size;
    }
    if (view == nullptr) {
        ::close(file);
        file = -1;
        return false;
    }
    return true;
}

void mapped_file_base::close() {
    if (view != nullptr) {
        munmap(view, view_size);
        view = nullptr;
    }
    if (file != -1) {
        ::close(file);
        file = -1;
    }
}

bool mapped_file_base::resize(std::uint32_t new_size) {
    if (view == nullptr || !for_writing) {
        return false;
    }
    munmap(view, view_size);
    view = nullptr;
    if (ftruncate(file, new_size) == 0) {
        view = map_view(file, new_size, true);
        view_size = new_size;
    }
    if (view == nullptr) {
        close();
        return false;
    }
    mapped_size = new_size;
    return true;
}

mapped_file::~mapped_file() {
    if (written != 0) {
        resize(written);
    }
}

bool mapped_file::open(const std::string& path, std::int32_t mode, std::uint32_t initial_size) {
    if (!mapped_file_base::open(path.c_str(), mode, initial_size)) {
        return false;
    }
    read_at = write_at = 0;
    write_limit = initial_size;
    at_end = false;
    return true;
}

void mapped_file::read(std::int32_t& value) {
    if (!good() || size() - read_at < sizeof value) {
        return;
    }
    std::memcpy(&value, data() + read_at, sizeof value);
    read_at += sizeof value;
    at_end = read_at >= size();
}

void mapped_file::read(std::string& value) {
    if (!good()) {
        return;
    }
    const auto* first = reinterpret_cast<const char*>(data()) + read_at;
    const auto* zero = static_cast<const char*>(std::memchr(first, 0, size() - read_at));
    if (zero == nullptr) {
        return;
    }
    value.assign(first, zero);
    read_at += static_cast<std::uint32_t>(zero - first) + 1;
    at_end = read_at >= size();
}

std::int32_t mapped_file::write(const void* source, std::uint32_t count) {
    if (!good() || !writable()) {
        return -1;
    }
    // A write that would reach the limit grows the file to the count and twice the bytes it holds.
    if (count != 0 && std::uint64_t{write_at} + count >= write_limit) {
        const std::uint64_t grown = count + 2 * std::uint64_t{size()};
        if (grown > UINT32_MAX) {
            close(); // the file cannot hold it: no later write may leave a gap before it
        }
        if (!resize(static_cast<std::uint32_t>(grown))) {
            return -1;
        }
        write_limit = size();
    }
    std::memcpy(data() + write_at, source, count);
    write_at += count;
    written = std::max(written, write_at);
    return static_cast<std::int32_t>(write_at);
}

std::int32_t mapped_file::write(const char* text) {
    return write(text, std::strlen(text) + 1);
}

} // namespace lib
