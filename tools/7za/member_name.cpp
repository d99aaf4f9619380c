#include "tools/7za/member_name.h"

std::optional<std::string> member_file_name(std::string_view stored_name) {
    const auto last_separator = stored_name.find_last_of("/\\");
    const auto name =
        last_separator == std::string_view::npos ? stored_name : stored_name.substr(last_separator + 1);
    if (name.empty() || name == "." || name == "..")
        return std::nullopt;
    return std::string(name);
}
