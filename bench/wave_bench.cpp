// Inverse wavelet transform of 2^20 coefficients, the size of a long realtime column: time per
// sample and floating-point rate (each synthesis step of L values costs L * 30 multiply-adds).

#include "codecs/wave/coif5.h"
#include "codecs/wave/wavelet.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void BM_WaveletInverse(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    wave::float_vector coefficients(count);
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (double& c : coefficients) {
        c = value(random);
    }
    wave::wavelet codec;
    codec.set_filter(wave::k_coif5.data(), static_cast<std::int32_t>(wave::k_coif5.size()));
    wave::float_vector samples;
    for (auto _ : state) {
        codec.inverse(coefficients, samples);
        benchmark::DoNotOptimize(samples.data());
    }
    // Steps of 64, 128, ..., n values: about 2n * 30 multiply-adds, two operations each.
    double flops = 0.0;
    for (std::size_t level = wave::wavelet::k_coarsest_level; level <= count; level *= 2) {
        flops += 2.0 * static_cast<double>(level) * 30.0;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["time_per_sample"] = benchmark::Counter(
        iterations * static_cast<double>(count), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["GFLOP/s"] = benchmark::Counter(iterations * flops * 1e-9, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WaveletInverse)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
