#include "library/fileworks.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> names_of(const lib::FileFinder& finder) {
    std::vector<std::string> names;
    for (const lib::FindedFile& file : finder.files())
        names.push_back(file.name);
    return names;
}

std::vector<std::string> sorted_names(const lib::FileFinder& finder) {
    auto names = names_of(finder);
    std::sort(names.begin(), names.end());
    return names;
}

lib::FindedFile named(const char* name) {
    lib::FindedFile file;
    file.name = name;
    return file;
}

TEST(FileFinder, RecursiveSearchListsDeepestFolderFirst) {
    TempFolder root;
    root.write("A/A1/deep.zreg");
    root.write("A/A1/skip.rar");
    root.write("A/middle.ZREG");
    root.write("top.zreg");
    lib::FileFinder finder;
    finder.find(root.path() + "*.zreg", 33, true);
    ASSERT_EQ(finder.files().size(), 3u);
    EXPECT_EQ(finder.files()[0].path + finder.files()[0].name, root.path() + "A/A1/deep.zreg");
    EXPECT_EQ(finder.files()[1].path + finder.files()[1].name, root.path() + "A/middle.ZREG");
    EXPECT_EQ(finder.files()[2].path + finder.files()[2].name, root.path() + "top.zreg");

    lib::FileFinder flat;
    flat.find(root.path() + "*.zreg", 33, false);
    EXPECT_EQ(names_of(flat), std::vector<std::string>{"top.zreg"});
}

// Every kind of entry in one folder, searched with each attribute mask in use.
class AttributeMasks : public ::testing::Test {
protected:
    void SetUp() override {
        root.write("plain.txt");
        root.write(".hidden");
        chmod(root.write("ro.txt").c_str(), 0444);
        root.make_folder("sub");
        root.make_folder(".hidsub");
        mkfifo((root.path() + "pipe").c_str(), 0644);
        fs::create_symlink(root.path() + "plain.txt", root.path() + "link");
        fs::create_directory_symlink(root.path() + "sub", root.path() + "dirlink");
    }
    TempFolder root;
};

TEST_F(AttributeMasks, ListOnlyTheKindsTheMaskAllows) {
    struct Case {
        std::int32_t mask;
        std::vector<std::string> names;
    } cases[] = {
        {33, {"plain.txt", "ro.txt"}},
        {0, {"plain.txt", "ro.txt"}},
        {34, {".hidden", "plain.txt", "ro.txt"}},
        {16, {"sub"}},
        {49, {"sub"}},
        {63, {".hidsub", "sub"}},
        {lib::fa_system, {"dirlink", "link", "pipe", "plain.txt", "ro.txt"}},
    };
    for (const Case& c : cases) {
        lib::FileFinder finder;
        finder.find(root.path() + "*.*", c.mask, false);
        EXPECT_EQ(sorted_names(finder), c.names) << "mask " << c.mask;
    }
}

TEST_F(AttributeMasks, ReportsAttributesOfEachKind) {
    lib::FileFinder finder;
    finder.find(root.path() + "*", lib::fa_any_file & ~lib::fa_directory, false);
    finder.find(root.path() + "*", lib::fa_directory | lib::fa_hidden, false);
    std::map<std::string, std::int32_t> attrs;
    for (const lib::FindedFile& file : finder.files())
        attrs[file.name] = file.attr;
    EXPECT_EQ(attrs.at("plain.txt"), lib::fa_archive);
    EXPECT_EQ(attrs.at("ro.txt"), lib::fa_archive | lib::fa_read_only);
    EXPECT_EQ(attrs.at(".hidden"), lib::fa_archive | lib::fa_hidden);
    EXPECT_EQ(attrs.at("pipe"), lib::fa_system);
    EXPECT_EQ(attrs.at("link"), lib::fa_system);
    EXPECT_EQ(attrs.at("dirlink"), lib::fa_system);
    EXPECT_EQ(attrs.at("sub"), lib::fa_directory);
    EXPECT_EQ(attrs.at(".hidsub"), lib::fa_directory | lib::fa_hidden);
    EXPECT_EQ(attrs.count("."), 0u);
    EXPECT_EQ(attrs.count(".."), 0u);
}

TEST(FileFinder, RecursiveSearchNeverFollowsLinkedFolders) {
    TempFolder root, outside;
    outside.write("far.zreg");
    root.write("near.zreg");
    fs::create_directory_symlink(outside.path(), root.path() + "linked");
    lib::FileFinder finder;
    finder.find(root.path() + "*.zreg", 63 & ~lib::fa_directory, true);
    EXPECT_EQ(names_of(finder), std::vector<std::string>{"near.zreg"});
}

