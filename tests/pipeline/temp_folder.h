#pragma once

// A fresh folder under the system's temporary folder, removed with everything in it at the end of
// the test. Its path ends with '/', as the program's folder prefixes do.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "talvex-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("TempFolder: cannot create " + pattern);
        folder = pattern + "/";
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    const std::string& path() const { return folder; }
    std::string operator/(const std::string& name) const { return folder + name; }

private:
    std::string folder;
};

inline std::string read_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void write_bytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}
