#include "library/directory_search.h"

#include "library/fileworks.h"
#include "library/wildcard.h"

#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace lib {

namespace {

std::int32_t attributes_of(const std::string& name, const struct stat& info) {
    std::int32_t attr = 0;
    if (name.starts_with('.'))
        attr |= fa_hidden;
    if (S_ISDIR(info.st_mode))
        attr |= fa_directory;
    else if (S_ISREG(info.st_mode))
        attr |= fa_archive;
    else
        attr |= fa_system; // sockets, devices, pipes and symbolic links
    if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0)
        attr |= fa_read_only;
    return attr;
}

// Local time packed as year-1980 (7 bits), month, day, hour, minute, second/2; 0 outside the
// years 1980-2107 that the packing can hold.
std::int32_t packed_time(std::time_t when) {
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr || local.tm_year < 80 || local.tm_year > 207)
        return 0;
    const auto packed =
        static_cast<std::uint32_t>(local.tm_year - 80) << 25 |
        static_cast<std::uint32_t>(local.tm_mon + 1) << 21 | static_cast<std::uint32_t>(local.tm_mday) << 16 |
        static_cast<std::uint32_t>(local.tm_hour) << 11 | static_cast<std::uint32_t>(local.tm_min) << 5 |
        static_cast<std::uint32_t>(local.tm_sec / 2);
    return static_cast<std::int32_t>(packed);
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

constexpr std::int32_t k_special = fa_hidden | fa_system | fa_volume_id | fa_directory;

} // namespace

std::string_view mask_folder(std::string_view mask) {
    const auto slash = mask.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : mask.substr(0, slash + 1);
}

std::vector<DirectoryEntry> search_directory(std::string_view mask, std::int32_t attribute_mask) {
    const std::string folder(mask_folder(mask));
    const std::string_view file_mask = mask.substr(folder.size());
    std::vector<DirectoryEntry> entries;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir)
        return entries;
    while (const dirent* item = readdir(dir.get())) {
        const std::string name = item->d_name;
        if (name == "." || name == ".." || !matches_mask(name, file_mask))
            continue;
        struct stat info {};
        if (fstatat(dirfd(dir.get()), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // removed while we were listing
        const std::int32_t attr = attributes_of(name, info);
        if ((attr & k_special & ~attribute_mask) != 0)
            continue;
        const std::uint64_t size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
        entries.push_back({attr, size, packed_time(info.st_mtime), name});
    }
    return entries;
}

} // namespace lib
