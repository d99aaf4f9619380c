#include "library/mapped_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using lib::mapped_file;

std::uintmax_t size_of(const std::string& path) {
    return std::filesystem::file_size(path);
}

TEST(MappedFile, RegistryFileGrowsWhileWrittenAndIsCutToTheBytesWritten) {
    TempFolder folder;
    const std::string path = folder.path() + "TemporaryFileData.bin";
    {
        mapped_file file;
        ASSERT_TRUE(file.open(path, mapped_file::k_write, 0));
        EXPECT_EQ(size_of(path), 1u);
        EXPECT_EQ(file.write("FILESDATASTORE"), 15);
        EXPECT_EQ(size_of(path), 15u);
        EXPECT_EQ(file.write(std::int32_t{1}), 19);
        EXPECT_EQ(size_of(path), 34u) << "the count and twice the bytes held";
        EXPECT_EQ(file.write(std::int32_t{0x0A0B0C0D}), 23);
        EXPECT_EQ(size_of(path), 34u);
    }
    EXPECT_EQ(read_file(path), std::string("FILESDATASTORE\0\x01\0\0\0\x0D\x0C\x0B\x0A", 23));

    mapped_file file;
    ASSERT_TRUE(file.open(path, mapped_file::k_read, 0));
    std::string magic;
    std::int32_t version = 0;
    std::int32_t count = 0;
    file.read(magic);
    file.read(version);
    EXPECT_TRUE(file.good());
    file.read(count);
    EXPECT_EQ(magic, "FILESDATASTORE");
    EXPECT_EQ(version, 1);
    EXPECT_EQ(count, 0x0A0B0C0D);
    EXPECT_FALSE(file.good()) << "the last bytes were read";
}

TEST(MappedFile, NewFileWithNothingWrittenKeepsOneZeroByte) {
    TempFolder folder;
    const std::string path = folder.write("registry.bin", "old registry");
    { ASSERT_TRUE(mapped_file().open(path, mapped_file::k_write, 0)); }
    EXPECT_EQ(read_file(path), std::string(1, '\0'));
}

TEST(MappedFile, FileThatCannotBeMappedForReadingIsNotGood) {
    TempFolder folder;
    for (const std::string& path : {folder.path() + "missing.bin", folder.write("empty.bin", "")}) {
        mapped_file file;
        EXPECT_FALSE(file.open(path, mapped_file::k_read, 0)) << path;
        EXPECT_FALSE(file.good());
        std::int32_t value = 7;
        file.read(value);
        EXPECT_EQ(value, 7);
        EXPECT_EQ(file.write(&value, 4), -1);
    }
    mapped_file file;
    EXPECT_FALSE(file.open(folder.write("any.bin"), 2, 0));
}

TEST(MappedFile, IncompleteItemsLeaveTheirTargetsAndThePositionUnchanged) {
    TempFolder folder;
    mapped_file file;
    ASSERT_TRUE(file.open(folder.write("short.bin", std::string("ab\0xyz", 6)), mapped_file::k_read, 0));
    std::string text;
    file.read(text);
    EXPECT_EQ(text, "ab");
    std::int32_t value = -5;
    file.read(value); // 3 bytes remain
    EXPECT_EQ(value, -5);
    file.read(text); // no 0 byte before the end
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(file.read_offset(), 3u);
    EXPECT_TRUE(file.good());
}

TEST(MappedFile, SecondOpenIsRefusedAndChangesNothing) {
    TempFolder folder;
    const std::string other = folder.write("other.bin", "keep");
    mapped_file file;
    ASSERT_TRUE(file.open(folder.write("first.bin", std::string("one\0", 4)), mapped_file::k_read, 0));
    EXPECT_FALSE(file.open(other, mapped_file::k_write, 0));
    EXPECT_EQ(read_file(other), "keep");
    std::string text;
    file.read(text);
    EXPECT_EQ(text, "one");
}

TEST(MappedFile, FileOpenedForReadingRefusesWritesEvenWithinItsSize) {
    TempFolder folder;
    const std::string path = folder.write("registry.bin", "0123456789");
    {
        mapped_file file;
        ASSERT_TRUE(file.open(path, mapped_file::k_read, 100));
        EXPECT_EQ(file.write("ab"), -1);
        EXPECT_FALSE(file.resize(4));
        EXPECT_TRUE(file.good());
    }
    EXPECT_EQ(read_file(path), "0123456789");
}

} // namespace