TEST(FileFinder, KeepsFullSizesInTotalAndLowBitsPerFile) {
    TempFolder root;
    constexpr std::uint64_t five_gib = 5ull << 30;
    const std::string big = root.write("big.bin", "");
    ASSERT_EQ(truncate(big.c_str(), five_gib), 0); // sparse: no disk space used
    root.write("small.bin", "12345");
    root.make_folder("sub");

    lib::FileFinder finder;
    finder.find(root.path() + "*.*", 0, false);
    finder.find(root.path() + "*.*", lib::fa_directory, false); // folders add nothing
    EXPECT_EQ(finder.total_size(), five_gib + 5);
    finder.find(root.path() + "*.bin", 0, false); // the same files again count again
    EXPECT_EQ(finder.total_size(), 2 * (five_gib + 5));
    for (const lib::FindedFile& file : finder.files())
        EXPECT_EQ(file.size, file.name == "big.bin"     ? 1u << 30
                             : file.name == "small.bin" ? 5u
                                                        : 0u)
            << file.name;
    EXPECT_EQ(lib::file_size(big), 1 << 30);

    finder.clear_files();
    EXPECT_EQ(finder.total_size(), 2 * (five_gib + 5));
}

TEST(FileFinder, MissingFolderFindsNothing) {
    TempFolder root;
    lib::FileFinder finder;
    finder.find(root.path() + "none/*.*", 63, true);
    EXPECT_TRUE(finder.files().empty());
    EXPECT_EQ(finder.total_size(), 0u);
}

