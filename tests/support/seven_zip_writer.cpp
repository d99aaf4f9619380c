#include "tests/support/archive_writers.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <memory>
#include <stdexcept>

namespace test_support {

namespace {

// libarchive converts names through the locale of the calling thread; UTF-8 names need a UTF-8
// locale, set for this thread only while the archive is written.
class Utf8Locale {
public:
    Utf8Locale() : utf8(newlocale(LC_ALL_MASK, "C.UTF-8", nullptr)), previous(uselocale(utf8)) {}
    ~Utf8Locale() {
        uselocale(previous);
        freelocale(utf8);
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    locale_t utf8;
    locale_t previous;
};

void check(archive* writer, int result, const std::string& path) {
    if (result < ARCHIVE_WARN)
        throw std::runtime_error("write_7z_archive " + path + ": " + archive_error_string(writer));
}

} // namespace

void write_7z_archive(const std::string& path, const std::vector<ArchiveMember>& members) {
    const Utf8Locale locale;
    const std::unique_ptr<archive, decltype(&archive_write_free)> writer(archive_write_new(),
                                                                         archive_write_free);
    check(writer.get(), archive_write_set_format_7zip(writer.get()), path);
    check(writer.get(), archive_write_open_filename(writer.get(), path.c_str()), path);
    for (const auto& member : members) {
        if (member.kind == MemberKind::hard_link)
            throw std::invalid_argument("write_7z_archive: a 7-Zip archive holds no hard links");
        const std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                                  archive_entry_free);
        archive_entry_copy_pathname(entry.get(), member.name.c_str());
        archive_entry_set_mtime(entry.get(), 1600000000, 0);
        if (member.kind == MemberKind::symbolic_link) {
            archive_entry_set_filetype(entry.get(), AE_IFLNK);
            archive_entry_set_perm(entry.get(), 0777);
            archive_entry_copy_symlink(entry.get(), member.data.c_str());
        } else {
            archive_entry_set_filetype(entry.get(), AE_IFREG);
            archive_entry_set_perm(entry.get(), 0644);
            archive_entry_set_size(entry.get(), static_cast<la_int64_t>(member.data.size()));
        }
        check(writer.get(), archive_write_header(writer.get(), entry.get()), path);
        if (member.kind == MemberKind::file && !member.data.empty() &&
            archive_write_data(writer.get(), member.data.data(), member.data.size()) < 0)
            check(writer.get(), ARCHIVE_FATAL, path);
    }
    check(writer.get(), archive_write_close(writer.get()), path);
}

} // namespace test_support
