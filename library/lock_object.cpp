#include "library/lock_object.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lib {

namespace {

// The runtime folder belongs to the user alone; the shared temporary folder needs the user id in
// the name.
std::string lock_file_path(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/" + name + ".lock";
    }
    return "/tmp/" + name + "." + std::to_string(getuid()) + ".lock";
}

// A lock file that another user made under our name is not ours to wait on.
bool owned_by_user(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && status.st_uid == getuid() && S_ISREG(status.st_mode);
}

} // namespace

lock_object::lock_object(const std::string& name) : named(true) {
    fd = ::open(lock_file_path(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd != -1 && !owned_by_user(fd)) {
        ::close(fd);
        fd = -1;
    }
}

lock_object::~lock_object() {
    if (fd != -1) {
        ::close(fd);
    }
}

void lock_object::lock() {
    in_process.lock();
    if (fd != -1) {
        while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

void lock_object::unlock() {
    if (fd != -1) {
        flock(fd, LOCK_UN);
    }
    in_process.unlock();
}

} // namespace lib
