#include "pipeline/configuration.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(Configuration, ReadsOptionsInAnyCaseAndKeepsDefaultsForWhatIsMissing) {
    TempFolder folder;
    write_file(folder / "talvex2.ini", "[RecMainForm]\nto_path=/wrong/\n[Options]\nFROM_PATH=/data/in/\n");
    CONFIGURATION configuration{"/home/u/gtidata/", ""};
    load_settings(folder / "talvex2.ini", configuration);
    EXPECT_EQ(configuration.to_path, "/home/u/gtidata/");
    EXPECT_EQ(configuration.from_path, "/data/in/");

    load_settings(folder / "missing.ini", configuration);
    EXPECT_EQ(configuration.from_path, "/data/in/");
}

TEST(Configuration, TrailingSlashOnlyForFoldersOfTwoOrMoreCharacters) {
    EXPECT_EQ(with_trailing_slash("/in"), "/in/");
    EXPECT_EQ(with_trailing_slash("/in/"), "/in/");
    EXPECT_EQ(with_trailing_slash("D"), "D");
    EXPECT_EQ(with_trailing_slash(""), "");
}

} // namespace
