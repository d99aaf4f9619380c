#include "realtime/file_storage_text_values.h"

#include "library/encoding.h"

#include <algorithm>

namespace {

// The name of a line: the part before its first "="; a line without "=" has none.
std::string_view name_of(std::string_view line) {
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : line.substr(0, equals);
}

// The first line holding "=" whose name equals name ignoring case.
template <class Lines> auto find_line(Lines& lines, std::string_view name) {
    return std::find_if(lines.begin(), lines.end(), [name](std::string_view line) {
        return line.find('=') != std::string_view::npos && lib::cp1251_iequals(name_of(line), name);
    });
}

} // namespace

void FileStorageTextValues::set(std::string_view name, std::string_view value) {
    const auto line = find_line(lines, name);
    if (value.empty()) {
        if (line != lines.end()) {
            lines.erase(line);
        }
        return;
    }
    std::string text = std::string(name) + "=" + std::string(value);
    if (line != lines.end()) {
        *line = std::move(text);
    } else {
        lines.push_back(std::move(text));
    }
}

std::string FileStorageTextValues::value(std::string_view name) const {
    const auto line = find_line(lines, name);
    return line == lines.end() ? std::string() : line->substr(line->find('=') + 1);
}

std::string FileStorageTextValues::name(std::int32_t index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return std::string(name_of(lines[index]));
}

std::string FileStorageTextValues::text() const {
    std::string result;
    for (const auto& line : lines) {
        result += line;
        result += "\r\n";
    }
    return result;
}

void FileStorageTextValues::set_text(std::string_view text) {
    lines.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}
