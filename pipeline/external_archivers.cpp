#include "pipeline/external_archivers.h"

#include "pipeline/state_folder.h"

#include <stdexcept>

namespace {

[[noreturn]] void not_available(const char* operation, const std::string& package) {
    throw std::runtime_error(std::string(operation) + ": 7-Zip and RAR packages cannot be unpacked yet: \"" +
                             package + "\"");
}

} // namespace

void unpack_7z_reg(const std::string& package, const std::string&) {
    not_available("unpack_7z_reg", package);
}

void unpack_compr_rt(const std::string& package, const std::string&) {
    not_available("unpack_compr_rt", package);
}

RegRARDecompr::RegRARDecompr(const std::string& package)
    : package(package), archiver(program_folder() + "7za") {}

void RegRARDecompr::extract(const std::string&) {
    not_available("RegRARDecompr::extract", package);
}

void RegRARDecompr::convert_old_file(const std::string& path) {
    not_available("RegRARDecompr::convert_old_file", path);
}
