#pragma once

// The named text values of a realtime data file (area, well, trip and the like): name=value lines
// in Windows-1251, in the order they were set. Names are compared ignoring letter case.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FileStorageTextValues {
public:
    // The lines as they are held, each without a line break.
    std::vector<std::string> lines;

    // Replaces the first line of that name by name=value, or appends one when there is none; an
    // empty value removes that line instead.
    void set(std::string_view name, std::string_view value);
    // The text after the first "=" of the first line of that name; empty when there is none. Only
    // lines holding "=" have a name.
    std::string value(std::string_view name) const;
    // The part of line index before its first "="; empty for a line without "=" or out of range.
    std::string name(std::int32_t index) const;
    std::int32_t count() const { return static_cast<std::int32_t>(lines.size()); }

    // Every line followed by CR LF.
    std::string text() const;
    // Replaces the lines by those of text, broken at CR LF, CR or LF; a break at the very end adds
    // no empty line.
    void set_text(std::string_view text);
    void clear() { lines.clear(); }

    bool operator==(const FileStorageTextValues&) const = default;
};
