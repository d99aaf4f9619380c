// Bringing the unpacked realtime files into the well folder: a file the well lacks is copied, a file
// it has takes only the records newer than everything it holds.

#include "pipeline/extract_thread.h"

#include "library/process.h"
#include "realtime/file_storage.h"

#include <filesystem>
#include <limits>
#include <system_error>

namespace {

constexpr std::uint32_t k_last_time = std::numeric_limits<std::uint32_t>::max();

std::string file_name_of(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

bool is_time_indexed(const std::string& name) {
    const auto extension = lib::lower_extension(name);
    return extension == ".tim" || extension == ".realtim";
}

} // namespace

std::uint32_t TExtractThread::max_time(const FileStorage& storage) {
    std::uint32_t largest = 0;
    for (int i = 0; i < storage.record_count(); ++i)
        largest = std::max(largest, storage.record(i)->time);
    return largest;
}

void TExtractThread::merge_by_mask(std::string_view mask) {
    std::vector<std::string> names;
    lib::list_file_names(work_folder_slash + std::string(mask), names, 0);
    for (const auto& name : names)
        merge_file(work_folder_slash + name);
}

void TExtractThread::merge_file(const std::string& source) {
    const auto name = file_name_of(source);
    const auto destination = well_folder_slash + name;
    const auto failure_line = "В процессе распаковки файла '" + destination + "' произошла ошибка";
    std::error_code ignored;
    if (!std::filesystem::exists(destination, ignored)) {
        if (!lib::copy_file(source, destination)) {
            report.push_back(failure_line);
            merge_failed = unpack_again = true;
            return;
        }
    } else {
        FileStorage storage;
        try {
            storage.open(destination);
        } catch (const std::exception&) {
            report.push_back(failure_line);
            merge_failed = unpack_again = true;
            return;
        }
        const auto before = storage.record_count();
        const auto held_up_to = max_time(storage);
        // A record exactly one second after the last one held is taken as already held. Nothing can
        // be newer than a file that already reaches the last two seconds of the time scale.
        if (held_up_to >= k_last_time - 1)
            return;
        storage.set_time_range(held_up_to + 2, k_last_time);
        try {
            storage.open(source);
        } catch (const std::exception&) {
            report.push_back(failure_line);
            merge_failed = true;
            return;
        }
        if (storage.record_count() == before)
            return;
        storage.save(destination);
    }
    if (is_time_indexed(name))
        report.push_back("    скважина \"" + well_name + "\", файл \"" + name + "\"");
}
