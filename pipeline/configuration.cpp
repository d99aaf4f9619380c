#include "pipeline/configuration.h"

#include "library/encoding.h"
#include "pipeline/ini_file.h"

#include <cstdlib>

CONFIGURATION default_configuration() {
    const char* home = std::getenv("HOME");
    return CONFIGURATION{std::string(home ? home : "") + "/gtidata/", ""};
}

void load_settings(const std::string& file_name, CONFIGURATION& configuration) {
    read_ini_file(file_name, [&](const char* section, const char* name, const char* value) {
        if (!lib::cp1251_iequals(section, "options"))
            return false;
        if (lib::cp1251_iequals(name, "to_path"))
            configuration.to_path = value;
        else if (lib::cp1251_iequals(name, "from_path"))
            configuration.from_path = value;
        else
            return false;
        return true;
    });
}

std::string with_trailing_slash(std::string folder) {
    if (folder.size() >= 2 && folder.back() != '/')
        folder += '/';
    return folder;
}
