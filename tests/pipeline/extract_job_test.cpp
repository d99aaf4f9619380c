// Whole extraction jobs over input folders made by the package writers: what reaches the data
// folder, what the report says, and what the registry keeps.

#include "tests/pipeline/job_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using test_support::RzipEntry;
using test_support::RzipKind;

// "{in}" in an expected text stands for the input folder.
std::string expanded(std::string text, const JobSandbox& sandbox) {
    const std::string placeholder = "{in}";
    for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder))
        text.replace(at, placeholder.size(), sandbox.configuration.from_path);
    return text;
}

std::vector<std::string> expanded(const std::vector<std::string>& texts, const JobSandbox& sandbox) {
    std::vector<std::string> result;
    for (const auto& text : texts)
        result.push_back(expanded(text, sandbox));
    return result;
}

RzipEntry old_format_entry(const std::string& name, std::size_t records) {
    std::array<float, 32> offsets{}, multipliers{};
    multipliers.fill(0.5f);
    std::vector<test_support::OldFormatRecord> rows(records);
    for (std::size_t i = 0; i < records; ++i) {
        rows[i].values = {static_cast<std::uint32_t>(1000 + i), 2, 3};
        rows[i].samples.fill(static_cast<std::uint16_t>(40 + i));
    }
    return {name, test_support::old_format_file(offsets, multipliers, rows), RzipKind::old_format};
}

