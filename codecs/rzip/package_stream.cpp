#include "codecs/rzip/package_stream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace rzip {

PackageStream::PackageStream(const std::string& path) : file(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat info {};
    if (!file.is_open() || ::fstat(file.get(), &info) != 0) {
        file.close();
        return;
    }
    size = info.st_size;
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
}

std::size_t PackageStream::read(void* destination, std::size_t count) {
    auto* out = static_cast<char*>(destination);
    std::size_t done = 0;
    while (file.is_open() && done < count) {
        const ssize_t got = ::read(file.get(), out + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    position += static_cast<std::int64_t>(done);
    return done;
}

void PackageStream::seek(std::int64_t offset) {
    if (file.is_open() && ::lseek(file.get(), offset, SEEK_SET) >= 0)
        position = offset;
}

} // namespace rzip
