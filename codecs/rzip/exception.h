#pragma once

#include <stdexcept>

namespace rzip {

// A package that cannot be unpacked: damaged, truncated, or not an rzip container at all.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace rzip
