// The 7za stand-in, run as the unpacker runs it: 7za e "<archive>" "-o<folder>" -r.

#include "tests/support/archive_writers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using test_support::ArchiveMember;
using test_support::MemberKind;

extern char** environ;

namespace {

fs::path bin_folder() {
    if (const char* bin = std::getenv("TALVEX_BIN"))
        return bin;
    return fs::read_symlink("/proc/self/exe").parent_path();
}

struct ArchiverRun {
    int exit_code = -1;
    std::string errors;
};

std::string read_file(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// What lies in the folder, by name: the contents of regular files, "->target" for links, "/" for
// folders.
std::map<std::string, std::string> folder_contents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto name = entry.path().filename().string();
        if (entry.is_symlink())
            contents[name] = "->" + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            contents[name] = "/";
        else
            contents[name] = read_file(entry.path());
    }
    return contents;
}

class Archiver : public testing::Test {
protected:
    void SetUp() override {
        sandbox = fs::temp_directory_path() / ("test_7za_" + std::to_string(getpid()) + "_" +
                                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(sandbox);
        fs::create_directories(sandbox / "out");
    }
    void TearDown() override { fs::remove_all(sandbox); }

    // Runs 7za in the "C" locale, where libarchive would drop non-ASCII names unless the tool
    // chooses its own locale.
    ArchiverRun run_7za(const std::vector<std::string>& arguments) {
        const auto program = (bin_folder() / "7za").string();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> environment{"LC_ALL=C", "LANG=C"};
        std::vector<char*> envp;
        for (auto& variable : environment)
            envp.push_back(variable.data());
        envp.push_back(nullptr);

        const auto errors_path = (sandbox / "errors.txt").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errors_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        ArchiverRun run;
        if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
            int status = 0;
            waitpid(child, &status, 0);
            run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        run.errors = read_file(errors_path);
        fs::remove(errors_path);
        return run;
    }

    ArchiverRun extract(const fs::path& archive) {
        return run_7za({"e", archive.string(), "-o" + (sandbox / "out").string(), "-r"});
    }

    fs::path sandbox;
};

using Writer = std::function<void(const std::string&, const std::vector<ArchiveMember>&)>;

struct WriterCase {
    const char* name;
    Writer write;
};

const WriterCase k_writers[] = {
    {"7z", test_support::write_7z_archive},
    {"rar4", test_support::write_rar_archive},
    {"rar5", test_support::write_rar5_archive},
};

TEST_F(Archiver, ExtractsEveryFileWithoutItsStoredFolders) {
    for (const auto& writer : k_writers) {
        SCOPED_TRACE(writer.name);
        fs::remove_all(sandbox / "out");
        const auto archive = sandbox / "package";
        writer.write(archive, {{"inpgti.ini", "[pore]\r\nhole=7\r\n"},
                               {"data/1.realtim.compr1", std::string("\x00\x01\xFF", 3)},
                               {"data/deep/empty.rac", ""}});
        const auto run = extract(archive);
        EXPECT_EQ(run.exit_code, 0) << run.errors;
        EXPECT_EQ(folder_contents(sandbox / "out"),
                  (std::map<std::string, std::string>{{"inpgti.ini", "[pore]\r\nhole=7\r\n"},
                                                      {"1.realtim.compr1", std::string("\x00\x01\xFF", 3)},
                                                      {"empty.rac", ""}}));
    }
}

TEST_F(Archiver, HostileMembersCreateNothingOutsideTheFolderAndNoLinks) {
    const fs::path outside = sandbox / "outside.txt";
    for (const auto& writer : k_writers) {
        SCOPED_TRACE(writer.name);
        fs::remove_all(sandbox / "out");
        fs::create_directories(sandbox / "out");
        std::ofstream(outside) << "keep";
        // A link already in the folder under a member's name is replaced, never written through.
        fs::create_symlink(outside, sandbox / "out" / "trap");

        std::vector<ArchiveMember> members = {
            {"../escaped", "up"},
            {"/tmp/absolute", "abs"},
            {"trap", "data"},
            {"link", outside.string(), MemberKind::symbolic_link},
            {"uplink", "../outside.txt", MemberKind::symbolic_link},
        };
        if (writer.name == std::string("rar5"))
            members.push_back({"hard", "trap", MemberKind::hard_link});
        const auto archive = sandbox / "package";
        writer.write(archive, members);

        const auto run = extract(archive);
        EXPECT_EQ(run.exit_code, 0) << run.errors;
        EXPECT_EQ(
            folder_contents(sandbox / "out"),
            (std::map<std::string, std::string>{{"escaped", "up"}, {"absolute", "abs"}, {"trap", "data"}}));
        EXPECT_EQ(folder_contents(sandbox),
                  (std::map<std::string, std::string>{
                      {"out", "/"}, {"outside.txt", "keep"}, {"package", read_file(archive)}}));
        EXPECT_FALSE(fs::exists("/tmp/absolute"));
    }
}

TEST_F(Archiver, MembersThatAreNoFileNameAreRefusedAndReported) {
    const auto archive = sandbox / "package.rar";
    test_support::write_rar_archive(archive, {{"..", "a"}, {"dir/.", "b"}, {"good", "c"}});
    const auto run = extract(archive);
    EXPECT_NE(run.exit_code, 0);
    EXPECT_NE(run.errors.find("not a file name"), std::string::npos) << run.errors;
    EXPECT_EQ(folder_contents(sandbox / "out"), (std::map<std::string, std::string>{{"good", "c"}}));
}

TEST_F(Archiver, DamagedStoredRarMemberIsReportedAndTheOthersExtracted) {
    const auto archive = sandbox / "package.rar";
    test_support::write_rar_archive(archive, {{"1.tim", std::string(145, 'a')},
                                              {"2.tim", std::string(145, 'b'), MemberKind::file, false, true},
                                              {"3.tim", std::string(145, 'c')}});
    const auto run = extract(archive);
    EXPECT_NE(run.exit_code, 0);
    EXPECT_NE(run.errors.find("2.tim"), std::string::npos) << run.errors;
    EXPECT_EQ(folder_contents(sandbox / "out"),
              (std::map<std::string, std::string>{{"1.tim", std::string(145, 'a')},
                                                  {"3.tim", std::string(145, 'c')}}));
}

TEST_F(Archiver, DamagedArchiveEndsWithAnError) {
    const auto archive = sandbox / "package.7z_reg";
    std::string data;
    for (int i = 0; i < 4000; ++i)
        data += std::to_string(i * 7919 % 10007);
    test_support::write_7z_archive(archive, {{"a.realtim", data}, {"b.realtim", data + "b"}});
    const auto whole = read_file(archive);
    const struct {
        const char* name;
        std::string bytes;
    } damages[] = {
        {"cut short", whole.substr(0, whole.size() / 2)},
        {"packed data changed", whole.substr(0, 40) + std::string(64, '\x55') + whole.substr(104)},
        {"no archive at all", "plain text, not an archive"},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        std::ofstream(archive, std::ios::binary | std::ios::trunc) << damage.bytes;
        const auto run = extract(archive);
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_NE(run.errors.find(archive.string()), std::string::npos) << run.errors;
    }
}

TEST_F(Archiver, CyrillicNamesArriveAsUtf8FileNames) {
    const std::string name = "Скважина №1 ёж.ini";
    const struct {
        const char* name;
        Writer write;
        bool cp1251_name;
    } cases[] = {
        {"7z", test_support::write_7z_archive, false},
        {"rar4 with Unicode form", test_support::write_rar_archive, false},
        {"rar4 in Windows-1251 only", test_support::write_rar_archive, true},
        {"rar5", test_support::write_rar5_archive, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(sandbox / "out");
        const auto archive = sandbox / "package";
        c.write(archive, {{"папка/" + name, "x", MemberKind::file, c.cp1251_name}});
        const auto run = extract(archive);
        EXPECT_EQ(run.exit_code, 0) << run.errors;
        EXPECT_EQ(folder_contents(sandbox / "out"), (std::map<std::string, std::string>{{name, "x"}}));
    }
}

TEST_F(Archiver, CreatesTheMissingFolderAndReplacesFilesOfTheSameName) {
    const auto archive = sandbox / "package.7z";
    test_support::write_7z_archive(archive, {{"a/same", "first"}, {"b/same", "second"}});
    const auto folder = sandbox / "new" / "work";
    const auto run = run_7za({"e", archive.string(), "-o" + folder.string(), "-r"});
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_EQ(folder_contents(folder), (std::map<std::string, std::string>{{"same", "second"}}));
}

TEST_F(Archiver, RefusesAnUnknownCommandLine) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {}, {"x", "a.7z"}, {"e"}, {"e", "a.7z", "b.7z"}, {"e", "a.7z", "-p"}}) {
        EXPECT_EQ(run_7za(arguments).exit_code, 7);
    }
}

} // namespace
