#include "tools/7za/member_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

} // namespace

MemberFile::MemberFile(const std::string& folder, const std::string& name, unsigned mode)
    : temporary_path(folder + "/.7za-XXXXXX"), path(folder + "/" + name) {
    descriptor = mkstemp(temporary_path.data());
    if (descriptor < 0)
        fail("cannot create a file in", folder);
    fchmod(descriptor, mode);
}

MemberFile::~MemberFile() {
    if (descriptor >= 0) {
        close(descriptor);
        unlink(temporary_path.c_str());
    }
}

void MemberFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const auto written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            fail("cannot write", path);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void MemberFile::commit() {
    const int result = close(descriptor);
    descriptor = -1;
    if (result != 0 || std::rename(temporary_path.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temporary_path.c_str());
        errno = error;
        fail("cannot write", path);
    }
}
