// Unpacks any bytes as an rzip package into a temporary folder, emptied after every input.
// Damage must end in an exception of the runtime_error family, never in a crash or a read or write
// outside a buffer. Inputs are capped at 64 KiB, which bounds what one entry may inflate to.

#include "codecs/rzip/decompression.h"
#include "tests/support/temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t k_max_input = 64 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > k_max_input)
        return -1;
    static const TempFolder work;
    const std::string package = work / "package.zreg";
    const std::string out = work / "out/";
    write_file(package, std::string(reinterpret_cast<const char*>(data), size));
    try {
        rzip::Decompression(package).extract_all_files(out);
    } catch (const std::runtime_error&) {
    }
    std::filesystem::remove_all(out);
    return 0;
}
