// Unpacking an rzip package against the least any unpacker must do: zlib's uncompress of each entry
// from memory and one write of the result, on the same entries in the same run. Prints the ratio
// of the two times; the reader should stay within 1.2 of the baseline.

#include "bench/zlib_baseline.h"
#include "codecs/rzip/decompression.h"
#include "tests/support/rzip_writer.h"
#include "tests/support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int k_entries = 40;
constexpr std::size_t k_entry_size = 2500000; // 100 MB unpacked, about 50 MB packed

// Half noise, half runs: compresses to about half, as station files do.
std::string entry_content(std::mt19937& random) {
    std::string content(k_entry_size, '\0');
    for (std::size_t i = 0; i < content.size(); i += 64) {
        const char fill = static_cast<char>(random());
        for (std::size_t j = i; j < std::min(i + 64, content.size()); ++j)
            content[j] = (j - i) < 32 ? static_cast<char>(random()) : fill;
    }
    return content;
}

struct Package {
    Package() {
        std::mt19937 random(2024);
        std::vector<test_support::RzipEntry> entries;
        for (int i = 0; i < k_entries; ++i)
            entries.push_back({"file" + std::to_string(i) + ".bin", entry_content(random)});
        test_support::write_rzip_package(path(), entries);
        for (const auto& entry : entries)
            packed_entries.push_back({entry.name, deflated(entry.content)});
        package_size = std::filesystem::file_size(path());
    }

    std::string path() const { return folder / "package.zreg"; }

    TempFolder folder;
    std::vector<std::pair<std::string, std::string>> packed_entries;
    std::size_t package_size = 0;
};

Package& package() {
    static Package instance;
    return instance;
}

void BM_ExtractAllFiles(benchmark::State& state) {
    Package& p = package();
    for (auto _ : state) {
        rzip::Decompression reader(p.path());
        reader.extract_all_files(p.folder / "out/");
    }
    state.SetBytesProcessed(state.iterations() * k_entries * k_entry_size);
    state.counters["package_MB"] = static_cast<double>(p.package_size) / 1e6;
}

void BM_UncompressAndWrite(benchmark::State& state) {
    Package& p = package();
    std::filesystem::create_directories(p.folder / "plain/");
    std::string buffer(k_entry_size, '\0');
    for (auto _ : state) {
        for (const auto& [name, packed] : p.packed_entries) {
            const std::size_t length = inflate_into(buffer, packed);
            write_whole(p.folder / ("plain/" + name), std::string_view(buffer).substr(0, length), false);
        }
    }
    state.SetBytesProcessed(state.iterations() * k_entries * k_entry_size);
}

BENCHMARK(BM_UncompressAndWrite)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_ExtractAllFiles)->Unit(benchmark::kMillisecond)->MinTime(3);

// Keeps the time per iteration of each benchmark for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            times[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::pair<double, double>> times; // real, CPU
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto reader = reporter.times.find("BM_ExtractAllFiles/min_time:3.000");
    const auto baseline = reporter.times.find("BM_UncompressAndWrite/min_time:3.000");
    if (reader != reporter.times.end() && baseline != reporter.times.end())
        std::printf("extract_all_files / (uncompress + write): %.3f real, %.3f CPU (target: at most 1.2)\n",
                    reader->second.first / baseline->second.first,
                    reader->second.second / baseline->second.second);
    benchmark::Shutdown();
}
