// Loads any bytes as a processed-package registry file. Whatever it keeps must survive a save and a
// second load unchanged: a damaged file may lose entries but never yields a registry that writes
// something else than it holds. Inputs are capped at 1 MiB.

#include "pipeline/files_data_storage.h"
#include "tests/support/temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > k_max_input)
        return -1;
    static const TempFolder folder;
    write_file(folder / "in.bin", std::string(reinterpret_cast<const char*>(data), size));

    FilesDataStorage loaded;
    loaded.load(folder / "in.bin");
    if (!loaded.save(folder / "out.bin"))
        std::abort();
    FilesDataStorage reloaded;
    reloaded.load(folder / "out.bin");
    if (!same_entries(loaded, reloaded))
        std::abort();
    return 0;
}
