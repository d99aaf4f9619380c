#pragma once

// The processed-package registry: which package files have been unpacked, and at which size, so
// that a later scan unpacks only packages that are new or whose size changed. Kept in memory as a
// map ordered by the bytes of the package path and stored in "TemporaryFileData.bin".

#include <cstdint>
#include <map>
#include <string>

struct FileData {
    std::int32_t size = 0; // low 32 bits of the package size when registered; -1: the file was missing
};

class FilesDataStorage {
public:
    // True and the stored record when the path is held; false and data untouched otherwise.
    bool find(const std::string& key, FileData& data) const;

    // Inserts the path or replaces its record.
    void set(const std::string& key, FileData data);

    // Forgets the path, so that its package is unpacked again by the next run.
    void remove(const std::string& key);

    // Replaces the whole content by the file's. A missing, foreign or damaged file gives an empty
    // registry, or keeps the entries read before the damage; nothing is reported.
    void load(const std::string& file_name);

    // Writes the whole content to the file, replacing it; false when it could not be written.
    bool save(const std::string& file_name) const;

    const std::map<std::string, FileData>& entries() const { return data; }

private:
    std::map<std::string, FileData> data; // std::string orders its bytes as unsigned characters
};
