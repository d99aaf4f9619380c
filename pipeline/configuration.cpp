#include "pipeline/configuration.h"

#include "library/encoding.h"

#include <cstdlib>
#include <ini.h>

CONFIGURATION default_configuration() {
    const char* home = std::getenv("HOME");
    return CONFIGURATION{std::string(home ? home : "") + "/gtidata/", ""};
}

namespace {

int take_option(void* user, const char* section, const char* name, const char* value) {
    if (!lib::cp1251_iequals(section, "options"))
        return 1;
    auto& configuration = *static_cast<CONFIGURATION*>(user);
    if (lib::cp1251_iequals(name, "to_path"))
        configuration.to_path = value;
    else if (lib::cp1251_iequals(name, "from_path"))
        configuration.from_path = value;
    return 1;
}

} // namespace

void load_settings(const std::string& file_name, CONFIGURATION& configuration) {
    ini_parse(file_name.c_str(), take_option, &configuration);
}

std::string with_trailing_slash(std::string folder) {
    if (folder.size() >= 2 && folder.back() != '/')
        folder += '/';
    return folder;
}
