#include "pipeline/state_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

std::string program_folder() {
    std::error_code error;
    const auto executable = std::filesystem::canonical("/proc/self/exe", error);
    if (error)
        return "./";
    return executable.parent_path().string() + "/";
}

std::string state_folder() {
    const auto folder = program_folder();
    if (access(folder.c_str(), W_OK) == 0)
        return folder;
    const char* data_home = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string user_folder = data_home && *data_home
                                  ? std::string(data_home) + "/Talvex2/"
                                  : std::string(home ? home : "") + "/.local/share/Talvex2/";
    std::error_code ignored;
    std::filesystem::create_directories(user_folder, ignored);
    return user_folder;
}
