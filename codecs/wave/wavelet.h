#pragma once

#include "codecs/wave/float_vector.h"

#include <cstddef>
#include <cstdint>

namespace wave {

// Multi-level inverse discrete wavelet transform with an orthonormal filter pair and periodic
// boundaries. The coarsest level always holds 64 values (32 approximations, 32 details); each finer
// level doubles, so a coefficient vector has 64 * 2^m values, coarsest first.
class wavelet {
public:
    // h becomes a copy of the taps; g is its quadrature mirror, g[k] = (-1)^k * h[T-1-k].
    void set_filter(const double* coefficients, std::int32_t count);

    // samples receives as many reconstructed values as there are coefficients.
    // Throws std::invalid_argument for a length that is not 64 * 2^m: such a vector has no level
    // structure, and the synthesis would run past its ends.
    void inverse(const float_vector& coefficients, float_vector& samples) const;

    // True for the lengths inverse accepts.
    static bool valid_length(std::size_t count);

    const float_vector& low_pass() const { return h; }
    const float_vector& high_pass() const { return g; }

    static constexpr std::size_t k_coarsest_level = 64;

private:
    void synthesize(const double* input, double* output, std::size_t level) const;

    float_vector h;
    float_vector g;
};

} // namespace wave
