#include "tests/support/wavelet_forward.h"

#include "codecs/wave/wavelet.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace test_support {

namespace {

// Each synthesis step is sqrt(2) times an orthogonal matrix, so one analysis step is its
// transpose divided by 2: a[m] = sum x[(2m + t) mod L] * h[t] / sqrt(2), and likewise d with g.
wave::float_vector analyse(const wave::float_vector& samples, const wave::wavelet& codec) {
    const wave::float_vector& h = codec.low_pass();
    const wave::float_vector& g = codec.high_pass();
    const double scale = 1.0 / std::sqrt(2.0);
    wave::float_vector result(samples);
    wave::float_vector level(samples.size());
    for (std::size_t length = samples.size(); length >= wave::wavelet::k_coarsest_level; length /= 2) {
        const std::size_t half = length / 2;
        for (std::size_t m = 0; m < half; ++m) {
            double a = 0.0;
            double d = 0.0;
            for (std::size_t t = 0; t < h.size(); ++t) {
                const double x = result[(2 * m + t) % length];
                a += x * h[t];
                d += x * g[t];
            }
            level[m] = a * scale;
            level[half + m] = d * scale;
        }
        std::copy_n(level.begin(), length, result.begin());
    }
    return result;
}

} // namespace

// The published filter taps are orthonormal only to about 1e-9, so the transpose alone misses the
// samples by that much; a few refinement passes against the decoder's own inverse remove the rest.
wave::float_vector wavelet_forward(std::span<const double> samples, std::span<const double> filter) {
    if (!wave::wavelet::valid_length(samples.size())) {
        throw std::invalid_argument("wavelet_forward: length is not 64 * 2^m");
    }
    wave::wavelet codec;
    codec.set_filter(filter.data(), static_cast<std::int32_t>(filter.size()));
    const wave::float_vector signal(samples.begin(), samples.end());
    wave::float_vector coefficients = analyse(signal, codec);
    wave::float_vector decoded;
    for (int pass = 0; pass < 3; ++pass) {
        codec.inverse(coefficients, decoded);
        for (std::size_t i = 0; i < signal.size(); ++i) {
            decoded[i] = signal[i] - decoded[i];
        }
        const wave::float_vector correction = analyse(decoded, codec);
        for (std::size_t i = 0; i < signal.size(); ++i) {
            coefficients[i] += correction[i];
        }
    }
    return coefficients;
}

} // namespace test_support
