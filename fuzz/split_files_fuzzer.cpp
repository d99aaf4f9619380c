// Cuts any bytes into the eight split column files of one realtime file and loads them. The pieces
// are separated by the marker below, in the order .params, .values, .text, .time, .depth_z,
// .depth_cur, .lag_depth, .operation; pieces past the last marker are missing. Damage must end in
// an exception of the runtime_error family, never in a crash, a read or write outside a buffer or
// an allocation the input does not back. Inputs are capped at 256 KiB.

#include "realtime/file_storage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t k_max_input = 256 * 1024;
constexpr std::string_view k_marker = "\n--piece--\n";
constexpr std::array<std::string_view, 8> k_suffixes = {".params",  ".values",    ".text",      ".time",
                                                        ".depth_z", ".depth_cur", ".lag_depth", ".operation"};

// A folder of its own for the run, removed at exit; in memory where the system has such a folder,
// since every input writes eight files.
struct WorkFolder {
    WorkFolder() {
        const std::filesystem::path memory = "/dev/shm";
        const std::filesystem::path parent =
            std::filesystem::is_directory(memory) ? memory : std::filesystem::temp_directory_path();
        std::string pattern = (parent / "talvex-split-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        base = pattern + "/x.realtim";
    }
    ~WorkFolder() { std::filesystem::remove_all(std::filesystem::path(base).parent_path()); }
    std::string base;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > k_max_input) {
        return -1;
    }
    static const WorkFolder work;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    bool present = true;
    for (std::string_view suffix : k_suffixes) {
        const std::string path = work.base + std::string(suffix);
        if (!present) {
            std::filesystem::remove(path);
            continue;
        }
        const std::size_t end = rest.find(k_marker);
        const std::string_view piece = rest.substr(0, end);
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(piece.data(), static_cast<std::streamsize>(piece.size()));
        present = end != std::string_view::npos;
        rest = present ? rest.substr(end + k_marker.size()) : std::string_view();
    }
    FileStorage storage;
    try {
        storage.load_split_files(work.base);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
