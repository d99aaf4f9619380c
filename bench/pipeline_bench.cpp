// A whole extraction job over a folder of rzip packages, against the least any unpacker must do with
// the same packages in the same run: inflate every entry, and write every file the job has to
// write (each arriving realtime file, and each merged well file, once, flushed to disk).
//
// The input: wells with two packages each, one shift of realtime data per package; the second
// package of a well overlaps the first by ten minutes and merges into the well's file, so half of
// the packages merge. TALVEX_BENCH_PACKAGES (default 200) and TALVEX_BENCH_PACKAGE_MB (unpacked
// megabytes per package, default 2.5: 500 MB in all) scale it. Target: the job within 1.5 times
// the sum of its unavoidable parts.

#include "bench/zlib_baseline.h"
#include "pipeline/extract_thread.h"
#include "tests/support/drilling_samples.h"
#include "tests/support/rzip_writer.h"
#include "tests/support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;
using test_support::DrillingRecord;

constexpr std::uint32_t k_step = 10;            // seconds between records
constexpr std::uint32_t k_overlap_records = 60; // ten minutes

double environment_number(const char* name, double fallback) {
    const char* text = std::getenv(name);
    return text ? std::atof(text) : fallback;
}

class NullObserver : public ExtractionObserver {
    void status(const std::string&) override {}
    void position(int) override {}
    void error(const std::string&, const std::string& text, const std::string& reason) override {
        std::fprintf(stderr, "%s: %s\n", text.c_str(), reason.c_str());
    }
    void finished(const std::vector<std::string>&) override {}
};

struct Entry {
    std::string content, packed;
};

// The packages on disk, and what the unavoidable parts work on: the entries of each package, and the
// files the job must write for it.
struct Input {
    Input() {
        const auto packages = static_cast<int>(environment_number("TALVEX_BENCH_PACKAGES", 200));
        const double megabytes = environment_number("TALVEX_BENCH_PACKAGE_MB", 2.5);
        const double record_bytes =
            static_cast<double>(
                test_support::drilling_sector_file(test_support::drilling_records(0, 1000, 2000, 1)).size()) /
            1000.0;
        const auto count = static_cast<std::size_t>(megabytes * 1e6 / record_bytes);

        // Every well receives the same two shifts: the work per package does not depend on its data.
        const auto first = test_support::drilling_records(1000000, count, 2000, 1, k_step);
        const auto second = test_support::drilling_records(1000000 + (count - k_overlap_records) * k_step,
                                                           count, 2000 + 40, 2, k_step);
        auto merged = first;
        merged.insert(merged.end(), second.begin() + k_overlap_records + 1, second.end());
        const Entry first_file{test_support::drilling_sector_file(first), {}};
        const Entry second_file{test_support::drilling_sector_file(second), {}};
        shifts = {Entry{first_file.content, deflated(first_file.content)},
                  Entry{second_file.content, deflated(second_file.content)}};
        merged_file = test_support::drilling_sector_file(merged);

        for (int p = 0; p < packages; ++p) {
            const int well = p / 2;
            const auto& shift = shifts[p % 2];
            const std::string ini = "[pore]\r\nfield=bench\r\nhole=" + std::to_string(well) + "\r\n";
            wells.push_back(Entry{ini, deflated(ini)});
            char name[32];
            std::snprintf(name, sizeof name, "w%04d_%d.zreg", well, p % 2);
            test_support::write_rzip_package(
                input.path() + name,
                {{"inpgti.ini", ini},
                 {"1.realtim", shift.content, test_support::RzipKind::plain, shift.packed}});
            unpacked_bytes += ini.size() + shift.content.size();
        }
    }

    // Inflates every entry of every package, then writes what the job writes for each: the arriving
    // file of a first package, the merged file of a second, and the well description.
    double unavoidable_seconds(const std::string& scratch) const {
        const auto start = Clock::now();
        std::string buffer(shifts[0].content.size() + shifts[1].content.size(), '\0');
        for (std::size_t p = 0; p < wells.size(); ++p) {
            for (const Entry* entry : {&wells[p], &shifts[p % 2]})
                inflate_into(buffer, entry->packed);
            write_whole(scratch + std::to_string(p) + ".realtim",
                        p % 2 == 0 ? shifts[0].content : merged_file, true);
            write_whole(scratch + std::to_string(p) + ".ini", wells[p].content, true);
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    TempFolder input;
    std::vector<Entry> shifts;
    std::vector<Entry> wells; // the well description of each package
    std::string merged_file;
    std::uint64_t unpacked_bytes = 0;
};

Input& input() {
    static Input instance;
    return instance;
}

void BM_ExtractJob(benchmark::State& state) {
    Input& in = input();
    double job_seconds = 0, baseline_seconds = 0;
    for (auto _ : state) {
        TempFolder output;
        const CONFIGURATION configuration{output / "data/", in.input.path()};
        FilesDataStorage registry;
        NullObserver observer;
        TExtractThread job(output / "work", observer, &registry, "", configuration);
        const auto start = Clock::now();
        job.Execute();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        job_seconds += seconds;
        if (job.failed_packages() != 0)
            state.SkipWithError("a package failed");

        std::filesystem::create_directories(output / "plain/");
        baseline_seconds += in.unavoidable_seconds(output / "plain/");
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["packages"] = static_cast<double>(in.wells.size());
    state.counters["unpacked_MB"] = static_cast<double>(in.unpacked_bytes) / 1e6;
    state.counters["packages_per_s"] = static_cast<double>(in.wells.size()) * iterations / job_seconds;
    state.counters["MB_per_s"] = static_cast<double>(in.unpacked_bytes) / 1e6 * iterations / job_seconds;
    state.counters["baseline_s"] = baseline_seconds / iterations;
    state.counters["ratio"] = job_seconds / baseline_seconds;
}

BENCHMARK(BM_ExtractJob)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
