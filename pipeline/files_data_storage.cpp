#include "pipeline/files_data_storage.h"

#include "library/mapped_file.h"

namespace {

constexpr const char* k_magic = "FILESDATASTORE";
constexpr std::int32_t k_version = 1;

} // namespace

bool FilesDataStorage::find(const std::string& key, FileData& found) const {
    const auto entry = data.find(key);
    if (entry == data.end())
        return false;
    found = entry->second;
    return true;
}

void FilesDataStorage::set(const std::string& key, FileData value) {
    data[key] = value;
}

void FilesDataStorage::remove(const std::string& key) {
    data.erase(key);
}

void FilesDataStorage::load(const std::string& file_name) {
    data.clear();
    lib::mapped_file file;
    if (!file.open(file_name, lib::mapped_file::k_read, 0))
        return;
    std::string magic;
    file.read(magic);
    if (magic != k_magic)
        return;
    std::int32_t version = 0;
    file.read(version);
    if (version != k_version)
        return;
    std::int32_t count = 0;
    file.read(count);
    // Each read leaves its target alone when the item is cut short, so a moving read offset is
    // the only sign that the item was there in full.
    for (std::int32_t i = 0; i < count && file.good(); ++i) {
        std::string key;
        auto offset = file.read_offset();
        file.read(key);
        if (file.read_offset() == offset || !file.good())
            return;
        FileData value;
        offset = file.read_offset();
        file.read(value.size);
        if (file.read_offset() == offset)
            return;
        data[key] = value;
    }
}

bool FilesDataStorage::save(const std::string& file_name) const {
    lib::mapped_file file;
    if (!file.open(file_name, lib::mapped_file::k_write, 0))
        return false;
    const auto count = static_cast<std::int32_t>(data.size());
    bool written = file.write(k_magic) >= 0 && file.write(k_version) >= 0 && file.write(count) >= 0;
    for (auto entry = data.begin(); written && entry != data.end(); ++entry)
        written = file.write(entry->first) >= 0 && file.write(entry->second.size) >= 0;
    return written;
}
