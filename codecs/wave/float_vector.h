#pragma once

#include <vector>

namespace wave {

// Coefficients and samples of the wavelet codec: double precision, whatever the name says.
using float_vector = std::vector<double>;

} // namespace wave
