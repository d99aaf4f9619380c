#include "library/io/os_file.h"
#include "library/io/output_file_stream.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using lib::io::BinaryOutputFileStream;

TEST(BinaryOutputFileStream, BufferReachesTheFileOnlyOnceItHoldsMoreThan131072Bytes) {
    TempFolder folder;
    const std::string path = folder.path() + "out.realtim";
    BinaryOutputFileStream out;
    out.open(path, false, true);
    const std::string block(1024, 'r');
    for (int i = 0; i < 128; ++i) {
        out.write(block.data(), 1024);
    }
    EXPECT_EQ(std::filesystem::file_size(path), 0u) << "131072 bytes stay in the buffer";
    out.write("!", 1);
    EXPECT_EQ(std::filesystem::file_size(path), 131073u) << "one more byte writes them all at once";
    out.write("tail", 4);
    EXPECT_EQ(std::filesystem::file_size(path), 131073u);
    out.close();
    const std::string written = read_file(path);
    EXPECT_EQ(written.size(), 131077u);
    EXPECT_EQ(written.substr(131071), "r!tail");
}

TEST(BinaryOutputFileStream, AppendKeepsTheContentAndCreateReplacesIt) {
    TempFolder folder;
    const std::string path = folder.write("out.bin", "old");
    BinaryOutputFileStream out;
    out.open(path, true, false);
    out.write("+new", 4);
    out.sync();
    EXPECT_EQ(read_file(path), "old+new");
    out.open(path, false, false); // a second open closes the first file
    out.write("only", 4);
    out.close();
    EXPECT_EQ(read_file(path), "only");
}

TEST(BinaryOutputFileStream, BytesWrittenWithoutAFileAreDroppedAtTheNextFlush) {
    TempFolder folder;
    const std::string path = folder.path() + "out.bin";
    BinaryOutputFileStream out;
    out.write("lost", 4);
    out.flush();
    out.open(path, false, false);
    out.write("kept", 4);
    out.close();
    EXPECT_EQ(read_file(path), "kept");
}

TEST(BinaryOutputFileStream, CloseReleasesTheLock) {
    TempFolder folder;
    const std::string path = folder.path() + "out.realtim";
    BinaryOutputFileStream out;
    out.open(path, false, true);
    out.write("x", 1);
    out.close();
    lib::io::OSFile other;
    other.open(path, lib::io::OpenMode::append, true); // would wait 2 s and throw if still locked
    EXPECT_TRUE(other.locked());
}

TEST(BinaryOutputFileStream, FailedFlushIsReportedOnceAndNotRepeatedByClose) {
    BinaryOutputFileStream out;
    out.open("/dev/full", true, false);
    out.write("x", 1);
    EXPECT_THROW(out.flush(), std::runtime_error);
    EXPECT_NO_THROW(out.close()) << "the failed bytes were already reported";
}

} // namespace
