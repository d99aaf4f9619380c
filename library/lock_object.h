#pragma once

// A lock shared by the processes of one user under a name, or, made without a name, a lock of one
// process. A named lock is a lock file in the user's runtime folder; the operating system releases
// it when its holder ends, so a crashed program never leaves it taken. When the lock file cannot be
// made the lock does nothing: the programs that use it go on without it.

#include <mutex>
#include <string>

namespace lib {

class lock_object {
public:
    // A lock of this process only.
    lock_object() = default;
    // The lock all processes of this user share under name.
    explicit lock_object(const std::string& name);
    lock_object(const lock_object&) = delete;
    lock_object& operator=(const lock_object&) = delete;
    ~lock_object();

    // Waits until the lock is had; then releases it. Neither throws.
    void lock();
    void unlock();

    // The named lock could be made (always true for a lock without a name).
    bool valid() const { return named == false || fd != -1; }

private:
    std::mutex in_process; // also keeps the threads of this process apart under a named lock
    bool named = false;
    int fd = -1;
};

} // namespace lib
