#include "tests/support/archive_writers.h"

#include "library/encoding.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace test_support {

namespace {

std::uint32_t crc_of(const std::string& bytes, std::size_t from = 0) {
    return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + from),
                                            static_cast<uInt>(bytes.size() - from)));
}

void put_le(std::string& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        out += static_cast<char>(value >> (8 * i));
}

void save(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !file.flush())
        throw std::runtime_error("cannot write the archive " + path);
}

// UTF-16 code units of a UTF-8 text (valid UTF-8 assumed: the names are the tests' own).
std::u16string utf16(const std::string& text) {
    std::u16string units;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if (code >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(code);
        }
    }
    return units;
}

bool is_ascii(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// ---- RAR 4 ----

constexpr unsigned k_long_block = 0x8000, k_unicode_name = 0x200;
constexpr int k_unix_host = 3;
constexpr std::uint32_t k_dos_time = (40u << 25) | (1u << 21) | (1u << 16); // 2020-01-01 00:00

// A block whose CRC-16 field is the low half of the CRC-32 of everything after it.
std::string rar4_block(int type, unsigned flags, const std::string& fields) {
    std::string block(2, '\0');
    block += static_cast<char>(type);
    put_le(block, flags, 2);
    put_le(block, 7 + fields.size(), 2);
    block += fields;
    const auto crc = crc_of(block, 2);
    block[0] = static_cast<char>(crc);
    block[1] = static_cast<char>(crc >> 8);
    return block;
}

// The Windows-1251 bytes of the name, then its Unicode form: a zero byte, the high byte (unused),
// then groups of four characters, each after a flag byte whose 2-bit codes 2 mean "low byte, high
// byte follow".
std::string rar4_unicode_name(const std::string& name) {
    std::string bytes = lib::utf8_to_cp1251(name);
    bytes += '\0';
    bytes += '\0';
    const auto units = utf16(name);
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (i % 4 == 0)
            bytes += static_cast<char>(0xAA);
        put_le(bytes, units[i], 2);
    }
    return bytes;
}

std::string rar4_file(const ArchiveMember& member) {
    if (member.kind == MemberKind::hard_link)
        throw std::invalid_argument("write_rar_archive: a RAR 4 archive holds no hard links");
    const bool link = member.kind == MemberKind::symbolic_link;
    const bool unicode = !member.cp1251_name && !is_ascii(member.name);
    const std::string name = unicode ? rar4_unicode_name(member.name) : lib::utf8_to_cp1251(member.name);
    std::string data = member.data;
    std::string fields;
    put_le(fields, data.size(), 4); // packed size
    put_le(fields, data.size(), 4); // unpacked size
    fields += static_cast<char>(k_unix_host);
    put_le(fields, crc_of(data), 4);
    put_le(fields, k_dos_time, 4);
    fields += static_cast<char>(20);   // version needed to extract
    fields += static_cast<char>(0x30); // method: stored
    put_le(fields, name.size(), 2);
    put_le(fields, link ? 0120777 : 0100644, 4);
    fields += name;
    if (member.corrupt && !data.empty())
        data[0] = static_cast<char>(data[0] ^ 0xFF);
    return rar4_block(0x74, k_long_block | (unicode ? k_unicode_name : 0), fields) + data;
}

// ---- RAR 5 ----

void put_vint(std::string& out, std::uint64_t value) {
    do {
        out += static_cast<char>((value & 0x7F) | (value > 0x7F ? 0x80 : 0));
        value >>= 7;
    } while (value > 0);
}

// CRC-32 of the header size and the header, then both.
std::string rar5_header(const std::string& header) {
    std::string sized;
    put_vint(sized, header.size());
    sized += header;
    std::string block;
    put_le(block, crc_of(sized), 4);
    return block + sized;
}

std::string rar5_file(const ArchiveMember& member) {
    constexpr int k_file_header = 2, k_redirection = 5, k_unix_symbolic_link = 1, k_hard_link = 4;
    constexpr unsigned k_has_extra = 0x01, k_has_data = 0x02, k_crc_present = 0x04;
    const bool link = member.kind != MemberKind::file;
    const std::string data = link ? std::string() : member.data;

    std::string extra;
    if (link) {
        std::string record;
        put_vint(record, k_redirection);
        put_vint(record, member.kind == MemberKind::hard_link ? k_hard_link : k_unix_symbolic_link);
        put_vint(record, 0); // flags: the target is a file
        put_vint(record, member.data.size());
        record += member.data;
        put_vint(extra, record.size());
        extra += record;
    }
    std::string header;
    put_vint(header, k_file_header);
    put_vint(header, (link ? k_has_extra : 0) | k_has_data);
    if (link)
        put_vint(header, extra.size());
    put_vint(header, data.size());
    put_vint(header, k_crc_present);
    put_vint(header, data.size());
    put_vint(header, member.kind == MemberKind::symbolic_link ? 0120777 : 0100644);
    put_le(header, crc_of(data), 4);
    put_vint(header, 0); // compression: stored
    put_vint(header, 1); // host: Unix
    put_vint(header, member.name.size());
    header += member.name;
    header += extra;
    return rar5_header(header) + data;
}

} // namespace

void write_rar_archive(const std::string& path, const std::vector<ArchiveMember>& members) {
    std::string archive("Rar!\x1A\x07\x00", 7);
    archive += rar4_block(0x73, 0, std::string(6, '\0'));
    for (const auto& member : members)
        archive += rar4_file(member);
    archive += rar4_block(0x7B, 0x4000, "");
    save(path, archive);
}

void write_rar5_archive(const std::string& path, const std::vector<ArchiveMember>& members) {
    std::string archive("Rar!\x1A\x07\x01\x00", 8);
    archive += rar5_header(std::string("\x01\x00\x00", 3)); // main header, no archive flags
    for (const auto& member : members)
        archive += rar5_file(member);
    archive += rar5_header(std::string("\x05\x00\x00", 3)); // end of archive
    save(path, archive);
}

} // namespace test_support
