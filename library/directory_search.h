#pragma once

// One folder's entries that match a file mask, with the attributes the Windows directory search
// would give them. Shared by the file finder and the name listing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

struct DirectoryEntry {
    std::int32_t attr = 0;
    std::uint64_t size = 0; // 0 for anything but a regular file
    std::int32_t time = 0;  // packed local time, see FindedFile
    std::string name;
};

// Everything up to and including the last '/' of the mask; empty when it has none.
std::string_view mask_folder(std::string_view mask);

// The entries of the mask's folder whose names match the mask's file part, in the order the file
// system gives them. An entry that is hidden, system or a directory is left out unless that
// attribute is in attribute_mask; "." and ".." never appear. Symbolic links are not followed.
std::vector<DirectoryEntry> search_directory(std::string_view mask, std::int32_t attribute_mask);

} // namespace lib
