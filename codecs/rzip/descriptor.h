#pragma once

// An open file descriptor, closed when the owner goes away.

#include <unistd.h>

namespace rzip {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }

    int get() const { return fd; }
    bool is_open() const { return fd >= 0; }

    // Closes now; the result of close(2), 0 when nothing was open.
    int close() {
        const int result = fd >= 0 ? ::close(fd) : 0;
        fd = -1;
        return result;
    }

private:
    int fd;
};

} // namespace rzip