TEST(ExtractJob, FilesEachPackageIntoItsWellFolderAndReportsIt) {
    const auto ini = [](const std::string& text) {
        return RzipEntry{"inpgti.ini", lib::utf8_to_cp1251(text)};
    };
    const struct {
        const char* what;
        std::function<void(JobSandbox&)> make_input;
        std::string single_package; // relative to the input folder
        std::set<std::string> expected_tree;
        std::vector<std::string> expected_report;
    } cases[] = {
        {"realtime, old-format, .newcompr1 entries and side files",
         [](JobSandbox& s) {
             s.write_package(
                 "north/p1.zreg",
                 {well_description("Северная", "12"),
                  realtime_entry("x.realtim", time_span(100, 110)),
                  realtime_entry("x.realdep", time_span(100, 105)),
                  old_format_entry("1.tim", 3),
                  newcompr1_entry("y.realdep", test_support::drilling_columns(records_at({5, 6, 7}))),
                  {"trip.rac", "rac"},
                  {"note.rem", "rem"},
                  {"log.las", "las"},
                  {"cfg.bin", "bin"},
                  {"pump.nbl", "nbl"},
                  {"readme.txt", "not copied"}});
         },
         "",
         {"Северная/", "Северная/12/", "Северная/12/inpgti.ini", "Северная/12/x.realtim",
          "Северная/12/x.realdep", "Северная/12/1.tim", "Северная/12/y.realdep", "Северная/12/trip.rac",
          "Северная/12/note.rem", "Северная/12/log.las", "Северная/12/cfg.bin", "Северная/12/pump.nbl"},
         {k_report_heading, data_line("12", "1.tim"), data_line("12", "x.realtim")}},
        {"packages in order of file name across sub-folders, upper-case extension found",
         [](JobSandbox& s) {
             s.write_package("b/1.zreg", {well_description("A", "first"), realtime_entry("t.realtim", {10})});
             s.write_package("a/2.ZREG",
                             {well_description("A", "second"), realtime_entry("t.realtim", {10})});
             s.write_package("3.zreg", {well_description("A", "third"), realtime_entry("t.realtim", {10})});
         },
         "",
         {"A/", "A/first/", "A/first/t.realtim", "A/first/inpgti.ini", "A/second/", "A/second/t.realtim",
          "A/second/inpgti.ini", "A/third/", "A/third/t.realtim", "A/third/inpgti.ini"},
         {k_report_heading, data_line("first", "t.realtim"), data_line("second", "t.realtim"),
          data_line("third", "t.realtim")}},
        {"no well description",
         [](JobSandbox& s) { s.write_package("p.zreg", {realtime_entry("t.realtim", {1})}); },
         "",
         {"undefined/", "undefined/undefined/", "undefined/undefined/t.realtim"},
         {k_report_heading, data_line("undefined", "t.realtim")}},
        {"second choice of the well and trimmed values",
         [&](JobSandbox& s) {
             s.write_package("p.zreg",
                             {ini("[Скважина]\r\nномер=\r\nплощадь=  Южная \t\r\n[PORE]\r\nhole= 7 \r\n"),
                              realtime_entry("t.realdep", {1})});
         },
         "",
         {"Южная/", "Южная/7/", "Южная/7/t.realdep", "Южная/7/inpgti.ini"},
         {k_report_heading, k_nothing_new}},
        {"area and well names never leave the data folder",
         [&](JobSandbox& s) {
             s.write_package("p.zreg", {ini("[скважина]\r\nплощадь=..\r\nномер=../../x\r\n"),
                                        realtime_entry("t.realdep", {1})});
         },
         "",
         {"undefined/", "undefined/.._.._x/", "undefined/.._.._x/t.realdep", "undefined/.._.._x/inpgti.ini"},
         {k_report_heading, k_nothing_new}},
        {"an entry name that would leave the work folder is skipped and named",
         [](JobSandbox& s) {
             s.write_package("p.zreg",
                             {well_description("A", "W"), realtime_entry("../../escape.realtim", {1}),
                              realtime_entry("t.realdep", {1})});
         },
         "",
         {"A/", "A/W/", "A/W/t.realdep", "A/W/inpgti.ini"},
         {k_report_heading,
          "Файл \"../../escape.realtim\" из пакета \"{in}p.zreg\" не распакован: недопустимое имя файла"}},
        {"one named package only",
         [](JobSandbox& s) {
             s.write_package("a.zreg", {well_description("A", "a"), realtime_entry("t.realtim", {1})});
             s.write_package("b.zreg", {well_description("A", "b"), realtime_entry("t.realtim", {1})});
         },
         "b.zreg",
         {"A/", "A/b/", "A/b/t.realtim", "A/b/inpgti.ini"},
         {k_report_heading, data_line("b", "t.realtim")}},
        {"a named package of no known kind is filed as undefined, unpacked by nobody",
         [](JobSandbox& s) { write_file(s.input("x.dat"), "data"); },
         "x.dat",
         {"undefined/", "undefined/undefined/"},
         {k_report_heading, k_nothing_new}},
        {"no packages", [](JobSandbox&) {}, "", {}, {k_report_heading, k_nothing_new}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        JobSandbox sandbox;
        c.make_input(sandbox);
        sandbox.run_job(c.single_package.empty() ? "" : sandbox.input(c.single_package));
        EXPECT_EQ(sandbox.data_tree(), c.expected_tree);
        EXPECT_EQ(sandbox.observer.report, expanded(c.expected_report, sandbox));
        EXPECT_TRUE(sandbox.observer.errors.empty());
        EXPECT_EQ(sandbox.observer.finished_calls, 1);
        EXPECT_FALSE(std::filesystem::exists(sandbox.root / "escape.realtim"));
    }
}

TEST(ExtractJob, UnpacksRealtimeOldFormatAndCompressedEntriesFaithfully) {
    JobSandbox sandbox;
    const auto newcompr1_records = records_at({5, 6, 7});
    sandbox.write_package("p.zreg",
                          {well_description("A", "W"),
                           realtime_entry("x.realtim", time_span(100, 110)),
                           old_format_entry("1.tim", 3),
                           newcompr1_entry("y.realdep", test_support::drilling_columns(newcompr1_records)),
                           {"trip.rac", "rac bytes"}});
    sandbox.run_job();

    EXPECT_EQ(read_file(sandbox.data("A/W/x.realtim")), realtime_file(time_span(100, 110)));
    EXPECT_EQ(read_file(sandbox.data("A/W/y.realdep")),
              test_support::drilling_sector_file(newcompr1_records));
    EXPECT_EQ(read_file(sandbox.data("A/W/1.tim")).size(), 3u * 145u);
    EXPECT_EQ(read_file(sandbox.data("A/W/trip.rac")), "rac bytes");
    EXPECT_EQ(read_file(sandbox.data("A/W/inpgti.ini")), well_description("A", "W").content);
}

TEST(ExtractJob, SkipsAPackageOfUnchangedSizeAndRetakesOneThatGrew) {
    JobSandbox sandbox;
    sandbox.write_package("p.zreg",
                          {well_description("A", "W"), realtime_entry("x.realtim", time_span(1, 10))});
    sandbox.run_job();
    const auto package = sandbox.input("p.zreg");
    FileData recorded;
    ASSERT_TRUE(sandbox.registry.find(package, recorded));
    EXPECT_EQ(recorded.size, lib::file_size(package));

    // Same size, other content: taken as the package already processed.
    std::filesystem::remove_all(sandbox.data(""));
    sandbox.write_package("p.zreg",
                          {well_description("A", "V"), realtime_entry("x.realtim", time_span(2, 11))});
    ASSERT_EQ(lib::file_size(package), recorded.size);
    EXPECT_EQ(sandbox.run_job(), (std::vector<std::string>{k_report_heading, k_nothing_new}));
    EXPECT_EQ(sandbox.observer.statuses, std::vector<std::string>{"Обрабатывается файл \"" + package + "\""});
    EXPECT_EQ(sandbox.observer.positions, std::vector<int>{100});
    EXPECT_EQ(sandbox.data_tree(), std::set<std::string>{});

    sandbox.write_package("p.zreg",
                          {well_description("A", "W"), realtime_entry("x.realtim", time_span(1, 20))});
    EXPECT_EQ(sandbox.run_job(), (std::vector<std::string>{k_report_heading, data_line("W", "x.realtim")}));
    ASSERT_TRUE(sandbox.registry.find(package, recorded));
    EXPECT_EQ(recorded.size, lib::file_size(package));
}

TEST(ExtractJob, ProgressIsByBytesAndAnEmptyTotalGivesFullSteps) {
    JobSandbox sandbox;
    sandbox.write_package("1.zreg",
                          {well_description("A", "W"), realtime_entry("x.realdep", time_span(1, 200))});
    sandbox.write_package("2.zreg", {well_description("A", "W")});
    const auto first = lib::file_size(sandbox.input("1.zreg"));
    const auto second = lib::file_size(sandbox.input("2.zreg"));
    sandbox.run_job();
    EXPECT_EQ(sandbox.observer.positions,
              (std::vector<int>{static_cast<int>(first * 100.0 / (first + second)), 100}));

    JobSandbox empty_packages;
    write_file(empty_packages.input("1.zreg"), "");
    write_file(empty_packages.input("2.zreg"), "");
    empty_packages.run_job();
    EXPECT_EQ(empty_packages.observer.positions, (std::vector<int>{100, 100}));
}

TEST(ExtractJob, EmptyDataFolderSettingEndsTheJobAtOnce) {
    JobSandbox sandbox;
    sandbox.write_package("p.zreg", {well_description("A", "W")});
    sandbox.configuration.to_path.clear();
    EXPECT_EQ(sandbox.run_job(), std::vector<std::string>{k_report_heading});
    EXPECT_TRUE(sandbox.observer.statuses.empty());
    EXPECT_TRUE(sandbox.registry.entries().empty());
    EXPECT_FALSE(std::filesystem::exists(sandbox.work_folder()));
}

TEST(ExtractJob, PackageThatFailsToUnpackIsReportedAndTriedAgainNextRun) {
    JobSandbox sandbox;
    auto damaged = realtime_entry("x.realtim", {1});
    damaged.packed = std::string("this is not zlib data");
    sandbox.write_package("1.zreg", {well_description("A", "broken"), damaged});
    sandbox.write_package("2.zreg", {well_description("A", "W"), realtime_entry("x.realtim", {1})});
    const auto broken = sandbox.input("1.zreg");

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const auto& report = sandbox.run_job();
        ASSERT_EQ(report.size(), run == 0 ? 3u : 2u);
        EXPECT_EQ(report[1].rfind("Произошла ошибка при распаковке файла \"" + broken + "\": ", 0), 0u)
            << report[1];
        ASSERT_EQ(sandbox.observer.errors.size(), 1u);
        EXPECT_EQ(sandbox.observer.errors[0].caption, "  ОШИБКА");
        EXPECT_EQ(sandbox.observer.errors[0].text,
                  "Произошла ошибка при распаковке файла \"" + broken + "\"");
        EXPECT_FALSE(sandbox.observer.errors[0].reason.empty());
        EXPECT_EQ(sandbox.failed_packages, 1);
        FileData ignored;
        EXPECT_FALSE(sandbox.registry.find(broken, ignored));
        EXPECT_TRUE(sandbox.registry.find(sandbox.input("2.zreg"), ignored));
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox.data("A/broken/x.realtim")));
    EXPECT_TRUE(std::filesystem::exists(sandbox.data("A/W/x.realtim")));
}

