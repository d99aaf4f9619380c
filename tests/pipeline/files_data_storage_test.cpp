#include "pipeline/files_data_storage.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::string_literals;

std::string int32_bytes(std::int32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
    return bytes;
}

std::string registry_bytes(std::int32_t count,
                           const std::vector<std::pair<std::string, std::int32_t>>& entries,
                           const std::string& magic = "FILESDATASTORE", std::int32_t version = 1) {
    std::string bytes = magic + '\0' + int32_bytes(version) + int32_bytes(count);
    for (const auto& [key, size] : entries)
        bytes += key + '\0' + int32_bytes(size);
    return bytes;
}

std::map<std::string, std::int32_t> sizes_of(const FilesDataStorage& registry) {
    std::map<std::string, std::int32_t> sizes;
    for (const auto& [key, data] : registry.entries())
        sizes[key] = data.size;
    return sizes;
}

TEST(FilesDataStorage, SavesTwoEntriesAsThe57ByteFileInKeyOrder) {
    TempFolder folder;
    FilesDataStorage registry;
    registry.set("C:\\in\\b.zreg", FileData{-1});
    registry.set("C:\\in\\a.zreg", FileData{100});
    ASSERT_TRUE(registry.save(folder / "TemporaryFileData.bin"));

    const auto bytes = read_file(folder / "TemporaryFileData.bin");
    EXPECT_EQ(bytes.size(), 57u);
    EXPECT_EQ(bytes, registry_bytes(2, {{"C:\\in\\a.zreg", 100}, {"C:\\in\\b.zreg", -1}}));
}

TEST(FilesDataStorage, EmptyRegistryIsThe23ByteHeader) {
    TempFolder folder;
    ASSERT_TRUE(FilesDataStorage().save(folder / "r.bin"));
    EXPECT_EQ(read_file(folder / "r.bin"), registry_bytes(0, {}));
}

TEST(FilesDataStorage, OrdersKeysByUnsignedBytesAndCase) {
    TempFolder folder;
    FilesDataStorage registry;
    // "/in/Ж.zreg" starts its name with 0xD0, above every ASCII letter; upper case sorts first.
    for (const char* key : {"/in/Ж.zreg", "/in/b.zreg", "/in/B.zreg", "/in/a.zreg"})
        registry.set(key, FileData{1});
    ASSERT_TRUE(registry.save(folder / "r.bin"));
    EXPECT_EQ(
        read_file(folder / "r.bin"),
        registry_bytes(4, {{"/in/B.zreg", 1}, {"/in/a.zreg", 1}, {"/in/b.zreg", 1}, {"/in/Ж.zreg", 1}}));
}

TEST(FilesDataStorage, RoundTripReplacesFormerContent) {
    TempFolder folder;
    FilesDataStorage saved;
    saved.set("/in/a.zreg", FileData{100});
    saved.set("/IN/a.zreg", FileData{7});
    saved.set("/in/b.zreg", FileData{-1});
    ASSERT_TRUE(saved.save(folder / "r.bin"));

    FilesDataStorage loaded;
    loaded.set("/stale.zreg", FileData{5});
    loaded.load(folder / "r.bin");
    EXPECT_EQ(sizes_of(loaded), sizes_of(saved));

    FileData data{42};
    EXPECT_FALSE(loaded.find("/in/c.zreg", data));
    EXPECT_EQ(data.size, 42);
    ASSERT_TRUE(loaded.find("/in/b.zreg", data));
    EXPECT_EQ(data.size, -1);
}

TEST(FilesDataStorage, LoadKeepsWhatPrecedesDamageOrNothingOfAForeignFile) {
    const std::string two_entries = registry_bytes(2, {{"/in/a.zreg", 100}, {"/in/b.zreg", 200}});
    const std::map<std::string, std::int32_t> first_only{{"/in/a.zreg", 100}};
    const std::map<std::string, std::int32_t> both{{"/in/a.zreg", 100}, {"/in/b.zreg", 200}};
    const struct {
        const char* what;
        std::string bytes;
        std::map<std::string, std::int32_t> expected;
    } cases[] = {
        {"intact", two_entries, both},
        {"cut inside the last size", two_entries.substr(0, two_entries.size() - 1), first_only},
        {"cut after the last key", two_entries.substr(0, two_entries.size() - 4), first_only},
        {"cut inside the last key", two_entries.substr(0, two_entries.size() - 8), first_only},
        {"count larger than the entries", registry_bytes(5, {{"/in/a.zreg", 100}}), first_only},
        {"count smaller than the entries", registry_bytes(1, {{"/in/a.zreg", 100}, {"/in/b.zreg", 200}}),
         first_only},
        {"later duplicate wins", registry_bytes(2, {{"/in/a.zreg", 1}, {"/in/a.zreg", 100}}), first_only},
        {"foreign magic", registry_bytes(1, {{"/in/a.zreg", 100}}, "FILESDATASTORX"), {}},
        {"version 2", registry_bytes(1, {{"/in/a.zreg", 100}}, "FILESDATASTORE", 2), {}},
        {"magic without its 0 byte", "FILESDATASTORE"s, {}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        write_file(folder / "r.bin", c.bytes);
        FilesDataStorage registry;
        registry.set("/stale.zreg", FileData{5});
        registry.load(folder / "r.bin");
        EXPECT_EQ(sizes_of(registry), c.expected) << c.what;
    }
}

TEST(FilesDataStorage, MissingFileLoadsEmptyAndUnwritableFolderFailsToSave) {
    TempFolder folder;
    FilesDataStorage registry;
    registry.set("/stale.zreg", FileData{5});
    registry.load(folder / "missing.bin");
    EXPECT_TRUE(registry.entries().empty());
    EXPECT_FALSE(registry.save(folder / "no/such/folder/r.bin"));
}

} // namespace
