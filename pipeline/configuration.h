#pragma once

// The program's two folder settings and their settings file ("talvex2.ini", section "options").
// Both folders are prefixes ending with '/', to which names and masks are appended directly.

#include <string>

struct CONFIGURATION {
    std::string to_path;   // data folder: one folder per area, each with one folder per well
    std::string from_path; // input folder: where the packages arrive
};

// The defaults: the data folder "gtidata/" in the user's home folder, no input folder.
CONFIGURATION default_configuration();

// Reads "to_path" and "from_path" of section "options" (names in any letter case); a missing file
// or key leaves the field as it is. Values are taken as stored. Throws std::runtime_error naming the
// file when one of them is on a line too long to be read whole.
void load_settings(const std::string& file_name, CONFIGURATION& configuration);

// A folder as the settings keep it: with a trailing '/' appended when it has at least 2 characters
// and lacks one.
std::string with_trailing_slash(std::string folder);
