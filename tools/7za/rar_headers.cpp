#include "tools/7za/rar_headers.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <fstream>

namespace {

constexpr std::array<char, 7> k_marker = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
constexpr std::size_t k_base_header_size = 7; // CRC-16, type, flags, size
constexpr std::size_t k_file_header_size = 32;
constexpr unsigned char k_file_header = 0x74;
constexpr unsigned char k_end_block = 0x7B;
constexpr unsigned k_split_before = 0x01, k_split_after = 0x02, k_encrypted = 0x04;
constexpr unsigned k_unicode_name = 0x200, k_large_file = 0x100, k_long_block = 0x8000;
constexpr unsigned char k_method_store = 0x30;

std::uint32_t le(const std::string& bytes, std::size_t offset, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// The low 16 bits of the CRC-32 of the header from its type byte on.
bool header_crc_matches(const std::string& header) {
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(header.data() + 2), header.size() - 2);
    return (crc & 0xFFFF) == le(header, 0, 2);
}

RarFileHeader parse_file_header(const std::string& header, unsigned flags) {
    RarFileHeader file;
    file.unpacked_size = le(header, 11, 4);
    file.crc = le(header, 16, 4);
    const auto method = static_cast<unsigned char>(header[25]);
    std::size_t name_offset = k_file_header_size;
    if (flags & k_large_file) {
        file.unpacked_size |= std::uint64_t{le(header, 36, 4)} << 32;
        name_offset += 8;
    }
    const std::size_t name_size = le(header, 26, 2);
    if (name_offset + name_size <= header.size()) {
        file.name = header.substr(name_offset, name_size);
        file.unicode_name = (flags & k_unicode_name) != 0;
        if (file.unicode_name)
            file.name.resize(std::strlen(file.name.c_str()));
    }
    file.stored = method == k_method_store && !(flags & (k_split_before | k_split_after | k_encrypted));
    return file;
}

} // namespace

std::vector<RarFileHeader> read_rar_file_headers(const std::string& archive_path) {
    std::vector<RarFileHeader> files;
    std::ifstream archive(archive_path, std::ios::binary);
    std::array<char, k_marker.size()> marker{};
    if (!archive.read(marker.data(), marker.size()) || marker != k_marker)
        return files;

    std::uint64_t position = k_marker.size();
    std::string header;
    while (true) {
        header.resize(k_base_header_size);
        if (!archive.seekg(static_cast<std::streamoff>(position)) ||
            !archive.read(header.data(), header.size()))
            break;
        const auto type = static_cast<unsigned char>(header[2]);
        const unsigned flags = le(header, 3, 2);
        const std::size_t size = le(header, 5, 2);
        if (type == k_end_block || size < k_base_header_size)
            break;
        header.resize(size);
        if (!archive.read(header.data() + k_base_header_size, size - k_base_header_size) ||
            !header_crc_matches(header))
            break;

        std::uint64_t data_size = 0;
        if (type == k_file_header) {
            if (size < k_file_header_size + ((flags & k_large_file) ? 8 : 0))
                break;
            files.push_back(parse_file_header(header, flags));
            data_size = le(header, 7, 4);
            if (flags & k_large_file)
                data_size |= std::uint64_t{le(header, 32, 4)} << 32;
        } else if ((flags & k_long_block) && size >= k_base_header_size + 4) {
            data_size = le(header, 7, 4);
        }
        position += size + data_size;
    }
    return files;
}
