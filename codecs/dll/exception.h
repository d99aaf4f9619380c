#pragma once

#include <stdexcept>

namespace lib::dll {

// Failure to load a shared library or to find a function in it.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace lib::dll
