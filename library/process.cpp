#include "library/process.h"

#include "library/directory_search.h"
#include "library/fileworks.h"
#include "library/strworks.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lib {

namespace {

// The program's folder without its trailing '/'; "/" for a program at the root, and empty (the
// caller's own folder) for a bare name.
std::string folder_of(const std::string& program) {
    const auto slash = program.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : program.substr(0, slash);
}

// The child changes folder before it starts the program, so a relative program path is made
// absolute first.
std::string absolute(const std::string& program) {
    if (program.starts_with('/'))
        return program;
    char here[PATH_MAX];
    return getcwd(here, sizeof here) != nullptr ? std::string(here) + "/" + program : program;
}

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions; }

private:
    posix_spawn_file_actions_t actions;
};

// Writes the whole buffer, resuming after interrupted or partial writes.
bool write_all(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool copy_contents(int from, int to) {
    char buffer[1 << 16];
    while (true) {
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!write_all(to, buffer, static_cast<std::size_t>(got)))
            return false;
    }
}

} // namespace

bool copy_file(const std::string& source, const std::string& target) {
    // Not blocking, so that opening a named pipe does not wait for a writer before it is refused.
    const int from = open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (from < 0)
        return false;
    struct stat info {};
    std::string temporary = std::string(mask_folder(target)) + ".copy.XXXXXX";
    int to = -1;
    bool done =
        fstat(from, &info) == 0 && S_ISREG(info.st_mode) && (to = mkostemp(temporary.data(), O_CLOEXEC)) >= 0;
    if (done) {
        const timespec times[2] = {info.st_atim, info.st_mtim};
        done = copy_contents(from, to) && fchmod(to, info.st_mode & 07777) == 0 && futimens(to, times) == 0 &&
               fsync(to) == 0;
        done = close(to) == 0 && done && rename(temporary.c_str(), target.c_str()) == 0;
        if (!done)
            unlink(temporary.c_str());
    }
    close(from);
    return done;
}

bool run_program(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& current_folder, bool /*with_console*/, int* exit_code) {
    struct stat info {};
    if (stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const std::string path = absolute(program);
    const std::string folder = current_folder.empty() ? folder_of(path) : current_folder;

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(actions.get(), STDOUT_FILENO, STDERR_FILENO);
    // The child inherits no other descriptor: an open data file would otherwise keep its lock.
    posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    posix_spawn_file_actions_addchdir_np(actions.get(), folder.c_str());

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = 0;
    if (posix_spawn(&child, path.c_str(), actions.get(), nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (exit_code != nullptr)
        *exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

bool run_program(const std::string& program, std::string_view arguments, const std::string& current_folder,
                 bool with_console) {
    StringContainer tokens;
    tokens.split(arguments, ' ');
    std::vector<std::string> list;
    for (std::int32_t i = 0; i < tokens.count(); ++i)
        list.push_back(tokens.get(i));
    return run_program(program, list, current_folder, with_console);
}

void list_file_names(std::string_view mask, std::vector<std::string>& names, std::int32_t attribute_mask,
                     std::uint32_t* total) {
    for (DirectoryEntry& entry : search_directory(mask, attribute_mask)) {
        if (total != nullptr)
            *total += static_cast<std::uint32_t>(entry.size);
        names.push_back(std::move(entry.name));
    }
}

void copy_files_by_mask(std::string_view source_folder, std::string_view target_folder,
                        std::string_view mask) {
    std::vector<std::string> names;
    list_file_names(std::string(source_folder) + std::string(mask), names, fa_any_file);
    for (const std::string& name : names)
        copy_file(std::string(source_folder) + name, std::string(target_folder) + name);
}

int number_from_file_name(std::string_view path) {
    const std::string_view name = path.substr(mask_folder(path).size());
    const auto dot = name.find('.');
    return dot == std::string_view::npos ? -1 : string_to_int(name.substr(0, dot), -1);
}

} // namespace lib
