#include "tools/7za/flat_extraction.h"

#include "library/encoding.h"
#include "tools/7za/member_file.h"
#include "tools/7za/member_name.h"
#include "tools/7za/rar_headers.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <zlib.h>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

using ArchivePtr = std::unique_ptr<archive, decltype(&archive_read_free)>;

std::string error_text(archive* reader) {
    const char* text = archive_error_string(reader);
    return text ? text : "the archive cannot be read";
}

unsigned new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

class Extraction {
public:
    Extraction(const std::string& archive_path, const std::string& folder, std::ostream& errors)
        : archive_path(archive_path), folder(folder), errors(errors),
          rar_headers(read_rar_file_headers(archive_path)) {}

    bool run();

private:
    // The RAR 4 header of the member when it agrees with what libarchive read.
    const RarFileHeader* rar_header(std::size_t index, archive_entry* entry) const;
    std::optional<std::string> stored_name(const RarFileHeader* header, archive_entry* entry) const;
    // False when the archive cannot be read any further.
    bool extract_member(std::size_t index, archive_entry* entry);
    void report(const std::string& what) {
        errors << "7za: " << archive_path << ": " << what << '\n';
        complete = false;
    }

    const std::string& archive_path;
    const std::string& folder;
    std::ostream& errors;
    const std::vector<RarFileHeader> rar_headers;
    const unsigned file_mode = new_file_mode();
    ArchivePtr reader{archive_read_new(), archive_read_free};
    bool complete = true;
};

bool Extraction::run() {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        report("cannot create the folder " + folder + ": " + error.message());
        return false;
    }
    archive_read_support_format_7zip(reader.get());
    archive_read_support_format_rar(reader.get());
    archive_read_support_format_rar5(reader.get());
    if (archive_read_open_filename(reader.get(), archive_path.c_str(), 1 << 16) != ARCHIVE_OK) {
        report(error_text(reader.get()));
        return false;
    }
    archive_entry* entry = nullptr;
    for (std::size_t index = 0;; ++index) {
        const int result = archive_read_next_header(reader.get(), &entry);
        if (result == ARCHIVE_EOF)
            break;
        if (result < ARCHIVE_WARN) {
            report(error_text(reader.get()));
            break;
        }
        if (result == ARCHIVE_WARN)
            errors << "7za: " << archive_path << ": " << error_text(reader.get()) << '\n';
        if (!extract_member(index, entry))
            break;
    }
    return complete;
}

const RarFileHeader* Extraction::rar_header(std::size_t index, archive_entry* entry) const {
    if (index >= rar_headers.size() || archive_format(reader.get()) != ARCHIVE_FORMAT_RAR)
        return nullptr;
    const auto& header = rar_headers[index];
    const bool same_size = archive_entry_size_is_set(entry) &&
                           static_cast<std::uint64_t>(archive_entry_size(entry)) == header.unpacked_size;
    return same_size ? &header : nullptr;
}

std::optional<std::string> Extraction::stored_name(const RarFileHeader* header, archive_entry* entry) const {
    if (header && !header->unicode_name)
        return lib::cp1251_to_utf8(header->name);
    if (const char* name = archive_entry_pathname_utf8(entry))
        return std::string(name);
    if (const char* name = archive_entry_pathname(entry))
        return std::string(name);
    return std::nullopt;
}

bool Extraction::extract_member(std::size_t index, archive_entry* entry) {
    if (archive_entry_filetype(entry) == AE_IFDIR)
        return true;
    const RarFileHeader* header = rar_header(index, entry);
    const auto name = stored_name(header, entry);
    const std::string shown_name = name ? *name : "member " + std::to_string(index + 1);
    if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry)) {
        errors << "7za: " << archive_path << ": " << shown_name << ": not a regular file, skipped\n";
        return true;
    }
    const auto file_name = name ? member_file_name(*name) : std::nullopt;
    if (!file_name) {
        report(shown_name + ": not a file name, skipped");
        return true;
    }
    try {
        MemberFile file(folder, *file_name, file_mode);
        std::array<char, 1 << 16> buffer;
        uLong crc = crc32(0, nullptr, 0);
        while (true) {
            const auto size = archive_read_data(reader.get(), buffer.data(), buffer.size());
            if (size == 0)
                break;
            if (size < 0) {
                report(*name + ": " + error_text(reader.get()));
                return size != ARCHIVE_FATAL;
            }
            crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(size));
            file.write(buffer.data(), static_cast<std::size_t>(size));
        }
        if (header && header->stored && crc != header->crc)
            throw std::runtime_error(*name + ": CRC failed, the data is damaged");
        file.commit();
    } catch (const std::runtime_error& error) {
        report(error.what());
    }
    return true;
}

} // namespace

bool extract_flat(const std::string& archive_path, const std::string& folder, std::ostream& errors) {
    return Extraction(archive_path, folder, errors).run();
}