TEST(ExtractJob, WellFileThatCannotBeSavedEndsTheRunWithTheFailureReported) {
    JobSandbox sandbox;
    write_file(sandbox.data("A/W/x.realtim"), realtime_file(time_span(1, 5)));
    // A folder where the merged file would be written before it replaces the well's file.
    std::filesystem::create_directories(sandbox.data("A/W/.x.realtim.tmp/occupied"));
    sandbox.write_package("1.zreg",
                          {well_description("A", "W"), realtime_entry("x.realtim", time_span(1, 10))});
    sandbox.write_package("2.zreg", {well_description("A", "V"), realtime_entry("x.realtim", {1})});

    const auto& report = sandbox.run_job();
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(
        report[1].rfind("Произошла ошибка при распаковке файла \"" + sandbox.input("1.zreg") + "\": ", 0), 0u)
        << report[1];
    EXPECT_EQ(sandbox.observer.errors.size(), 1u);
    EXPECT_EQ(sandbox.observer.finished_calls, 1);
    EXPECT_EQ(sandbox.failed_packages, 1);
    EXPECT_EQ(record_times(sandbox.data("A/W/x.realtim")), time_span(1, 5));
    FileData ignored;
    EXPECT_FALSE(sandbox.registry.find(sandbox.input("1.zreg"), ignored));
    EXPECT_FALSE(std::filesystem::exists(sandbox.data("A/V")));
}

} // namespace
