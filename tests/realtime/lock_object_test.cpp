#include "library/lock_object.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(LockObject, NamedLockKeepsOtherProcessOut) {
    lib::lock_object held("talvex-test-lock-" + std::to_string(getpid()));
    ASSERT_TRUE(held.valid());
    held.lock();
    const pid_t child = fork();
    if (child == 0) {
        // The child's own lock of the same name must wait; it reports whether it got in at once.
        lib::lock_object same("talvex-test-lock-" + std::to_string(getppid()));
        alarm(1);
        same.lock();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the second process took a lock that was held";
    held.unlock();
}

TEST(LockObject, LockThatCannotBeMadeDoesNothing) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string previous = saved == nullptr ? "" : saved;
    setenv("XDG_RUNTIME_DIR", "/nonexistent/folder", 1);
    lib::lock_object lock("talvex-test-lock");
    if (saved == nullptr) {
        unsetenv("XDG_RUNTIME_DIR");
    } else {
        setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
    }
    EXPECT_FALSE(lock.valid());
    lock.lock();
    lock.unlock();
}

} // namespace
