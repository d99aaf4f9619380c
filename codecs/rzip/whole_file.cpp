#include "codecs/rzip/whole_file.h"

#include "codecs/rzip/descriptor.h"
#include "codecs/rzip/exception.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rzip {
namespace {

[[noreturn]] void fail_write(const std::string& path) {
    throw Exception("Decompression: can't write file '" + path + "': " + std::strerror(errno));
}

} // namespace

void write_whole_file(const std::string& path, std::span<const char> bytes) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0)
        fail_write(path);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            fail_write(path);
        done += static_cast<std::size_t>(written);
    }
    if (file.close() != 0) // a full disk may show only here
        fail_write(path);
}

bool read_whole_file(const std::string& path, std::vector<char>& contents) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0)
        return false;
    contents.resize(static_cast<std::size_t>(info.st_size));
    for (std::size_t done = 0; done < contents.size();) {
        const ssize_t got = ::read(file.get(), contents.data() + done, contents.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace rzip
