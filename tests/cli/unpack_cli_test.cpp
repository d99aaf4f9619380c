// talvex2-unpack as a user runs it: options, defaults from the state folder, outputs and exit codes.

#include "tests/cli/program_run.h"
#include "tests/pipeline/job_fixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string k_program = "talvex2-unpack";

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A sandbox with one good package, and the options that point the program at it.
struct CliSandbox : JobSandbox {
    CliSandbox() {
        write_package("sub/p.zreg",
                      {well_description("Северная", "12"), realtime_entry("x.realtim", {1, 2, 3})});
    }
    std::vector<std::string> options(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> arguments{
            "--from",     configuration.from_path, "--to",   configuration.to_path,
            "--registry", registry_file(),         "--work", work_folder()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }
    std::string registry_file() const { return root / "registry.bin"; }
    ProgramRun run(const std::vector<std::string>& arguments) const {
        return run_program_in(root.path(), bin_folder() + k_program, arguments);
    }
};

TEST(UnpackCli, HelpGoesToStandardOutput) {
    CliSandbox sandbox;
    const auto run = sandbox.run({"--help"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(contains(run.output, "talvex2-unpack [--from")) << run.output;
}

TEST(UnpackCli, BadUsageExitsWith2AndTouchesNothing) {
    const std::vector<std::vector<std::string>> usages = {
        {"--bogus"}, {"a.zreg", "b.zreg"}, {"--to"}, {"--to="}, {"--registry", ""}};
    for (const auto& usage : usages) {
        SCOPED_TRACE(usage.front());
        CliSandbox sandbox;
        auto arguments = sandbox.options();
        arguments.insert(arguments.end(), usage.begin(), usage.end());
        const auto run = sandbox.run(arguments);
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_TRUE(contains(run.errors, "talvex2-unpack: ")) << run.errors;
        EXPECT_TRUE(run.output.empty());
        EXPECT_FALSE(fs::exists(sandbox.registry_file()));
    }
}

TEST(UnpackCli, ReportToOutputProgressToErrorsAndRegistrySavedAfterTheRun) {
    CliSandbox sandbox;
    const auto package = sandbox.input("sub/p.zreg");
    auto run = sandbox.run(sandbox.options());
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_EQ(run.output, k_report_heading + "\n" + data_line("12", "x.realtim") + "\n");
    EXPECT_EQ(run.errors, "Обрабатывается файл \"" + package + "\"\n100%\n");
    EXPECT_EQ(record_times(sandbox.data("Северная/12/x.realtim")), (std::vector<std::uint32_t>{1, 2, 3}));

    FilesDataStorage registry;
    registry.load(sandbox.registry_file());
    FileData recorded;
    ASSERT_TRUE(registry.find(package, recorded));
    EXPECT_EQ(recorded.size, lib::file_size(package));

    run = sandbox.run(sandbox.options());
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, k_report_heading + "\n" + k_nothing_new + "\n");
}

TEST(UnpackCli, FailedPackageExitsWith1AndIsLeftForTheNextRun) {
    CliSandbox sandbox;
    auto damaged = realtime_entry("x.realtim", {1});
    damaged.packed = std::string("not zlib");
    sandbox.write_package("bad.zreg", {well_description("A", "W"), damaged});
    const auto run = sandbox.run(sandbox.options());
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(contains(run.errors, "ОШИБКА: Произошла ошибка при распаковке файла \"" +
                                         sandbox.input("bad.zreg") + "\": "))
        << run.errors;
    FilesDataStorage registry;
    registry.load(sandbox.registry_file());
    FileData ignored;
    EXPECT_FALSE(registry.find(sandbox.input("bad.zreg"), ignored));
    EXPECT_TRUE(registry.find(sandbox.input("sub/p.zreg"), ignored));
}

TEST(UnpackCli, RelativePathsBecomeFullPathsAndOnePackageCanBeNamed) {
    CliSandbox sandbox;
    sandbox.write_package("other.zreg", {well_description("Южная", "3"), realtime_entry("x.realtim", {1})});
    const auto run =
        sandbox.run({"--to", "data", "--registry", "registry.bin", "--work", "work/", "input/other.zreg"});
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_EQ(sandbox.data_tree(),
              (std::set<std::string>{"Южная/", "Южная/3/", "Южная/3/x.realtim", "Южная/3/inpgti.ini"}));
    FilesDataStorage registry;
    registry.load(sandbox.registry_file());
    ASSERT_EQ(registry.entries().size(), 1u);
    EXPECT_EQ(registry.entries().begin()->first, sandbox.input("other.zreg"));
}

TEST(UnpackCli, DefaultsComeFromTheSettingsFileBesideTheProgram) {
    CliSandbox sandbox;
    const auto program_folder = sandbox.root / "program/";
    fs::create_directories(program_folder);
    fs::copy_file(bin_folder() + k_program, program_folder + k_program);
    write_file(program_folder + "talvex2.ini", "[options]\nto_path=" + sandbox.configuration.to_path +
                                                    "\nfrom_path=" + sandbox.configuration.from_path + "\n");

    const auto run = run_program_in(sandbox.root.path(), program_folder + k_program, {});
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_TRUE(fs::exists(sandbox.data("Северная/12/x.realtim")));
    EXPECT_TRUE(fs::is_directory(program_folder + "temp.dir.tmp"));
    FilesDataStorage registry;
    registry.load(program_folder + "TemporaryFileData.bin");
    EXPECT_EQ(registry.entries().size(), 1u);

    fs::remove(program_folder + "talvex2.ini");
    const auto without_input = run_program_in(sandbox.root.path(), program_folder + k_program, {});
    EXPECT_EQ(without_input.exit_code, 2);
    EXPECT_TRUE(contains(without_input.errors, "--from")) << without_input.errors;
}

TEST(UnpackCli, StateGoesToTheUserDataFolderWhenTheProgramFolderIsReadOnly) {
    CliSandbox sandbox;
    const auto program_folder = sandbox.root / "program/";
    const auto home = sandbox.root / "home/";
    fs::create_directories(program_folder);
    fs::create_directories(home);
    fs::copy_file(bin_folder() + k_program, program_folder + k_program);
    const auto everyone = fs::perms::all;
    for (const auto& folder : {sandbox.root.path(), home, sandbox.configuration.from_path})
        fs::permissions(folder, everyone);
    fs::permissions(program_folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);

    // The superuser may write anywhere: the program then runs as an ordinary user.
    std::string program = program_folder + k_program;
    std::vector<std::string> arguments{"--from", sandbox.configuration.from_path, "--to", home + "data"};
    if (geteuid() == 0) {
        if (!fs::exists("/usr/bin/setpriv"))
            GTEST_SKIP() << "running as root without setpriv to drop to an ordinary user";
        arguments.insert(arguments.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", program});
        program = "/usr/bin/setpriv";
    }
    const auto run = run_program_in(sandbox.root.path(), program, arguments,
                                    {"HOME=" + home, "XDG_DATA_HOME=" + home + "xdg"});
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_TRUE(fs::is_directory(home + "xdg/Talvex2/temp.dir.tmp"));
    FilesDataStorage registry;
    registry.load(home + "xdg/Talvex2/TemporaryFileData.bin");
    EXPECT_EQ(registry.entries().size(), 1u);
    EXPECT_FALSE(fs::exists(program_folder + "TemporaryFileData.bin"));
}

} // namespace
