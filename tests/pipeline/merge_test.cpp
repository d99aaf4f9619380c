// Merging an unpacked realtime file into the well's file of the same name: only records newer than
// everything the well holds are appended, older kinds are never rewritten, and the failures show.

#include "tests/pipeline/job_fixture.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr std::uint32_t T = 100000;
constexpr std::uint32_t k_last = 4294967295u;

std::vector<std::uint32_t> joined(std::vector<std::uint32_t> first,
                                  const std::vector<std::uint32_t>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(MergeIntoWell, AppendsOnlyRecordsNewerThanTheWellHoldsAndReportsAsTheFileKindSays) {
    const std::string failure = "В процессе распаковки файла '{dest}' произошла ошибка";
    const struct {
        const char* what;
        std::string name;
        std::string well_file;
        std::string unpacked;
        std::optional<std::vector<std::uint32_t>> expected_times; // none: the well's file stays as it was
        std::vector<std::string> expected_report;
        bool failed;
        bool kept_in_registry;
    } cases[] = {
        {"T-5 to T+10 against a well up to T: T+2 to T+10 appended",
         "x.realtim",
         realtime_file(time_span(T - 20, T)),
         realtime_file(time_span(T - 5, T + 10)),
         joined(time_span(T - 20, T), time_span(T + 2, T + 10)),
         {k_report_heading, data_line("W", "x.realtim")},
         false,
         true},
        {"nothing beyond T+1: unchanged, no line",
         "x.realtim",
         realtime_file(time_span(T - 20, T)),
         realtime_file(time_span(T - 5, T + 1)),
         std::nullopt,
         {k_report_heading, k_nothing_new},
         false,
         true},
        {"a well file without records takes times from 2 on",
         "x.realtim",
         realtime_file({}),
         realtime_file(time_span(0, 5)),
         time_span(2, 5),
         {k_report_heading, data_line("W", "x.realtim")},
         false,
         true},
        {"depth-indexed files gain records without a line",
         "x.realdep",
         realtime_file(time_span(1, 5)),
         realtime_file(time_span(1, 10)),
         joined(time_span(1, 5), time_span(7, 10)),
         {k_report_heading, k_nothing_new},
         false,
         true},
        {"a well file at the second-last time takes nothing",
         "x.realtim",
         realtime_file({k_last - 1}),
         realtime_file({0, 1, 2, k_last}),
         std::nullopt,
         {k_report_heading, k_nothing_new},
         false,
         true},
        {"a well file at the last time takes nothing",
         "x.reallag",
         realtime_file({k_last}),
         realtime_file({0, 1, 2, k_last}),
         std::nullopt,
         {k_report_heading, k_nothing_new},
         false,
         true},
        {"an existing older file never changes",
         "1.tim",
         std::string(145, 'a'),
         std::string(290, 'b'),
         std::nullopt,
         {k_report_heading, k_nothing_new},
         false,
         true},
        {"a well file that cannot be read: reported, package tried again",
         "x.realtim",
         "",
         realtime_file(time_span(1, 5)),
         std::nullopt,
         {k_report_heading, failure},
         true,
         false},
        {"an unpacked file that cannot be read: reported",
         "x.realtim",
         realtime_file(time_span(1, 5)),
         "",
         std::nullopt,
         {k_report_heading, failure},
         true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        JobSandbox sandbox;
        write_file(sandbox.data("A/W/" + c.name), c.well_file);
        sandbox.write_package("p.zreg", {well_description("A", "W"), {c.name, c.unpacked}});
        sandbox.run_job();

        const auto destination = sandbox.data("A/W/" + c.name);
        if (c.expected_times)
            EXPECT_EQ(record_times(destination), *c.expected_times);
        else
            EXPECT_EQ(read_file(destination), c.well_file);
        auto expected_report = c.expected_report;
        for (auto& line : expected_report)
            if (line == failure)
                line = "В процессе распаковки файла '" + destination + "' произошла ошибка";
        EXPECT_EQ(sandbox.observer.report, expected_report);
        EXPECT_EQ(sandbox.failed_packages, c.failed ? 1 : 0);
        FileData ignored;
        EXPECT_EQ(sandbox.registry.find(sandbox.input("p.zreg"), ignored), c.kept_in_registry);
    }
}

TEST(MergeIntoWell, MergedFileKeepsTheWellsRecordsFirstWithTheirValues) {
    JobSandbox sandbox;
    const auto held = records_at(time_span(10, 20));
    write_file(sandbox.data("A/W/x.realtim"), test_support::drilling_sector_file(held));
    sandbox.write_package("p.zreg",
                          {well_description("A", "W"), realtime_entry("x.realtim", time_span(15, 30))});
    sandbox.run_job();

    auto expected = held;
    const auto arrived = records_at(time_span(15, 30));
    expected.insert(expected.end(), arrived.begin() + 7, arrived.end()); // times 22 to 30
    EXPECT_EQ(read_file(sandbox.data("A/W/x.realtim")), test_support::drilling_sector_file(expected));
}

TEST(MergeIntoWell, HiddenUnpackedFilesAreNotMerged) {
    JobSandbox sandbox;
    sandbox.write_package("p.zreg", {well_description("A", "W"), realtime_entry(".x.realtim", {5})});
    sandbox.run_job();
    EXPECT_EQ(sandbox.data_tree(), (std::set<std::string>{"A/", "A/W/", "A/W/inpgti.ini"}));
}

// A realtime file the well lacks and that cannot be copied there (here a plain file stands where the
// well folder belongs) must not count as filed: the package is reported and unpacked again next run.
TEST(MergeIntoWell, RealtimeFileThatCannotBeCopiedIsReportedAndTriedAgain) {
    JobSandbox sandbox;
    write_file(sandbox.data("A/W"), "not a folder");
    sandbox.write_package("p.zreg", {well_description("A", "W"), realtime_entry("x.realtim", {5, 6})});
    sandbox.run_job();

    const std::vector<std::string> expected_report = {k_report_heading, "В процессе распаковки файла '" +
                                                                            sandbox.data("A/W/x.realtim") +
                                                                            "' произошла ошибка"};
    EXPECT_EQ(sandbox.observer.report, expected_report);
    EXPECT_EQ(sandbox.failed_packages, 1);
    FileData ignored;
    EXPECT_FALSE(sandbox.registry.find(sandbox.input("p.zreg"), ignored));
}

} // namespace
