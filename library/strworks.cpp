#include "library/strworks.h"

#include <limits>

namespace lib {

namespace {

bool is_blank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Lines of a text broken at CR, LF or CR LF; a break at the very end adds no empty line.
void append_lines(std::vector<std::string>& lines, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        lines.emplace_back(text.substr(pos, end - pos));
        if (end == std::string_view::npos)
            break;
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

// Tokens at blanks; a token that starts with a double quote runs to the next one, or to the end.
void append_quoted_tokens(std::vector<std::string>& tokens, std::string_view text) {
    while (true) {
        text = trim(text);
        std::size_t end;
        if (text.front() == '"') {
            end = text.find('"', 1);
            tokens.emplace_back(text.substr(1, end == std::string_view::npos ? end : end - 1));
        } else {
            end = text.find(' ');
            tokens.emplace_back(text.substr(0, end));
        }
        if (end == std::string_view::npos || end + 1 >= text.size())
            return;
        text.remove_prefix(end + 1);
    }
}

int digit_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

} // namespace

StrCharCvt::StrCharCvt(std::string_view text) : buffer(text.begin(), text.end()) {
    buffer.push_back('\0');
}

void StringContainer::split(std::string_view text, char separator) {
    tokens.clear();
    next = 0;
    text = trim(text);
    if (text.empty())
        return;
    if (separator == ' ') {
        append_quoted_tokens(tokens, text);
        return;
    }
    std::string lines;
    for (char c : text) {
        if (c == separator)
            lines += "\r\n";
        else
            lines += c;
    }
    append_lines(tokens, lines);
}

std::string StringContainer::get(std::int32_t index) {
    if (index == -1)
        index = next++;
    return index >= 0 && index < count() ? tokens[index] : std::string();
}

std::string word(const char* text) {
    if (text == nullptr)
        return {};
    StringContainer tokens;
    tokens.split(text, ' ');
    return tokens.get(2);
}

std::int32_t string_to_int(std::string_view text, std::int32_t fallback) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    int base = 10;
    if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return fallback;
    std::int64_t value = 0;
    for (char c : text) {
        const int digit = digit_value(c);
        if (digit >= base)
            return fallback;
        value = value * base + digit;
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return fallback;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return fallback;
    return static_cast<std::int32_t>(value);
}

} // namespace lib
