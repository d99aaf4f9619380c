// Reading and merging a large well file: a sector file of 1,000,000 records of 64 parameters
// (about 275 MB), generated once per run in a temporary folder.
//
// open is set against reading the same file's bytes into memory; the merge step of the unpacker
// (open the well's file, take only newer records, open a 1,000-record arrival into it, save) is set
// against a plain copy of the well's file, both as the bytes alone (read + write) and made durable
// (read + write + fsync) as the save is. The peak memory of the merge is measured in a process of
// its own. The table after the benchmark runs gives the ratios.

#include "realtime/file_storage.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int32_t k_records = 1'000'000;
constexpr std::int32_t k_params = 64;
constexpr std::int32_t k_arrived_records = 1'000;

struct Files {
    std::string folder;  // with its trailing '/'
    std::string well;    // the large file
    std::string arrived; // 1,000 records newer than the well's
    std::string merged;  // the merge saves here, so every run starts from the same well file
    std::string copy;    // the plain copy's target
    double megabytes = 0.0;
};

void write_storage(const std::string& path, std::int32_t records, std::uint32_t first_time) {
    FileStorage storage;
    for (std::int32_t p = 0; p < k_params; ++p) {
        storage.add_param(
            {{"parameter " + std::to_string(p), "", "unit"}, "key" + std::to_string(p), 0.0f, 100.0f});
    }
    storage.reset_records(records);
    for (std::int32_t r = 0; r < records; ++r) {
        auto* item = storage.record(r);
        item->time = first_time + 5 * static_cast<std::uint32_t>(r);
        item->depth_z = 1000.0f + 0.01f * static_cast<float>(r);
        item->depth_cur = item->depth_z - 0.5f;
        item->lag_depth = item->depth_z - 3.0f;
        item->operation = static_cast<std::uint8_t>(r % 12);
        auto values = storage.values(r);
        for (std::int32_t p = 0; p < k_params; ++p) {
            values[p] = static_cast<float>((r * 31 + p * 17) % 1000) * 0.125f;
        }
    }
    storage.text_values.set("well", "1");
    storage.write_file(path);
}

Files make_files(std::string folder) {
    Files files{folder, folder + "well.realtim", folder + "arrived.realtim", folder + "merged.realtim",
                folder + "copy.realtim"};
    write_storage(files.well, k_records, 1000);
    write_storage(files.arrived, k_arrived_records, 1000 + 5 * k_records);
    files.megabytes = static_cast<double>(std::filesystem::file_size(files.well)) / 1e6;
    return files;
}

Files& files() {
    static Files made = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "talvex-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        return make_files(pattern + "/");
    }();
    return made;
}

std::unique_ptr<char[]> read_bytes(const std::string& path, std::size_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    struct stat status {};
    fstat(fd, &status);
    size = static_cast<std::size_t>(status.st_size);
    std::unique_ptr<char[]> bytes(new char[size]);
    for (std::size_t done = 0; done < size;) {
        const auto got = ::read(fd, bytes.get() + done, size - done);
        if (got <= 0) {
            std::abort();
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return bytes;
}

void copy_file(const std::string& from, const std::string& to, bool durable) {
    std::size_t size = 0;
    const auto bytes = read_bytes(from, size);
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::size_t done = 0; done < size;) {
        const auto put = ::write(fd, bytes.get() + done, size - done);
        if (put <= 0) {
            std::abort();
        }
        done += static_cast<std::size_t>(put);
    }
    if (durable) {
        fsync(fd);
    }
    ::close(fd);
}

void merge(const Files& f) {
    FileStorage storage;
    storage.open(f.well);
    std::uint32_t largest = 0;
    for (std::int32_t i = 0; i < storage.record_count(); ++i) {
        largest = std::max(largest, storage.record(i)->time);
    }
    storage.set_time_range(largest + 2, 0xFFFFFFFF);
    storage.open(f.arrived);
    if (storage.record_count() != k_records + k_arrived_records) {
        std::abort();
    }
    storage.save(f.merged);
}

void set_rate(benchmark::State& state) {
    state.counters["MB/s"] = benchmark::Counter(files().megabytes * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

void BM_ReadBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t size = 0;
        benchmark::DoNotOptimize(read_bytes(files().well, size).get());
    }
    set_rate(state);
}

void BM_Open(benchmark::State& state) {
    for (auto _ : state) {
        FileStorage storage;
        storage.open(files().well);
        benchmark::DoNotOptimize(storage.record_count());
    }
    set_rate(state);
}

void BM_PlainCopy(benchmark::State& state) {
    for (auto _ : state) {
        copy_file(files().well, files().copy, state.range(0) != 0);
    }
    set_rate(state);
}

void BM_Merge(benchmark::State& state) {
    for (auto _ : state) {
        merge(files());
    }
    set_rate(state);
}

BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_PlainCopy)
    ->ArgName("durable")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_Merge)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Keeps each run's time per iteration for the table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            milliseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> milliseconds;
};

