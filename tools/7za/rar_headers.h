#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What libarchive does not tell about the members of a RAR 4 archive: whether a member's name
// came with its Unicode form, and the CRC-32 of its data (libarchive never checks it for members
// stored without compression).
struct RarFileHeader {
    std::string name;          // the name bytes before any Unicode form (Windows-1251 when alone)
    bool unicode_name = false; // a Unicode form follows the bytes above
    bool stored = false;       // kept without compression, in one piece, not encrypted
    std::uint64_t unpacked_size = 0;
    std::uint32_t crc = 0; // CRC-32 of the unpacked data
};

// The file headers of the RAR 4 archive in their order, which is the order libarchive gives its
// entries in. Empty for any other file; stops at the first header that is cut short or fails its
// header CRC, keeping those before it.
std::vector<RarFileHeader> read_rar_file_headers(const std::string& archive_path);
