#pragma once

#include <cstddef>
#include <string>

// One extracted file on its way into the output folder: written under a temporary name in that
// folder and renamed over its own name only when complete, so a damaged member never leaves a
// half-written file, and an entry already there (even a symbolic link) is replaced, never written
// through. Discarded unless committed.
class MemberFile {
public:
    // Throws std::runtime_error when the temporary file cannot be made.
    MemberFile(const std::string& folder, const std::string& name, unsigned mode);
    ~MemberFile();
    MemberFile(const MemberFile&) = delete;
    MemberFile& operator=(const MemberFile&) = delete;

    // Both throw std::runtime_error naming the file.
    void write(const char* data, std::size_t size);
    void commit();

private:
    std::string temporary_path;
    std::string path;
    int descriptor = -1;
};
