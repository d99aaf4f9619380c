#include "library/fileworks.h"

#include "library/directory_search.h"
#include "library/encoding.h"
#include "library/strworks.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace lib {

namespace {

bool is_symbolic_link(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Deletes a found regular file, or a symbolic link among the system entries (the link itself,
// never what it points to); sockets, devices and pipes stay.
void delete_entry(const std::string& full_name, std::int32_t attr) {
    if ((attr & fa_system) == 0 || is_symbolic_link(full_name))
        unlink(full_name.c_str());
}

} // namespace

void FileFinder::find(std::string_view mask, std::int32_t attribute_mask, bool recursive) {
    const std::string folder(mask_folder(mask));
    const std::string_view file_mask = mask.substr(folder.size());
    if (recursive) {
        FileFinder folders;
        folders.find(folder + "*.*", fa_directory, false);
        for (const FindedFile& sub : folders.files())
            find(sub.path + sub.name + "/" + std::string(file_mask), attribute_mask, true);
    }
    for (DirectoryEntry& entry : search_directory(mask, attribute_mask)) {
        if ((attribute_mask & fa_directory) != 0 && (entry.attr & fa_directory) == 0)
            continue;
        total += entry.size;
        found.push_back(
            {entry.attr, static_cast<std::uint32_t>(entry.size), entry.time, std::move(entry.name), folder});
    }
}

void FileFinder::sort(std::int32_t kind) {
    switch (kind) {
    case by_name:
        std::stable_sort(found.begin(), found.end(),
                         [](const FindedFile& a, const FindedFile& b) { return a.name < b.name; });
        break;
    case by_number: {
        const auto number = [](const FindedFile& file) {
            return string_to_int(name_without_extension(file), 0);
        };
        std::stable_sort(found.begin(), found.end(),
                         [&](const FindedFile& a, const FindedFile& b) { return number(a) < number(b); });
        break;
    }
    case by_time:
        std::stable_sort(found.begin(), found.end(),
                         [](const FindedFile& a, const FindedFile& b) { return a.time < b.time; });
        break;
    default:
        break;
    }
}

std::string name_without_extension(const FindedFile& file) {
    return file.name.substr(0, file.name.rfind('.'));
}

std::string lower_extension(std::string_view path) {
    const auto name_start = path.find_last_of('/') + 1;
    const auto dot = path.find_last_of('.');
    if (dot == std::string_view::npos || dot < name_start)
        return "";
    return utf8_lower(path.substr(dot));
}

std::string exclude_trailing_backslash(std::string_view text) {
    if (text.size() >= 3 && text.back() == '/')
        text.remove_suffix(1);
    return std::string(text);
}

std::int32_t file_size(std::string_view path) {
    // Looked up by its exact name rather than as a mask: a name here may hold '*' or '?'.
    const std::string name(path);
    const std::string_view base = path.substr(mask_folder(path).size());
    struct stat info {};
    if (base.starts_with('.') || lstat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(info.st_size));
}

void delete_files_in_folder(std::string_view folder) {
    if (folder.empty())
        return; // "" + "/" would be the root folder
    FileFinder finder;
    finder.find(exclude_trailing_backslash(folder) + "/*.*", fa_system, false);
    for (const FindedFile& file : finder.files())
        delete_entry(std::string(folder) + "/" + file.name, file.attr);
}

void clear_folder(std::string_view folder) {
    const std::string all = std::string(folder) + "*.*";
    FileFinder finder;
    finder.find(all, fa_hidden | fa_system | fa_archive, true);
    for (const FindedFile& file : finder.files())
        delete_entry(file.path + file.name, file.attr);
    finder.clear_files();
    finder.find(all, fa_directory, true);
    for (const FindedFile& sub : finder.files())
        rmdir((sub.path + sub.name).c_str());
}

} // namespace lib
