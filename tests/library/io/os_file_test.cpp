#include "library/io/os_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

using lib::io::OpenMode;
using lib::io::OSFile;
using Clock = std::chrono::steady_clock;

// Runs action, which must throw std::runtime_error with the message; returns the seconds it took.
double seconds_until_throw(const std::function<void()>& action, const std::string& message) {
    const auto start = Clock::now();
    try {
        action();
        ADD_FAILURE() << "no exception, expected \"" << message << "\"";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(error.what(), message);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(OSFile, MissingFileOrFolderFailsAtOnceWithoutRetrying) {
    TempFolder folder;
    const std::string file = folder.write("plain.bin");
    for (const std::string& path : {folder.path() + "missing.bin", folder.path() + "no/such/folder/x.bin",
                                    file + "/below-a-file.bin"}) {
        SCOPED_TRACE(path);
        OSFile os_file;
        EXPECT_LT(seconds_until_throw([&] { os_file.open(path, OpenMode::read, false); }, "Файл не найден!"),
                  0.5);
        EXPECT_EQ(os_file.handle(), -1);
    }
}

TEST(OSFile, FileThatCannotBeOpenedIsRetriedForAboutTwoSeconds) {
    TempFolder folder;
    const std::string directory = folder.make_folder("a-folder");
    OSFile file;
    const double waited = seconds_until_throw([&] { file.open(directory, OpenMode::create, false); },
                                              "Невозможно открыть файл!");
    EXPECT_GE(waited, 1.8);
    EXPECT_EQ(file.handle(), -1);
}

TEST(OSFile, CreateEmptiesAndAppendKeepsAndMovesToTheEnd) {
    TempFolder folder;
    const std::string path = folder.write("data.bin", "old content");
    {
        OSFile file;
        file.open(path, OpenMode::append, false);
        EXPECT_EQ(file.seek(0, 2), 11u);
        file.write("+tail", 5);
    }
    EXPECT_EQ(read_file(path), "old content+tail");
    {
        OSFile file;
        file.open(path, OpenMode::create, false);
        EXPECT_EQ(file.size(), 0u);
        file.write("new", 3);
    }
    EXPECT_EQ(read_file(path), "new");
    for (const OpenMode mode : {OpenMode::create, OpenMode::append}) {
        const std::string fresh = folder.path() + "fresh" + std::to_string(static_cast<int>(mode));
        OSFile file;
        file.open(fresh, mode, true);
        EXPECT_TRUE(file.locked());
        EXPECT_TRUE(std::filesystem::exists(fresh));
    }
}

TEST(OSFile, SeekCountsFromTheEndForOriginOneAndFromTheCurrentPositionForTwo) {
    TempFolder folder;
    const std::string path = folder.write("ten.bin", "0123456789");
    OSFile file;
    file.open(path, OpenMode::append, false);
    EXPECT_EQ(file.size(), 10u);
    EXPECT_EQ(file.seek(-3, 1), 7u);
    EXPECT_EQ(file.seek(-2, 2), 5u);
    EXPECT_EQ(file.seek(4, 0), 4u);
    EXPECT_EQ(file.seek(6, 9), 6u);
    file.write("ab", 2);
    EXPECT_EQ(read_file(path), "012345ab89");
}

// The lock belongs to the open file, so a second open of the same path in this process stands for
// another process exactly.
struct LockCase {
    const char* name;
    OpenMode holder;
    OpenMode contender;
};

class OSFileLock : public ::testing::TestWithParam<LockCase> {};

TEST_P(OSFileLock, HeldLockIsRetriedForAboutTwoSecondsAndTheFileKeepsItsContent) {
    TempFolder folder;
    const std::string path = folder.write("well.realtim", "records");
    OSFile holder;
    holder.open(path, GetParam().holder, true);

    OSFile contender;
    const double waited = seconds_until_throw([&] { contender.open(path, GetParam().contender, true); },
                                              "Невозможно заблокировать файл!");
    EXPECT_GE(waited, 1.8);
    EXPECT_NE(contender.handle(), -1) << "the file stays open, unlocked";
    EXPECT_FALSE(contender.locked());
    EXPECT_EQ(read_file(path), "records") << "a file in use must not be emptied";

    holder.close();
    contender.open(path, GetParam().contender, true);
    EXPECT_TRUE(contender.locked());
}

INSTANTIATE_TEST_SUITE_P(Conflicts, OSFileLock,
                         ::testing::Values(LockCase{"WriterAgainstWriter", OpenMode::append,
                                                    OpenMode::create},
                                           LockCase{"ReaderAgainstWriter", OpenMode::read, OpenMode::create},
                                           LockCase{"WriterAgainstReader", OpenMode::append, OpenMode::read}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OSFile, ReadersShareTheLock) {
    TempFolder folder;
    const std::string path = folder.write("well.realtim");
    OSFile first;
    OSFile second;
    first.open(path, OpenMode::read, true);
    second.open(path, OpenMode::read, true);
    EXPECT_TRUE(first.locked());
    EXPECT_TRUE(second.locked());
}

TEST(OSFile, WriteFailuresAreReported) {
    OSFile file;
    file.close(); // nothing open: does nothing
    EXPECT_EQ(file.handle(), -1);
    seconds_until_throw([&] { file.write("x", 1); }, "Попытка записи в файл с дескриптором 0xFFFFFFFF!");
    seconds_until_throw([&] { file.sync(); }, "Попытка записи в файл с дескриптором 0xFFFFFFFF!");

    file.open("/dev/full", OpenMode::append, false); // every write finds the device full
    seconds_until_throw([&] { file.write("x", 1); }, "Невозможно записать в файл!");
}

} // namespace
