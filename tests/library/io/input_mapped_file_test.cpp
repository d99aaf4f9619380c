#include "library/io/input_mapped_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using lib::io::InputMappedFile;

void expect_read_eof(InputMappedFile& in, std::uint32_t count) {
    char bytes[16];
    try {
        in.read(bytes, count);
        ADD_FAILURE() << "read of " << count << " at " << in.tell() << " did not throw";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "InputMappedFile::read: eof");
    }
}

TEST(InputMappedFile, EmptyFileCannotBeMapped) {
    TempFolder folder;
    InputMappedFile in;
    try {
        in.open(folder.write("empty.realtim", ""), true);
        FAIL() << "an empty file was mapped";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "InputMappedFile::open: (h_file_mapping == NULL)");
    }
    expect_read_eof(in, 1);
}

TEST(InputMappedFile, MissingFileIsNotFound) {
    TempFolder folder;
    InputMappedFile in;
    try {
        in.open(folder.path() + "missing.realtim", true);
        FAIL() << "a missing file was opened";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Файл не найден!");
    }
}

TEST(InputMappedFile, ReadingTheLastBytesReachesTheEndAndOneMoreThrowsWithoutMoving) {
    TempFolder folder;
    InputMappedFile in;
    in.open(folder.write("six.realtim", "abcdef"), true);
    std::uint32_t first = 0;
    in >> first;
    EXPECT_EQ(first, 0x64636261u);
    EXPECT_FALSE(in.eof());
    expect_read_eof(in, 3);
    EXPECT_EQ(in.tell(), 4);
    char last[2];
    EXPECT_EQ(in.read(last, 2), 2u);
    EXPECT_EQ(std::string(last, 2), "ef");
    EXPECT_TRUE(in.eof());
    expect_read_eof(in, 1);
}

TEST(InputMappedFile, SeekMovesFreelyAndOnlyReadsChecktheBounds) {
    TempFolder folder;
    InputMappedFile in;
    in.open(folder.write("ten.realtim", "0123456789"), false);
    struct Move {
        std::int32_t distance;
        std::int32_t origin;
        std::int32_t position;
    };
    for (const Move move :
         {Move{3, 0, 3}, Move{-2, 1, 8}, Move{-5, 2, 3}, Move{7, 9, 3}, Move{20, 0, 20}, Move{-1, 0, -1}}) {
        in.seek(move.distance, move.origin);
        EXPECT_EQ(in.tell(), move.position) << move.distance << " from " << move.origin;
    }
    expect_read_eof(in, 1); // before the start
    in.seek(4, 0);
    in.skip(100);
    EXPECT_TRUE(in.eof());
    expect_read_eof(in, 1);
    in.seek(9, 0);
    EXPECT_EQ(lib::io::read_byte(in), '9');
}

TEST(InputMappedFile, ReopenAndCloseReleaseTheFile) {
    TempFolder folder;
    const std::string first = folder.write("first.realtim", "1");
    InputMappedFile in;
    in.open(first, true);
    in.open(folder.write("second.realtim", "2"), true);
    EXPECT_EQ(lib::io::read_byte(in), '2');
    lib::io::OSFile writer;
    writer.open(first, lib::io::OpenMode::append, true); // would wait 2 s and throw if still locked
    writer.close();
    in.close();
    writer.open(folder.path() + "second.realtim", lib::io::OpenMode::append, true);
    EXPECT_TRUE(writer.locked());
}

// Letting go of the pages already read must not change what a later read of them gives.
TEST(InputMappedFile, ReleasedPagesReadTheSameAgain) {
    TempFolder folder;
    std::string bytes(5 * 4096 + 123, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    }
    InputMappedFile in;
    in.open(folder.write("well.realtim", bytes), true);
    std::string first(bytes.size(), '\0');
    in.read(first.data(), 3 * 4096 + 5);
    in.release_read_pages();
    in.read(first.data() + 3 * 4096 + 5, static_cast<std::uint32_t>(bytes.size() - (3 * 4096 + 5)));
    in.release_read_pages();
    EXPECT_EQ(first, bytes);
    in.seek(0, 0);
    std::string again(bytes.size(), '\0');
    in.read(again.data(), static_cast<std::uint32_t>(again.size()));
    EXPECT_EQ(again, bytes);
}

} // namespace
