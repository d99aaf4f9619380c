#include "library/process.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A shell script in the folder; returns its full name.
std::string write_script(const TempFolder& folder, const std::string& name, const std::string& body) {
    const std::string path = folder.write(name, "#!/bin/sh\n" + body + "\n");
    chmod(path.c_str(), 0755);
    return path;
}

TEST(RunProgram, MissingProgramIsNotStarted) {
    TempFolder root;
    EXPECT_FALSE(lib::run_program(root.path() + "no-such-program", std::vector<std::string>{}, "", false));
    EXPECT_FALSE(lib::run_program(root.path(), std::vector<std::string>{}, "", false)); // a folder
    const std::string not_executable = root.write("plain.txt");
    EXPECT_FALSE(lib::run_program(not_executable, std::vector<std::string>{}, "", false));
}

TEST(RunProgram, WaitsForTheProgramToEnd) {
    TempFolder root;
    const std::string script =
        write_script(root, "late.sh", "sleep 0.3; echo noise; echo more >&2; touch done");
    ASSERT_TRUE(lib::run_program(script, std::vector<std::string>{}, root.path(), false));
    EXPECT_TRUE(fs::exists(root.path() + "done"));
}

TEST(RunProgram, GivesTheExitCodeOrTheEndingSignal) {
    TempFolder root;
    const struct {
        const char* body;
        int code;
    } cases[] = {{"exit 0", 0}, {"exit 2", 2}, {"kill -9 $$", 128 + 9}};
    for (const auto& c : cases) {
        const std::string script = write_script(root, "end.sh", c.body);
        int code = -1;
        ASSERT_TRUE(lib::run_program(script, std::vector<std::string>{}, "", false, &code)) << c.body;
        EXPECT_EQ(code, c.code) << c.body;
    }
}

TEST(RunProgram, EmptyCurrentFolderMeansTheProgramsOwn) {
    TempFolder root, elsewhere;
    const std::string script = write_script(root, "bin/where.sh", "pwd > here.txt");
    ASSERT_TRUE(lib::run_program(script, std::vector<std::string>{}, "", false));
    EXPECT_EQ(read_file(root.path() + "bin/here.txt"), fs::canonical(root.path() + "bin").string() + "\n");

    ASSERT_TRUE(lib::run_program(script, std::vector<std::string>{}, elsewhere.path(), false));
    EXPECT_TRUE(fs::exists(elsewhere.path() + "here.txt"));
}

TEST(RunProgram, CommandLineTextIsSplitWithQuotedTokens) {
    TempFolder root;
    const std::string script = write_script(root, "args.sh", "printf '[%s]' \"$@\" > args.txt");
    ASSERT_TRUE(lib::run_program(script, std::string_view("e \"/in/a b.7z\" \"-o/w/\" -r"), "", false));
    EXPECT_EQ(read_file(root.path() + "args.txt"), "[e][/in/a b.7z][-o/w/][-r]");

    // The list form passes any name unchanged, quotes included.
    ASSERT_TRUE(lib::run_program(script, std::vector<std::string>{"x \"y\"", ""}, "", false));
    EXPECT_EQ(read_file(root.path() + "args.txt"), "[x \"y\"][]");
}

TEST(RunProgram, ChildInheritsNoOpenFiles) {
    TempFolder root;
    // A descriptor without close-on-exec, placed high so the listing program's own stay clear of it.
    const int opened = open(root.write("data.realtim").c_str(), O_RDONLY);
    const int open_file = fcntl(opened, F_DUPFD, 60);
    close(opened);
    ASSERT_GE(open_file, 60);
    const std::string script = write_script(root, "fds.sh", "ls /proc/self/fd > fds.txt");
    ASSERT_TRUE(lib::run_program(script, std::vector<std::string>{}, "", false));
    close(open_file);
    const std::string listing = read_file(root.path() + "fds.txt");
    EXPECT_EQ(listing.find("\n" + std::to_string(open_file) + "\n"), std::string::npos) << listing;
}

TEST(FileUtilities, ListFileNamesAppendsAndTotalsLowBits) {
    TempFolder root;
    root.write("a.ini", "123");
    root.write("b.INI", "4567");
    root.write(".c.ini", "89");
    root.write("d.txt");
    std::vector<std::string> names{"kept"};
    std::uint32_t total = 0xFFFFFFFF; // the total wraps as a 32-bit count
    lib::list_file_names(root.path() + "*.ini", names, 0, &total);
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "a.ini", "b.INI"}));
    EXPECT_EQ(total, 6u);

    lib::list_file_names(root.path() + "*.ini", names, lib::fa_hidden);
    EXPECT_EQ(names.size(), 6u);
    lib::list_file_names(root.path() + "missing/*.*", names, 63);
    EXPECT_EQ(names.size(), 6u);
}

TEST(FileUtilities, ListFileNamesWithAllAttributesKeepsFilesAndFolders) {
    TempFolder root;
    root.write("f.txt");
    root.make_folder("sub");
    std::vector<std::string> names;
    lib::list_file_names(root.path() + "*.*", names, 63);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"f.txt", "sub"}));
}

TEST(FileUtilities, CopyFilesByMaskReplacesTargetsCompletely) {
    TempFolder source, target, outside;
    source.write("inpgti.ini", "area=A");
    source.write("Other.INI", std::string(200000, 'z'));
    source.write("data.las", "las");
    source.make_folder("folder.ini");
    mkfifo((source.path() + "pipe.ini").c_str(), 0644); // must not wait for a writer
    fs::create_symlink(outside.write("secret.ini", "secret"), source.path() + "link.ini");
    target.write("inpgti.ini", "old contents that are longer");
    chmod((source.path() + "inpgti.ini").c_str(), 0640);

    lib::copy_files_by_mask(source.path(), target.path(), "*.ini");

    EXPECT_EQ(read_file(target.path() + "inpgti.ini"), "area=A");
    EXPECT_EQ(read_file(target.path() + "Other.INI"), std::string(200000, 'z'));
    EXPECT_EQ(fs::status(target.path() + "inpgti.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(fs::last_write_time(target.path() + "inpgti.ini"),
              fs::last_write_time(source.path() + "inpgti.ini"));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(target.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    // No folder, pipe or linked file, and no temporary copy left behind.
    EXPECT_EQ(left, (std::vector<std::string>{"Other.INI", "inpgti.ini"}));
}

TEST(FileUtilities, CopyOntoAFolderFailsQuietlyAndLeavesNoTemporary) {
    TempFolder source, target;
    source.write("x.ini", "new");
    target.write("x.ini/inside.txt", "keep");
    lib::copy_files_by_mask(source.path(), target.path(), "*.ini");
    EXPECT_EQ(read_file(target.path() + "x.ini/inside.txt"), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(target.path()), fs::directory_iterator()), 1);
}

TEST(FileUtilities, NumberBeforeTheFirstDot) {
    struct Case {
        const char* path;
        int number;
    } cases[] = {{"/data/12.5.tim", 12}, {"/data/abc.tim", -1}, {"/data/123", -1},  {"7.zreg", 7},
                 {"/data/.tim", -1},     {"/5.d/x.tim", -1},    {"/d/-4.zreg", -4}, {"/d/1x.tim", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(lib::number_from_file_name(c.path), c.number) << c.path;
}

} // namespace
