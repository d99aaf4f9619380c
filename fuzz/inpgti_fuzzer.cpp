// Reads any bytes as the well description "inpgti.ini" of a package. The area and the well it
// gives become folder names under the data folder, so they must always be one safe name each: not
// empty, not "." or "..", without '/', '\' or NUL. Inputs are capped at 64 KiB.

#include "pipeline/well_description.h"
#include "tests/support/temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t k_max_input = 64 * 1024;

bool safe(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > k_max_input)
        return -1;
    static const TempFolder folder;
    const std::string path = folder / "inpgti.ini";
    write_file(path, std::string(reinterpret_cast<const char*>(data), size));
    const auto description = read_well_description(path);
    if (!safe(description.area) || !safe(description.well))
        std::abort();
    return 0;
}
