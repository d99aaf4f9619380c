#pragma once

// A fresh folder under the system's temporary folder, removed with everything in it (symbolic
// links are removed, not followed) when the test ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "talvex-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        root = pattern + "/";
    }
    ~TempFolder() { std::filesystem::remove_all(root); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with its trailing '/'.
    const std::string& path() const { return root; }

    // Writes a file below the folder, making its folders; returns its full name.
    std::string write(const std::string& name, const std::string& contents = "x") const {
        const std::filesystem::path full = root + name;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << contents;
        return full.string();
    }

    std::string make_folder(const std::string& name) const {
        std::filesystem::create_directories(root + name);
        return root + name + "/";
    }

private:
    std::string root;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
