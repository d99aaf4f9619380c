#include "library/io/input_mapped_file.h"
#include "library/io/os_file.h"
#include "realtime/file_storage.h"
#include "tests/support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes every file write of this process fail beyond limit bytes of a file, as a full disk does,
// until it goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved);
        previous_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous_handler);
    }

private:
    rlimit saved{};
    void (*previous_handler)(int) = nullptr;
};

class WriteFile : public testing::Test {
protected:
    void SetUp() override {
        storage.add_param({{"", "", ""}, "gas", 0.0f, 100.0f});
        storage.add_param({{"", "", ""}, "depth", 0.0f, 100.0f});
        for (std::uint32_t time = 0; time < 20000; ++time) {
            storage.values(storage.add_record({time, 1.0f, 2.0f, 3.0f, 4, {}}))[1] = static_cast<float>(time);
        }
        target = folder.write("well.realtim", old_content);
    }

    void expect_old_file_only() {
        EXPECT_EQ(read_file(target), old_content);
        EXPECT_FALSE(std::filesystem::exists(folder.path() + ".well.realtim.tmp"));
    }

    TempFolder folder;
    FileStorage storage;
    std::string target;
    const std::string old_content = "the well's file as it was";
};

TEST_F(WriteFile, ReplacesFileKeepingItsPermissions) {
    chmod(target.c_str(), 0640);
    storage.write_file(target);

    FileStorage read;
    read.open(target);
    EXPECT_EQ(read.record_count(), 20000);
    struct stat status {};
    stat(target.c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "a file was left";
}

TEST_F(WriteFile, FailedWriteLeavesOldFileAndRaisesStreamError) {
    try {
        const FileSizeLimit limit(150000); // the file needs about 600000 bytes
        storage.write_file(target);
        FAIL() << "the write past the limit succeeded";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Невозможно записать в файл!");
    }
    expect_old_file_only();
}

TEST_F(WriteFile, TemporaryFileThatCannotBeMadeLeavesOldFile) {
    // A folder in the way of the temporary file refuses it whoever runs the test.
    std::filesystem::create_directory(folder.path() + ".well.realtim.tmp");
    EXPECT_THROW(storage.write_file(target), std::runtime_error);
    EXPECT_EQ(read_file(target), old_content);
}

TEST_F(WriteFile, ReadOnlyFolderLeavesOldFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root; TemporaryFileThatCannotBeMadeLeavesOldFile covers it";
    }
    chmod(folder.path().c_str(), 0555);
    EXPECT_THROW(storage.write_file(target), std::runtime_error);
    chmod(folder.path().c_str(), 0755);
    expect_old_file_only();
}

TEST_F(WriteFile, FailedWriteOfNewFileLeavesNoFile) {
    const auto fresh = folder.path() + "fresh.realtim";
    std::filesystem::create_directory(folder.path() + ".fresh.realtim.tmp");
    EXPECT_THROW(storage.write_file(fresh), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST_F(WriteFile, WaitsForNoReaderUnlessFolderHasNoLockingMarker) {
    lib::io::InputMappedFile reader;
    reader.open(target, true);
    try {
        storage.write_file(target);
        FAIL() << "the file was written while a reader held it";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Невозможно заблокировать файл!");
    }
    expect_old_file_only();

    folder.write(".nolocking", "");
    storage.write_file(target);
    reader.close();
    FileStorage read;
    read.open(target);
    EXPECT_EQ(read.record_count(), 20000);
}

} // namespace
