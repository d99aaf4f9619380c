#pragma once

// A fresh folder under the system's temporary folder, removed with everything in it (symbolic
// links are removed, not followed) when the test ends. Its path ends with '/', as the program's
// folder prefixes do. Header-only, so that tests which do not link the support library can use it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

inline std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Writes the bytes to the file, making its folders.
inline void write_file(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "talvex-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make the temporary folder " + pattern);
        folder = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return folder; }
    std::string operator/(const std::string& name) const { return folder + name; }

    // Writes a file below the folder, making its folders; returns its full name.
    std::string write(const std::string& name, const std::string& contents = "x") const {
        write_file(folder + name, contents);
        return folder + name;
    }

    std::string make_folder(const std::string& name) const {
        std::filesystem::create_directories(folder + name);
        return folder + name + "/";
    }

private:
    std::string folder;
};
