#pragma once

#include <string_view>

namespace lib {

// Whether a file name matches a mask of '*' (any run of characters) and '?' (one character),
// ignoring the case of Latin and Cyrillic letters of UTF-8 names. "*.*" matches every name, with or
// without a dot, as file masks do.
bool matches_mask(std::string_view name, std::string_view mask);

} // namespace lib
