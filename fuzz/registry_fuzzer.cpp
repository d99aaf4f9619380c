// Loads any bytes as a processed-package registry file. Whatever it keeps must survive a save and a
// second load unchanged: a damaged file may lose entries but never yields a registry that writes
// something else than it holds. Inputs are capped at 1 MiB.

#include "pipeline/files_data_storage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t k_max_input = 1 << 20;

bool same_entries(const FilesDataStorage& a, const FilesDataStorage& b) {
    if (a.entries().size() != b.entries().size())
        return false;
    for (auto i = a.entries().begin(), j = b.entries().begin(); i != a.entries().end(); ++i, ++j)
        if (i->first != j->first || i->second.size != j->second.size)
            return false;
    return true;
}

// A folder of its own for the run, removed at exit.
struct ScratchFolder {
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "talvex-registry-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path = pattern + "/";
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > k_max_input)
        return -1;
    static const ScratchFolder scratch;
    const std::string& folder = scratch.path;
    std::ofstream(folder + "in.bin", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    FilesDataStorage loaded;
    loaded.load(folder + "in.bin");
    if (!loaded.save(folder + "out.bin"))
        std::abort();
    FilesDataStorage reloaded;
    reloaded.load(folder + "out.bin");
    if (!same_entries(loaded, reloaded))
        std::abort();
    return 0;
}