TEST(FileFinder, RecordsLocalWriteTimePacked) {
    TempFolder root;
    const std::string name = root.write("t.bin");
    std::tm when{};
    when.tm_year = 2008 - 1900, when.tm_mon = 10, when.tm_mday = 20, when.tm_hour = 9, when.tm_min = 32;
    when.tm_sec = 52, when.tm_isdst = -1;
    const timespec times[2] = {{mktime(&when), 0}, {mktime(&when), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
    lib::FileFinder finder;
    finder.find(name, 0, false);
    ASSERT_EQ(finder.files().size(), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(finder.files()[0].time),
              (28u << 25) | (11u << 21) | (20u << 16) | (9u << 11) | (32u << 5) | 26u);
}

TEST(FileFinder, SortsByNameNumberAndTime) {
    lib::FileFinder finder;
    TempFolder root;
    for (const char* name :
         {"10.zreg", "9.zreg", "abc.zreg", "B.zreg", "\xD0\x90.zreg", " 7.zreg", "-3.zreg"})
        root.write(name);
    finder.find(root.path() + "*.zreg", 0, false);

    finder.sort(lib::by_name); // bytes compared unsigned, upper case first
    EXPECT_EQ(names_of(finder), (std::vector<std::string>{" 7.zreg", "-3.zreg", "10.zreg", "9.zreg", "B.zreg",
                                                          "abc.zreg", "\xD0\x90.zreg"}));
    const auto by_name = names_of(finder);
    finder.sort(3);
    EXPECT_EQ(names_of(finder), by_name);

    finder.sort(lib::by_number);
    const auto numbered = names_of(finder);
    EXPECT_EQ(numbered[0], "-3.zreg");
    EXPECT_EQ((std::vector<std::string>(numbered.end() - 3, numbered.end())),
              (std::vector<std::string>{" 7.zreg", "9.zreg", "10.zreg"}));
}

TEST(FileFinder, SortsByTimeAsSignedValues) {
    TempFolder root;
    std::vector<std::pair<std::string, int>> years = {{"a", 2010}, {"b", 1990}, {"c", 2100}};
    for (const auto& [name, year] : years) {
        std::tm when{};
        when.tm_year = year - 1900, when.tm_mday = 1, when.tm_isdst = -1;
        const timespec times[2] = {{mktime(&when), 0}, {mktime(&when), 0}};
        utimensat(AT_FDCWD, root.write(name).c_str(), times, 0);
    }
    lib::FileFinder finder;
    finder.find(root.path() + "*", 0, false);
    finder.sort(lib::by_time);
    // 2100 packs with the top bit set: a negative value, so it sorts first.
    EXPECT_EQ(names_of(finder), (std::vector<std::string>{"c", "b", "a"}));
}

TEST(FileNames, NameWithoutExtensionAndTrailingSlash) {
    EXPECT_EQ(lib::name_without_extension(named("a.b.c")), "a.b");
    EXPECT_EQ(lib::name_without_extension(named(".x")), "");
    EXPECT_EQ(lib::name_without_extension(named("abc")), "abc");
    struct Case {
        const char* text;
        const char* result;
    } cases[] = {{"/a/", "/a"},     {"ab/", "ab"},  {"/", "/"}, {"a/", "a/"},
                 {"abc//", "abc/"}, {"abc", "abc"}, {"", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(lib::exclude_trailing_backslash(c.text), c.result) << c.text;
}

TEST(FileNames, LowerExtensionComesFromTheNameNotItsFolder) {
    const struct {
        const char* path;
        const char* extension;
    } cases[] = {
        {"in/P1.ZREG", ".zreg"}, {"a.b/c", ""},          {"a.b/c.Tim", ".tim"}, {"x.tar.GZ", ".gz"},
        {"noext", ""},           {".hidden", ".hidden"}, {"dir/", ""},          {"in/1.realtim", ".realtim"}};
    for (const auto& c : cases)
        EXPECT_EQ(lib::lower_extension(c.path), c.extension) << c.path;
}

TEST(FileNames, FileSizeOfPlainFilesOnly) {
    TempFolder root;
    root.write("five.bin", "12345");
    root.write(".hidden", "123");
    root.write("a*.bin", "1"); // a name that looks like a mask
    root.write("ab.bin", "12");
    root.make_folder("folder");
    fs::create_symlink(root.path() + "five.bin", root.path() + "link");
    struct Case {
        const char* name;
        std::int32_t size;
    } cases[] = {{"five.bin", 5}, {".hidden", -1}, {"folder", -1},
                 {"missing", -1}, {"link", -1},    {"a*.bin", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(lib::file_size(root.path() + c.name), c.size) << c.name;
}

TEST(FolderCleaning, DeleteFilesInFolderTakesPlainFilesAndLinksOnly) {
    for (const bool trailing_slash : {true, false}) {
        TempFolder root, outside;
        const std::string target = outside.write("target.txt", "keep");
        root.write("a.txt");
        chmod(root.write("ro.txt").c_str(), 0444);
        root.write(".hidden");
        root.write("sub/inner.txt");
        mkfifo((root.path() + "pipe").c_str(), 0644);
        fs::create_symlink(target, root.path() + "link");

        const std::string folder =
            trailing_slash ? root.path() : lib::exclude_trailing_backslash(root.path());
        lib::delete_files_in_folder(folder);
        EXPECT_FALSE(fs::exists(root.path() + "a.txt"));
        EXPECT_FALSE(fs::exists(root.path() + "ro.txt"));
        EXPECT_FALSE(fs::is_symlink(root.path() + "link"));
        EXPECT_TRUE(fs::exists(root.path() + ".hidden"));
        EXPECT_TRUE(fs::exists(root.path() + "sub/inner.txt"));
        EXPECT_TRUE(fs::exists(root.path() + "pipe"));
        EXPECT_EQ(read_file(target), "keep");
    }
}

TEST(FolderCleaning, ClearFolderEmptiesTreeButNeverFollowsLinks) {
    TempFolder root, outside;
    outside.write("precious.txt", "keep");
    outside.write("inner/more.txt", "keep");
    root.write("a.txt");
    root.write(".hidden");
    chmod(root.write("A/A1/ro.txt").c_str(), 0444);
    root.write("A/b.txt");
    root.write("B/.hidden");
    root.write(".hidsub/kept.txt");
    root.make_folder("withpipe");
    mkfifo((root.path() + "withpipe/pipe").c_str(), 0644);
    fs::create_directory_symlink(outside.path(), root.path() + "A/linked");
    fs::create_symlink(outside.path() + "precious.txt", root.path() + "filelink");

    lib::clear_folder(root.path());

    EXPECT_EQ(read_file(outside.path() + "precious.txt"), "keep");
    EXPECT_EQ(read_file(outside.path() + "inner/more.txt"), "keep");
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(root.path()))
        left.push_back(entry.path().string().substr(root.path().size()));
    std::sort(left.begin(), left.end());
    // A system entry keeps its folder; a hidden sub-folder is not entered.
    EXPECT_EQ(left, (std::vector<std::string>{".hidsub", ".hidsub/kept.txt", "withpipe", "withpipe/pipe"}));
}

} // namespace
