#include "codecs/wave/wavelet.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <string>

namespace wave {

namespace {

// Outputs computed together in the inner loop, kept in registers while every tap is added.
constexpr std::size_t k_block = 8;

} // namespace

void wavelet::set_filter(const double* coefficients, std::int32_t count) {
    h.assign(coefficients, coefficients + std::max<std::int32_t>(count, 0));
    g = h;
    for (std::size_t k = 0; k < g.size(); k += 2) {
        g[k] = -g[k];
    }
    std::reverse(g.begin(), g.end());
}

bool wavelet::valid_length(std::size_t count) {
    return count >= k_coarsest_level && count % k_coarsest_level == 0 &&
           std::has_single_bit(count / k_coarsest_level);
}

// One synthesis step: input holds `level` values, approximations a then details d, each half long;
// output receives `level` samples. Sample 2j + p is sqrt(2) times the sum of a[(j - k) mod half] *
// h[p + 2k] over k, then of d[(j - k) mod half] * g[p + 2k], added in exactly that order.
void wavelet::synthesize(const double* input, double* output, std::size_t level) const {
    const std::size_t half = level / 2;
    const std::size_t taps = h.size() / 2;
    const double* a = input;
    const double* d = input + half;
    const double sqrt2 = std::sqrt(2.0);

    // Outputs whose filter reaches back past the start of the level wrap around to its end.
    const auto wrapping_pair = [&](std::size_t j) {
        double even = 0.0;
        double odd = 0.0;
        for (std::size_t k = 0; k < taps; ++k) {
            const double x = a[(j + half - k % half) % half];
            even += x * h[2 * k];
            odd += x * h[2 * k + 1];
        }
        for (std::size_t k = 0; k < taps; ++k) {
            const double x = d[(j + half - k % half) % half];
            even += x * g[2 * k];
            odd += x * g[2 * k + 1];
        }
        output[2 * j] = even * sqrt2;
        output[2 * j + 1] = odd * sqrt2;
    };

    std::size_t j = 0;
    for (; j < std::min(half, taps); ++j) {
        wrapping_pair(j);
    }
    // The even and odd samples of a block share every coefficient they read.
    for (; j + k_block <= half; j += k_block) {
        double even[k_block] = {};
        double odd[k_block] = {};
        for (std::size_t k = 0; k < taps; ++k) {
            const double* x = a + j - k;
            const double he = h[2 * k];
            const double ho = h[2 * k + 1];
            for (std::size_t t = 0; t < k_block; ++t) {
                even[t] += x[t] * he;
                odd[t] += x[t] * ho;
            }
        }
        for (std::size_t k = 0; k < taps; ++k) {
            const double* x = d + j - k;
            const double ge = g[2 * k];
            const double go = g[2 * k + 1];
            for (std::size_t t = 0; t < k_block; ++t) {
                even[t] += x[t] * ge;
                odd[t] += x[t] * go;
            }
        }
        for (std::size_t t = 0; t < k_block; ++t) {
            output[2 * (j + t)] = even[t] * sqrt2;
            output[2 * (j + t) + 1] = odd[t] * sqrt2;
        }
    }
    for (; j < half; ++j) {
        wrapping_pair(j);
    }
}

void wavelet::inverse(const float_vector& coefficients, float_vector& samples) const {
    const std::size_t n = coefficients.size();
    if (!valid_length(n)) {
        throw std::invalid_argument("wavelet::inverse: " + std::to_string(n) +
                                    " coefficients are not 64 * 2^m");
    }
    float_vector work(coefficients);
    samples.resize(n);
    for (std::size_t level = k_coarsest_level;; level *= 2) {
        synthesize(work.data(), samples.data(), level);
        if (level >= n) {
            break;
        }
        std::copy_n(samples.begin(), level, work.begin());
    }
}

} // namespace wave
