#pragma once

// Writers of the archives that reach the unpacker through the external archiver: 7-Zip archives
// through libarchive's writer, and RAR archives with every member stored, since no RAR packer
// exists here. Test-only.

#include <string>
#include <vector>

namespace test_support {

enum class MemberKind { file, symbolic_link, hard_link };

struct ArchiveMember {
    std::string name; // UTF-8, stored folders separated by '/'
    std::string data; // the contents; for a link, the name it points to
    MemberKind kind = MemberKind::file;
    bool cp1251_name = false; // RAR 4: the name in Windows-1251 only, without its Unicode form
    bool corrupt = false;     // RAR 4: the first stored byte changed after the CRC-32 was taken
};

// A 7-Zip archive, LZMA-compressed. Files and symbolic links only (the format has no hard links).
// Throws std::runtime_error.
void write_7z_archive(const std::string& path, const std::vector<ArchiveMember>& members);

// A RAR 4 archive of a Unix host with every member stored (method 0x30): files and symbolic
// links. A name with characters beyond ASCII carries its Unicode form unless cp1251_name is set.
// Throws std::runtime_error.
void write_rar_archive(const std::string& path, const std::vector<ArchiveMember>& members);

// A RAR 5 archive with every member stored; links are redirection records, the only way a RAR
// archive holds a hard link. Throws std::runtime_error.
void write_rar5_archive(const std::string& path, const std::vector<ArchiveMember>& members);

} // namespace test_support
