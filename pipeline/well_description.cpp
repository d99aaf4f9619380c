#include "pipeline/well_description.h"

#include "library/encoding.h"
#include "pipeline/ini_file.h"

#include <algorithm>
#include <string_view>

namespace {

// The raw values of the four keys, in the file's Windows-1251; the first occurrence of each holds,
// as the Windows profile functions read it.
struct RawValues {
    std::string well, area, hole, field;
    bool has_well = false, has_area = false, has_hole = false, has_field = false;
};

bool iequals_utf8(const char* cp1251_text, std::string_view utf8_text) {
    return lib::cp1251_iequals(cp1251_text, lib::utf8_to_cp1251(utf8_text));
}

bool take_first(std::string& target, bool& taken, const char* value) {
    if (taken)
        return false;
    target = value;
    taken = true;
    return true;
}

bool take_value(RawValues& raw, const char* section, const char* name, const char* value) {
    if (iequals_utf8(section, "скважина")) {
        if (iequals_utf8(name, "номер"))
            return take_first(raw.well, raw.has_well, value);
        if (iequals_utf8(name, "площадь"))
            return take_first(raw.area, raw.has_area, value);
    } else if (lib::cp1251_iequals(section, "pore")) {
        if (lib::cp1251_iequals(name, "hole"))
            return take_first(raw.hole, raw.has_hole, value);
        if (lib::cp1251_iequals(name, "field"))
            return take_first(raw.field, raw.has_field, value);
    }
    return false;
}

// Blanks and control characters are the bytes up to 0x20.
std::string trimmed(const std::string& text) {
    const auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    const auto first = std::find_if_not(text.begin(), text.end(), is_blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), is_blank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string choose(const std::string& first_choice, const std::string& second_choice) {
    auto value = trimmed(first_choice);
    if (value.empty())
        value = trimmed(second_choice);
    return safe_folder_name(lib::cp1251_to_utf8(value));
}

} // namespace

WellDescription read_well_description(const std::string& ini_path) {
    RawValues raw;
    read_ini_file(ini_path, [&raw](const char* section, const char* name, const char* value) {
        return take_value(raw, section, name, value);
    });
    return WellDescription{choose(raw.area, raw.field), choose(raw.well, raw.hole)};
}

std::string safe_folder_name(std::string name) {
    if (name.empty() || name == "." || name == "..")
        return "undefined";
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '/' || c == '\\' || c == '\0'; }, '_');
    return name;
}