struct Peak {
    double resident = 0.0;  // bytes: everything resident, the mapped file's pages included
    double anonymous = 0.0; // bytes: the process's own memory, sampled every millisecond
};

// The peak memory of a process of its own that does one merge.
Peak merge_peak() {
    const auto command = "/proc/" + std::to_string(getpid()) + "/exe --merge-once " + files().folder;
    FILE* child = popen(command.c_str(), "r");
    Peak peak;
    if (child != nullptr && std::fscanf(child, "%lf %lf", &peak.resident, &peak.anonymous) == 2) {
        peak.resident *= 1024.0;
        peak.anonymous *= 1024.0;
    }
    if (child != nullptr) {
        pclose(child);
    }
    return peak;
}

// A field of /proc/self/status in kB ("VmHWM:", "RssAnon:").
long status_kilobytes(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kilobytes = 0;
    const auto length = std::strlen(field);
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0) {
            kilobytes = std::atol(line + length);
        }
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    return kilobytes;
}

// One merge; prints the peak resident and the sampled peak anonymous memory in kB.
int merge_once(const std::string& folder) {
    std::atomic<bool> done{false};
    std::atomic<long> anonymous{0};
    std::thread sampler([&] {
        while (!done) {
            anonymous = std::max(anonymous.load(), status_kilobytes("RssAnon:"));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    merge({folder, folder + "well.realtim", folder + "arrived.realtim", folder + "merged.realtim", "", 0.0});
    done = true;
    sampler.join();
    std::printf("%ld %ld\n", status_kilobytes("VmHWM:"), anonymous.load());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--merge-once") {
        return merge_once(argv[2]);
    }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& t = reporter.milliseconds;
    const auto time = [&t](const char* name) {
        const auto found = t.find(name);
        return found == t.end() ? 0.0 : found->second;
    };
    const double megabytes = files().megabytes;
    const auto rate = [megabytes](double ms) { return ms > 0 ? megabytes / (ms / 1000.0) : 0.0; };
    const double read = time("BM_ReadBytes/iterations:5/real_time");
    const double open = time("BM_Open/iterations:5/real_time");
    const double copy = time("BM_PlainCopy/durable:0/iterations:3/real_time");
    const double durable_copy = time("BM_PlainCopy/durable:1/iterations:3/real_time");
    const double merged = time("BM_Merge/iterations:3/real_time");
    const auto peak = merge_peak();

    std::printf("\nwell file: %d records x %d parameters, %.1f MB\n", k_records, k_params, megabytes);
    std::printf("%-34s %10s %9s %8s %8s\n", "step", "ms", "MB/s", "ratio", "target");
    std::printf("%-34s %10.1f %9.0f\n", "read the bytes", read, rate(read));
    std::printf("%-34s %10.1f %9.0f %8.2f %8s\n", "open", open, rate(open), open / read, "<= 3");
    std::printf("%-34s %10.1f %9.0f\n", "plain copy (read + write)", copy, rate(copy));
    std::printf("%-34s %10.1f %9.0f\n", "durable copy (read + write + fsync)", durable_copy,
                rate(durable_copy));
    std::printf("%-34s %10.1f %9.0f %8.2f %8s\n", "merge, against the plain copy", merged, rate(merged),
                merged / copy, "<= 2");
    std::printf("%-34s %10s %9s %8.2f %8s\n", "merge, against the durable copy", "", "",
                merged / durable_copy, "<= 2");
    std::printf("%-34s %10.1f %9s %8.2f %8s\n", "merge peak resident (MB), x file", peak.resident / 1e6, "",
                peak.resident / (megabytes * 1e6), "<= 1.6");
    std::printf("%-34s %10.1f %9s %8.2f\n", "  of it the program's own (MB)", peak.anonymous / 1e6, "",
                peak.anonymous / (megabytes * 1e6));
    std::filesystem::remove_all(files().folder);
    return 0;
}
