#pragma once

// The file finder: the entries of a folder (or a tree) that match a wildcard mask, with the
// attributes, size and time of each, and the file-system helpers built on it. Nothing here
// throws: a missing folder or a file that cannot be deleted is simply passed over.
//
// Attributes on this file system: hidden is a name starting with '.', read-only is a missing
// write permission, archive is a regular file, system is anything that is neither a regular file
// nor a folder (sockets, devices, pipes) and every symbolic link. Symbolic links are never
// followed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

enum FileAttribute : std::int32_t {
    fa_read_only = 0x01,
    fa_hidden = 0x02,
    fa_system = 0x04,
    fa_volume_id = 0x08,
    fa_directory = 0x10,
    fa_archive = 0x20,
    fa_any_file = 0x3F,
};

enum SortKind : std::int32_t { by_name = 0, by_number = 1, by_time = 2 };

struct FindedFile {
    std::int32_t attr = 0;
    std::uint32_t size = 0; // low 32 bits of the size
    std::int32_t time = 0;  // packed local time: year-1980, month, day, hour, minute, second/2
    std::string name;       // without folder
    std::string path;       // folder part of the mask, with its trailing '/'; full name is path + name
};

class FileFinder {
public:
    // Appends the entries matching the mask ("folder/" + "*.zreg"; '*' and '?', case-insensitive;
    // "*.*" matches every name). attribute_mask names the special attributes (hidden, system,
    // directory) that may appear; with fa_directory only folders are kept, without "." and "..".
    // Recursive: everything below a sub-folder comes before the folder's own matches.
    void find(std::string_view mask, std::int32_t attribute_mask, bool recursive);

    // Reorders files by a SortKind; any other value leaves the order as it is.
    void sort(std::int32_t kind);

    // Sum of the full sizes of every entry ever appended; emptying files does not reset it.
    std::uint64_t total_size() const { return total; }
    const std::vector<FindedFile>& files() const { return found; }
    void clear_files() { found.clear(); }

private:
    std::uint64_t total = 0;
    std::vector<FindedFile> found;
};

// The name up to, not including, its last dot; the whole name when it has none.
std::string name_without_extension(const FindedFile& file);

// The lower-cased text from the last dot of the file name on (".zreg" for "a/B.ZREG"); empty when
// the name, not counting its folder, has no dot.
std::string lower_extension(std::string_view path);

// The text without its trailing '/' when it has 3 or more characters; otherwise unchanged.
std::string exclude_trailing_backslash(std::string_view text);

// Low 32 bits of the size of the plain (not hidden, not system) file; -1 when there is none.
std::int32_t file_size(std::string_view path);

// Deletes the plain files directly in the folder (with or without its trailing '/'); hidden and
// system entries and sub-folders stay. An empty folder name deletes nothing.
void delete_files_in_folder(std::string_view folder);

// Empties the tree below the folder (ending with '/'): plain and hidden files, then the
// non-hidden sub-folders that became empty. The folder itself stays. A symbolic link is removed as
// an entry of its own; what it points to is never touched.
void clear_folder(std::string_view folder);

} // namespace lib
