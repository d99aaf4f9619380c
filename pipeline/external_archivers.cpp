#include "pipeline/external_archivers.h"

#include "library/fileworks.h"
#include "library/io/input_mapped_file.h"
#include "library/io/output_file_stream.h"
#include "library/process.h"
#include "pipeline/old_record_files.h"
#include "pipeline/state_folder.h"
#include "realtime/file_storage.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace {

constexpr const char* k_archiver_missing = "Файл 7za.exe не найден";
constexpr std::int32_t k_plain_files = lib::fa_read_only | lib::fa_archive;

// Runs `7za e "<package>" "-o<work folder>" -r` in the archiver's own folder and waits for it; false
// when it cannot be started.
bool run_archiver(const std::string& archiver, const std::string& package, const std::string& work_folder,
                  int& exit_code) {
    return lib::run_program(archiver,
                            {"e", package, "-o" + lib::exclude_trailing_backslash(work_folder), "-r"}, "",
                            false, &exit_code);
}

// An archive the archiver could not extract whole, or that yielded nothing at all (every package holds
// at least its well description), is damaged: its package fails and is tried again next run.
void check_extracted(const std::string& package, const std::string& work_folder, int exit_code) {
    if (exit_code != 0)
        throw std::runtime_error("Архив \"" + package + "\" повреждён: 7za завершился с кодом " +
                                 std::to_string(exit_code));
    std::error_code error;
    if (std::filesystem::is_empty(work_folder, error) || error)
        throw std::runtime_error("Архив \"" + package + "\" повреждён: из него ничего не извлечено");
}

void extract_or_throw(const std::string& archiver, const std::string& package,
                      const std::string& work_folder) {
    int exit_code = 0;
    if (!run_archiver(archiver, package, work_folder, exit_code))
        throw std::runtime_error(k_archiver_missing);
    check_extracted(package, work_folder, exit_code);
}

} // namespace

std::string archiver_path() {
    return program_folder() + "7za";
}

void unpack_7z_reg(const std::string& package, const std::string& work_folder, const std::string& archiver) {
    extract_or_throw(archiver, package, work_folder);
    lib::FileFinder finder;
    finder.find(work_folder + "*.compr1", k_plain_files, false);
    for (const auto& file : finder.files()) {
        FileStorage storage;
        storage.clear();
        storage.load_compressed_file(file.path + file.name);
        storage.write_file(file.path + lib::name_without_extension(file));
    }
}

void unpack_compr_rt(const std::string& package, const std::string& work_folder,
                     const std::string& archiver) {
    extract_or_throw(archiver, package, work_folder);
    lib::FileFinder finder;
    finder.find(work_folder + "*.real???.*", k_plain_files, false);
    std::set<std::string> realtime_files; // byte-wise order
    for (const auto& piece : finder.files())
        realtime_files.insert(lib::name_without_extension(piece));
    for (const auto& name : realtime_files) {
        FileStorage storage;
        storage.clear();
        storage.load_split_files(work_folder + name);
        storage.write_file(work_folder + name);
    }
    for (const auto& piece : finder.files())
        std::remove((piece.path + piece.name).c_str());
}

RegRARDecompr::RegRARDecompr(const std::string& package, const std::string& archiver)
    : package(package), archiver(archiver) {}

void RegRARDecompr::extract(const std::string& work_folder) {
    int exit_code = 0;
    if (!run_archiver(archiver, package, work_folder, exit_code))
        return;
    check_extracted(package, work_folder, exit_code);
    for (const char* mask : {"*.tim", "*.dep", "*.ldp"}) {
        std::vector<std::string> names;
        lib::list_file_names(work_folder + mask, names, 0);
        for (const auto& name : names)
            convert_old_file(work_folder + name);
    }
}

void RegRARDecompr::convert_old_file(const std::string& path) {
    const auto size = lib::file_size(path);
    if (size <= 0)
        return;
    std::string contents(static_cast<std::size_t>(size), '\0');
    {
        lib::io::InputMappedFile file;
        file.open(path, false);
        file.read(contents.data(), static_cast<std::uint32_t>(size));
    }
    const auto records = plain_old_records(contents);
    if (!records)
        return;
    lib::io::BinaryOutputFileStream file;
    file.open(path, false, false);
    file.write(records->data(), static_cast<std::uint32_t>(records->size()));
    file.close();
}
