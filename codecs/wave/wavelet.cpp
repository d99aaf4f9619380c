#include "codecs/wave/wavelet.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <string>

namespace wave {

namespace {

// Outputs are accumulated in blocks that stay in the first-level cache while every tap is added.
constexpr std::size_t k_block = 512;

// acc[j] += source[(j - k) mod half] * tap for j in [begin, end), with the periodic wrap for j < k.
// Each output receives its terms in the order the taps are handed in, so the rounding does not
// depend on the blocking.
void add_tap(double* acc, const double* source, std::size_t half, std::size_t k, double tap,
             std::size_t begin, std::size_t end) {
    const std::size_t shift = k % half;
    std::size_t j = begin;
    for (; j < end && j < shift; ++j) {
        acc[j - begin] += source[j + half - shift] * tap;
    }
    const double* shifted = source + (j - shift);
    double* out = acc + (j - begin);
    for (std::size_t count = end - j, i = 0; i < count; ++i) {
        out[i] += shifted[i] * tap;
    }
}

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

// One synthesis step: input holds `level` values, approximations then details, each half long;
// output receives `level` samples. Output i = 2j + parity sums approximation[(j - k) mod half] *
// h[parity + 2k] over k, then detail[(j - k) mod half] * g[parity + 2k], and is scaled by sqrt(2).
void wavelet::synthesize(const double* input, double* output, std::size_t level) const {
    const std::size_t half = level / 2;
    const std::size_t taps = h.size() / 2;
    const double sqrt2 = std::sqrt(2.0);
    double acc[k_block];
    for (std::size_t parity = 0; parity < 2; ++parity) {
        for (std::size_t begin = 0; begin < half; begin += k_block) {
            const std::size_t end = std::min(half, begin + k_block);
            std::fill(acc, acc + (end - begin), 0.0);
            for (std::size_t k = 0; k < taps; ++k) {
                add_tap(acc, input, half, k, h[parity + 2 * k], begin, end);
            }
            for (std::size_t k = 0; k < taps; ++k) {
                add_tap(acc, input + half, half, k, g[parity + 2 * k], begin, end);
            }
            for (std::size_t j = begin; j < end; ++j) {
                output[2 * j + parity] = acc[j - begin] * sqrt2;
            }
        }
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
