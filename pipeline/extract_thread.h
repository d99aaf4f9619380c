#pragma once

// The extraction job: finds the packages that are new or changed, unpacks each into a private work
// folder, reads the well description inside and merges the realtime data into the well's folder
// under the data folder, "<to_path><area>/<well>/". The job runs on whatever thread calls Execute
// and reaches its user only through its observer.

#include "library/fileworks.h"
#include "pipeline/configuration.h"
#include "pipeline/extraction_observer.h"
#include "pipeline/files_data_storage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FileStorage;

class TExtractThread {
public:
    // work_folder: the private work folder, without a trailing '/'. single_package: empty to scan the
    // input folder; otherwise one package path (or a mask in one folder). The observer, the registry
    // and the settings are lent to the job, not owned: they must outlive it, and nothing else may use
    // the registry or change the settings while Execute runs.
    TExtractThread(std::string work_folder, ExtractionObserver& progress_window, FilesDataStorage* registry,
                   std::string single_package, const CONFIGURATION& configuration);
    TExtractThread(const TExtractThread&) = delete;
    TExtractThread& operator=(const TExtractThread&) = delete;

    // Runs the whole job and ends by handing the report to the observer. Never throws: an error that
    // ends the job early is reported like a failed package.
    void Execute();

    // Packages that failed to unpack or to merge in this run; each failure is in the report. Those
    // that can succeed on a second try (unpacking, reading the well's file) are left out of the
    // registry.
    int failed_packages() const { return failures; }

    // The largest record time of the storage, compared as unsigned; 0 when it holds no records.
    static std::uint32_t max_time(const FileStorage& storage);

private:
    void run();
    void post_log_line(const std::string& text);
    void post_position(std::int64_t done, std::uint64_t total);
    bool package_is_new(const std::string& package);
    void process_package(const std::string& package);
    void unpack(const std::string& package);
    void report_skipped_entries(const std::vector<std::string>& warnings);
    void fail_package(const std::string& package, const std::string& reason);
    void merge_by_mask(std::string_view mask);
    void merge_file(const std::string& source);

    std::vector<std::string> report;
    lib::FileFinder finder;
    std::string work_folder;
    std::string well_name;
    std::string area_name;
    std::string area_folder;
    std::string well_folder;
    std::string well_folder_slash;
    std::string work_folder_slash;
    ExtractionObserver& progress_window;
    FilesDataStorage* registry;
    std::string single_package;
    const CONFIGURATION& configuration;
    std::string current_package; // the package being processed, empty between packages
    bool merge_failed = false;   // a file of the package could not be merged
    bool unpack_again = false;   // ... and the package still holds data the well lacks
    int failures = 0;
};
