// Unpacks any bytes as an rzip package into a temporary folder, emptied after every input.
// Damage must end in an exception of the runtime_error family, never in a crash or a read or write
// outside a buffer. Inputs are capped at 64 KiB, which bounds what one entry may inflate to.

#include "codecs/rzip/decompression.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t k_max_input = 64 * 1024;

// A folder of its own for the run, removed at exit.
struct WorkFolder {
    WorkFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "talvex-rzip-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path = pattern + "/";
    }
    ~WorkFolder() { std::filesystem::remove_all(path); }
    std::string path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > k_max_input)
        return -1;
    static const WorkFolder work;
    const std::string package = work.path + "package.zreg";
    const std::string out = work.path + "out/";
    std::ofstream(package, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        rzip::Decompression(package).extract_all_files(out);
    } catch (const std::runtime_error&) {
    }
    std::filesystem::remove_all(out);
    return 0;
}
