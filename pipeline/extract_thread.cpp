#include "pipeline/extract_thread.h"

#include "codecs/rzip/decompression.h"
#include "library/process.h"
#include "pipeline/external_archivers.h"
#include "pipeline/well_description.h"

#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

constexpr const char* k_scan_masks[] = {"*.zreg", "*.rar", "*.7z_reg", "*.compr_rt"};
constexpr const char* k_merge_masks[] = {"*.tim", "*.dep", "*.ldp", "*.realtim", "*.realdep", "*.reallag"};
constexpr const char* k_copy_masks[] = {"*.rac", "*.rem", "*.ini", "*.nbl", "*.las", "*.bin"};
constexpr std::int32_t k_read_only_and_archive = lib::fa_read_only | lib::fa_archive;

bool is_folder(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

// Creates the last folder of the path when missing; a failure shows later, when files go there.
void create_folder(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directory(path, ignored);
}

} // namespace

TExtractThread::TExtractThread(std::string work_folder, ExtractionObserver& progress_window,
                               FilesDataStorage* registry, std::string single_package,
                               const CONFIGURATION& configuration)
    : work_folder(std::move(work_folder)), progress_window(progress_window), registry(registry),
      single_package(std::move(single_package)), configuration(configuration) {}

void TExtractThread::Execute() {
    try {
        run();
    } catch (const std::exception& error) {
        // A well file that cannot be saved ends the run; the package then counts as not processed,
        // so the next run tries it again.
        fail_package(current_package, error.what());
    }
    progress_window.finished(report);
}

void TExtractThread::run() {
    report.push_back("Распаковка данных:");
    const auto& to_path = configuration.to_path;
    if (to_path.empty())
        return;
    const auto data_folder = to_path.substr(0, to_path.size() - 1);
    if (!data_folder.empty() && !is_folder(data_folder))
        create_folder(data_folder);

    work_folder_slash = work_folder + "/";
    create_folder(work_folder);
    if (!is_folder(work_folder))
        return;
    lib::delete_files_in_folder(work_folder);

    if (single_package.empty()) {
        for (const char* mask : k_scan_masks)
            finder.find(configuration.from_path + mask, k_read_only_and_archive, true);
    } else {
        finder.find(single_package, k_read_only_and_archive, false);
    }
    finder.sort(lib::by_name);

    const auto total = finder.total_size();
    std::int64_t done = 0;
    for (const auto& file : finder.files()) {
        const auto package = file.path + file.name;
        post_log_line("Обрабатывается файл \"" + package + "\"");
        current_package = package;
        lib::clear_folder(work_folder_slash);
        process_package(package);
        lib::clear_folder(work_folder_slash);
        current_package.clear();
        done += lib::file_size(package);
        post_position(done, total);
    }

    if (report.size() == 1)
        report.push_back("НОВЫЕ данные не найдены!");
}

void TExtractThread::post_log_line(const std::string& text) {
    progress_window.status(text);
}

// Progress is by bytes, so that large packages weigh in proportion; with nothing to weigh every step
// is complete.
void TExtractThread::post_position(std::int64_t done, std::uint64_t total) {
    const double percent =
        total == 0 ? 100.0 : static_cast<double>(done) * 100.0 / static_cast<double>(total);
    progress_window.position(static_cast<int>(percent));
}

bool TExtractThread::package_is_new(const std::string& package) {
    const FileData current{lib::file_size(package)};
    FileData recorded;
    if (registry->find(package, recorded) && recorded.size == current.size)
        return false;
    registry->set(package, current);
    return true;
}

void TExtractThread::process_package(const std::string& package) {
    if (!package_is_new(package))
        return;
    WellDescription description;
    try {
        unpack(package);
        description = read_well_description(work_folder_slash + "inpgti.ini");
    } catch (const std::exception& error) {
        fail_package(package, error.what());
        return;
    }

    well_name = description.well;
    area_name = description.area;
    area_folder = configuration.to_path + area_name;
    create_folder(area_folder);
    well_folder = area_folder + "/" + well_name;
    create_folder(well_folder);
    well_folder_slash = well_folder + "/";

    merge_failed = unpack_again = false;
    for (const char* mask : k_merge_masks)
        merge_by_mask(mask);
    for (const char* mask : k_copy_masks)
        lib::copy_files_by_mask(work_folder_slash, well_folder_slash, mask);
    if (merge_failed)
        ++failures;
    // The data that could not be merged is still in the package: unpack it again next run.
    if (unpack_again)
        registry->remove(package);
}

void TExtractThread::unpack(const std::string& package) {
    const auto extension = lib::lower_extension(package);
    if (extension == ".rar") {
        RegRARDecompr(package).extract(work_folder_slash);
    } else if (extension == ".7z_reg") {
        unpack_7z_reg(package, work_folder_slash);
    } else if (extension == ".zreg") {
        rzip::Decompression decompression(package);
        try {
            decompression.extract_all_files(work_folder_slash);
        } catch (...) {
            report_skipped_entries(decompression.warnings());
            throw;
        }
        report_skipped_entries(decompression.warnings());
    } else if (extension == ".compr_rt") {
        unpack_compr_rt(package, work_folder_slash);
    }
}

// Entries whose names would have left the work folder were not unpacked; the report names them.
void TExtractThread::report_skipped_entries(const std::vector<std::string>& warnings) {
    report.insert(report.end(), warnings.begin(), warnings.end());
}

void TExtractThread::fail_package(const std::string& package, const std::string& reason) {
    ++failures;
    registry->remove(package);
    const auto text = package.empty() ? std::string("Распаковка прервана")
                                      : "Произошла ошибка при распаковке файла \"" + package + "\"";
    report.push_back(text + ": " + reason);
    progress_window.error("  ОШИБКА", text, reason);
}
