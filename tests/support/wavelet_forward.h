#pragma once

// Forward periodic wavelet transform, the exact counterpart of wave::wavelet::inverse: what a
// station does before it quantises a wavelet column. Test-only; the program never encodes.

#include "codecs/wave/float_vector.h"

#include <cstddef>
#include <span>

namespace test_support {

// Analyses samples (64 * 2^m values) with the filter taps into coefficients laid out coarsest
// first: 32 approximations, 32 details, then the details of each finer level. inverse() with the
// same filter gives the samples back. Throws std::invalid_argument for any other length.
wave::float_vector wavelet_forward(std::span<const double> samples, std::span<const double> filter);

} // namespace test_support
