#include "library/io/os_file.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lib::io {

namespace {

constexpr int k_attempts = 20;
constexpr auto k_pause = std::chrono::milliseconds(100);

int open_flags(OpenMode mode) {
    // Create mode empties the file only once the lock is held (see open), so no O_TRUNC here.
    return mode == OpenMode::read ? O_RDONLY : O_WRONLY | O_CREAT;
}

// A missing file, or a path through a missing folder or through something that is not a folder.
bool not_found(int error) {
    return error == ENOENT || error == ENOTDIR;
}

} // namespace

void OSFile::open(const std::string& path, OpenMode mode, bool lock) {
    close();
    for (int attempt = 0;; ++attempt) {
        fd = ::open(path.c_str(), open_flags(mode) | O_CLOEXEC, 0666);
        if (fd != -1) {
            break;
        }
        if (attempt == k_attempts - 1) {
            throw std::runtime_error("Невозможно открыть файл!");
        }
        if (not_found(errno)) {
            throw std::runtime_error("Файл не найден!");
        }
        std::this_thread::sleep_for(k_pause);
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (lock) {
        this->lock(mode != OpenMode::read);
    }
    if (mode == OpenMode::create && ftruncate(fd, 0) != 0) {
        close();
        throw std::runtime_error("Невозможно открыть файл!");
    }
    if (mode == OpenMode::append) {
        lseek(fd, 0, SEEK_END);
    }
}

void OSFile::lock(bool exclusive) {
    struct flock range {};
    range.l_type = exclusive ? F_WRLCK : F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 0; // to the end of the file, however far it grows
    for (int attempt = 0; attempt < k_attempts; ++attempt) {
        if (fcntl(fd, F_OFD_SETLK, &range) == 0) {
            is_locked = true;
            return;
        }
        std::this_thread::sleep_for(k_pause);
    }
    throw std::runtime_error("Невозможно заблокировать файл!");
}

void OSFile::unlock() {
    struct flock range {};
    range.l_type = F_UNLCK;
    range.l_whence = SEEK_SET;
    fcntl(fd, F_OFD_SETLK, &range);
    is_locked = false;
}

void OSFile::close() {
    if (fd == -1) {
        return;
    }
    if (is_locked) {
        unlock();
    }
    ::close(fd);
    fd = -1;
}

void OSFile::write(const void* bytes, std::size_t count) {
    if (fd == -1) {
        throw std::runtime_error("Попытка записи в файл с дескриптором 0xFFFFFFFF!");
    }
    // The system may take fewer bytes than asked (an interrupting signal); what is left is written
    // on. A write that takes nothing or fails means a full disk or a broken file.
    const auto* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t done = ::write(fd, next, count);
        if (done > 0) {
            next += done;
            count -= static_cast<std::size_t>(done);
        } else if (done == 0 || errno != EINTR) {
            throw std::runtime_error("Невозможно записать в файл!");
        }
    }
}

void OSFile::sync() {
    if (fd == -1) {
        throw std::runtime_error("Попытка записи в файл с дескриптором 0xFFFFFFFF!");
    }
    if (fsync(fd) != 0) {
        throw std::runtime_error("Невозможно записать в файл!");
    }
}

std::uint32_t OSFile::seek(std::int32_t distance, std::int32_t origin) {
    const int whence = origin == 1 ? SEEK_END : origin == 2 ? SEEK_CUR : SEEK_SET;
    return static_cast<std::uint32_t>(lseek(fd, distance, whence));
}

std::uint32_t OSFile::size() const {
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        return 0xFFFFFFFF;
    }
    return static_cast<std::uint32_t>(status.st_size);
}

} // namespace lib::io
