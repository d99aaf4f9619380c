#pragma once

// A sandbox for running whole extraction jobs in tests: an input folder, a data folder, a work
// folder and a registry under one temporary folder, an observer that records everything the job
// tells its user, and builders of the packages and realtime files the tests feed it.

#include "library/encoding.h"
#include "pipeline/extract_thread.h"
#include "realtime/file_storage.h"
#include "tests/support/temp_folder.h"
#include "tests/support/drilling_samples.h"
#include "tests/support/rzip_writer.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

class RecordingObserver : public ExtractionObserver {
public:
    struct Error {
        std::string caption, text, reason;
    };

    void status(const std::string& text) override { statuses.push_back(text); }
    void position(int percent) override { positions.push_back(percent); }
    void error(const std::string& caption, const std::string& text, const std::string& reason) override {
        errors.push_back({caption, text, reason});
    }
    void finished(const std::vector<std::string>& lines) override {
        report = lines;
        ++finished_calls;
    }

    std::vector<std::string> statuses;
    std::vector<int> positions;
    std::vector<Error> errors;
    std::vector<std::string> report;
    int finished_calls = 0;
};

class JobSandbox {
public:
    JobSandbox() : configuration{root / "data/", root / "input/"} {
        std::filesystem::create_directories(configuration.from_path);
    }

    // Runs one job (every package of the input folder, or the one given) with a fresh observer;
    // returns the report the observer received.
    const std::vector<std::string>& run_job(const std::string& single_package = "") {
        observer = RecordingObserver();
        TExtractThread job(work_folder(), observer, &registry, single_package, configuration);
        job.Execute();
        failed_packages = job.failed_packages();
        return observer.report;
    }

    std::string input(const std::string& relative) const { return configuration.from_path + relative; }
    std::string data(const std::string& relative) const { return configuration.to_path + relative; }
    std::string work_folder() const { return root / "work"; }

    // Every entry below the data folder, relative to it; folders end with '/'.
    std::set<std::string> data_tree() const {
        std::set<std::string> entries;
        std::error_code missing;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(configuration.to_path, missing)) {
            const auto relative = std::filesystem::relative(entry.path(), configuration.to_path).string();
            entries.insert(entry.is_directory() ? relative + "/" : relative);
        }
        return entries;
    }

    void write_package(const std::string& relative,
                       const std::vector<test_support::RzipEntry>& entries) const {
        std::filesystem::create_directories(std::filesystem::path(input(relative)).parent_path());
        test_support::write_rzip_package(input(relative), entries);
    }

    TempFolder root;
    CONFIGURATION configuration;
    FilesDataStorage registry;
    RecordingObserver observer;
    int failed_packages = 0;
};

// Drilling records at the given times.
inline std::vector<test_support::DrillingRecord> records_at(const std::vector<std::uint32_t>& times) {
    auto records = test_support::drilling_records(0, times.size(), 1500.0f, 7);
    for (std::size_t i = 0; i < times.size(); ++i)
        records[i].time = times[i];
    return records;
}

// A realtime file in sector form with records at the given times.
inline std::string realtime_file(const std::vector<std::uint32_t>& times) {
    return test_support::drilling_sector_file(records_at(times));
}

// The times from first to last (inclusive) in steps of one.
inline std::vector<std::uint32_t> time_span(std::uint32_t first, std::uint32_t last) {
    std::vector<std::uint32_t> times;
    for (auto time = first; time <= last && time >= first; ++time)
        times.push_back(time);
    return times;
}

// The record times of a realtime file, in file order.
inline std::vector<std::uint32_t> record_times(const std::string& path) {
    FileStorage storage;
    storage.open(path);
    std::vector<std::uint32_t> times;
    for (std::int32_t i = 0; i < storage.record_count(); ++i)
        times.push_back(storage.record(i)->time);
    return times;
}

// The package entry "inpgti.ini" naming the area and the well, written in Windows-1251.
inline test_support::RzipEntry well_description(const std::string& area, const std::string& well) {
    return {"inpgti.ini",
            lib::utf8_to_cp1251("[скважина]\r\nплощадь=" + area + "\r\nномер=" + well + "\r\n")};
}

inline test_support::RzipEntry realtime_entry(const std::string& name,
                                              const std::vector<std::uint32_t>& times) {
    return {lib::utf8_to_cp1251(name), realtime_file(times)};
}

// The report line of a time-indexed file that received data.
inline std::string data_line(const std::string& well, const std::string& file) {
    return "    скважина \"" + well + "\", файл \"" + file + "\"";
}

inline const std::string k_report_heading = "Распаковка данных:";
inline const std::string k_nothing_new = "НОВЫЕ данные не найдены!";
