#include "library/wildcard.h"

#include "library/encoding.h"

#include <string>

namespace lib {

namespace {

bool is_continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Past the one character (a whole UTF-8 sequence) that starts at pos.
std::size_t next_character(std::string_view text, std::size_t pos) {
    ++pos;
    while (pos < text.size() && is_continuation(text[pos]))
        ++pos;
    return pos;
}

// Greedy matching with one backtracking point: the last '*' seen takes one more character
// whenever the rest fails to match.
bool glob(std::string_view name, std::string_view mask) {
    std::size_t n = 0, m = 0;
    std::size_t star = std::string_view::npos, star_name = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            star = ++m;
            star_name = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n = next_character(name, n);
        } else if (m < mask.size() && mask[m] == name[n]) {
            ++m;
            ++n;
        } else if (star != std::string_view::npos) {
            m = star;
            n = star_name = next_character(name, star_name);
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

bool matches_mask(std::string_view name, std::string_view mask) {
    const std::string lower_name = utf8_lower(name);
    const std::string lower_mask = utf8_lower(mask);
    if (glob(lower_name, lower_mask))
        return true;
    // A final ".*" may also match nothing, so "*.*" finds "README" and "a.*" finds "a".
    const std::string_view view = lower_mask;
    return view.ends_with(".*") && glob(lower_name, view.substr(0, view.size() - 2));
}

} // namespace lib
