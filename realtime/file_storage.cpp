#include "realtime/file_storage.h"

#include "library/encoding.h"

#include <sys/stat.h>

FileStorage::FileStorage() {
    column_map.fill(-1);
}

void FileStorage::clear() {
    table.clear();
    params.clear();
    sector_param_count = 0;
    text_values.clear();
    remark_list.clear();
}

std::int32_t FileStorage::find_or_append_param(const FileStorageParam& param) {
    const auto key = lib::cp1251_lower(param.key);
    for (std::int32_t i = 0; i < param_count(); ++i) {
        if (lib::cp1251_lower(params[i].key) == key) {
            return i;
        }
    }
    // A full table still finds the parameters it holds, so a file of 128 parameters merges.
    if (param_count() >= k_max_params) {
        throw FileStorageException("слишком много параметров");
    }
    params.push_back(param);
    return param_count() - 1;
}

std::int32_t FileStorage::add_param(const FileStorageParam& param) {
    const auto index = find_or_append_param(param);
    table.widen(param_count());
    return index;
}

const FileStorageParam& FileStorage::param(std::int32_t index) const {
    if (index < 0 || index >= param_count()) {
        throw std::range_error("array::operator[]");
    }
    return params[index];
}

const FileStorageItem* FileStorage::record(std::int32_t index) const {
    return index >= 0 && index < record_count() ? &table.item(index) : nullptr;
}

FileStorageItem* FileStorage::record(std::int32_t index) {
    return index >= 0 && index < record_count() ? &table.item(index) : nullptr;
}

std::span<float> FileStorage::values(std::int32_t index) {
    return index >= 0 && index < record_count() ? table.values(index) : std::span<float>();
}

std::int32_t FileStorage::add_record(const FileStorageItem& fields) {
    return table.append(fields);
}

void FileStorage::reset_records(std::int32_t count) {
    table.reset(count);
}

void FileStorage::set_time_range(std::uint32_t from, std::uint32_t to) {
    range_from = from;
    range_to = to;
}

bool FileStorage::open(const std::string& path) {
    const auto name = path.substr(path.find_last_of('/') + 1);
    const auto dot = name.find_last_of('.');
    const auto extension = lib::utf8_lower(dot == std::string::npos ? std::string() : name.substr(dot));
    if (extension == ".realdep" || extension == ".reallag" || extension == ".realtim" ||
        extension == ".rtm") {
        read_sectors(path);
        sector_format = true;
        return true;
    }
    if (extension == ".dep" || extension == ".ldp" || extension == ".tim") {
        sector_format = false;
        return false;
    }
    throw FileStorageException("Неправильное расширение открываемого файла: " + extension);
}

bool FileStorage::locking_disabled(const std::string& path) {
    const auto marker = path.substr(0, path.find_last_of('/') + 1) + ".nolocking";
    struct stat status {};
    return stat(marker.c_str(), &status) == 0;
}
