// load_after_decompressing of 100,000 records x 64 parameters in each value encoding: how fast the
// unpacker turns a decompressed ".newcompr1" entry into records. The rate is of decoded records,
// counted as their time, three depths, operation and 64 float values each.

#include "library/io/memory_streams.h"
#include "realtime/file_storage.h"
#include "tests/support/single_stream_writer.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::size_t k_records = 100000;
constexpr std::size_t k_params = 64;

void BM_LoadAfterDecompressing(benchmark::State& state, test_support::ValueCoding coding) {
    const std::string bytes =
        test_support::single_stream(test_support::sample_columns(k_records, k_params), {coding});
    FileStorage storage;
    for (auto _ : state) {
        state.PauseTiming();
        lib::io::BinaryMemoryInputStream in;
        in.assign(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        state.ResumeTiming();
        storage.load_after_decompressing(in);
        benchmark::DoNotOptimize(storage.record_count());
    }
    const std::size_t record_bytes = 4 + 3 * 4 + 1 + k_params * 4;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * k_records * record_bytes));
    state.counters["stream_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

BENCHMARK_CAPTURE(BM_LoadAfterDecompressing, raw, test_support::ValueCoding::raw())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadAfterDecompressing, quantized, test_support::ValueCoding::quantized(2))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadAfterDecompressing, wavelet, test_support::ValueCoding::wavelet())
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
