#pragma once

// The well description that travels inside a package: "inpgti.ini", Windows-1251 text naming the
// area and the well the package's data belongs to.

#include <string>

struct WellDescription {
    std::string area; // UTF-8, safe as one folder name
    std::string well; // UTF-8, safe as one folder name
};

// Reads the area ("скважина"/"площадь", else "pore"/"field") and the well ("скважина"/"номер", else
// "pore"/"hole"), section and key names in any letter case, values trimmed of blanks and control
// characters; a value still empty, or a missing file, gives "undefined". Throws std::runtime_error
// naming the file when one of these values is on a line too long to be read whole.
WellDescription read_well_description(const std::string& ini_path);

// A name that stays inside its parent folder: '/', '\' and NUL become '_', "." and ".." (and the
// empty name) become "undefined".
std::string safe_folder_name(std::string name);
