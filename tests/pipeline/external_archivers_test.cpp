// The handlers of the 7-Zip and RAR packages, run with the 7za built beside the tests, and one job
// that unpacks all three kinds together.

#include "pipeline/external_archivers.h"

#include "realtime/file_storage.h"
#include "tests/pipeline/job_fixture.h"
#include "tests/support/archive_writers.h"
#include "tests/support/old_record_writer.h"
#include "tests/support/single_stream_writer.h"
#include "tests/support/split_writer.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;
using test_support::ArchiveMember;
using test_support::RealtimeColumns;
using test_support::ValueCoding;

const std::string k_well_description = "[pore]\r\nfield=north\r\nhole=12\r\n";

std::set<std::string> names_in(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The realtime file at path holds the records of columns, values within tolerance.
void expect_realtime_file(const std::string& path, const RealtimeColumns& columns, float tolerance = 0.0f) {
    SCOPED_TRACE(path);
    FileStorage storage;
    ASSERT_TRUE(storage.open(path));
    const auto read = test_support::columns_of(storage);
    ASSERT_EQ(read.params.size(), columns.params.size());
    for (std::size_t p = 0; p < columns.params.size(); ++p)
        EXPECT_EQ(read.params[p].key, columns.params[p].key);
    EXPECT_EQ(read.time, columns.time);
    EXPECT_EQ(read.depth_z, columns.depth_z);
    EXPECT_EQ(read.operation, columns.operation);
    for (std::size_t p = 0; p < columns.values.size(); ++p)
        for (std::size_t r = 0; r < columns.record_count(); ++r)
            ASSERT_NEAR(read.values[p][r], columns.values[p][r],
                        tolerance * (1 + std::fabs(columns.values[p][r])))
                << "parameter " << p << ", record " << r;
}

std::vector<ArchiveMember> split_members(const std::string& name, const RealtimeColumns& columns,
                                         const std::vector<ValueCoding>& codings) {
    std::vector<ArchiveMember> members;
    for (const auto& piece : test_support::split_pieces(columns, codings))
        members.push_back({name + piece.suffix, piece.bytes});
    return members;
}

// Older data files of a RAR package, in both layouts and in neither.
struct OldFiles {
    std::string interleaved_records; // as plain records
    std::string packed_with_zero_divisor;
    std::string packed_count_disagreeing;
    std::string both_sizes_packed;      // 145 x 81 bytes, count 144 at offset 64
    std::string both_sizes_interleaved; // 145 x 81 bytes, another count

    OldFiles() {
        for (int i = 0; i < 3 * 145; ++i)
            interleaved_records += static_cast<char>(i * 13);
        std::array<std::int16_t, 32> divisors{};
        divisors.fill(4);
        divisors[5] = 0;
        std::string packed;
        for (int i = 0; i < 2 * 81; ++i)
            packed += static_cast<char>(i + 1);
        packed_with_zero_divisor = test_support::packed_old_file(divisors, packed, 2);
        packed_count_disagreeing = test_support::packed_old_file(divisors, packed, 7);
        both_sizes_packed.assign(145 * 81, '\x11');
        both_sizes_interleaved.assign(145 * 81, '\x11');
        const std::int32_t agreeing = 144, other = 3;
        std::memcpy(both_sizes_packed.data() + 64, &agreeing, 4);
        std::memcpy(both_sizes_interleaved.data() + 64, &other, 4);
    }

    std::vector<ArchiveMember> members() const {
        return {{"inpgti.ini", k_well_description},
                {"1.tim", test_support::byte_planes(interleaved_records, 145)},
                {"1.dep", packed_with_zero_divisor},
                {"1.ldp", packed_count_disagreeing},
                {"2.tim", ""},
                {"3.tim", both_sizes_packed},
                {"3.dep", both_sizes_interleaved},
                {"1.rac", packed_with_zero_divisor}};
    }
};

float float_at(const std::string& bytes, std::size_t offset) {
    float value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

class ExternalArchivers : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(work()); }
    std::string work() const { return temp / "work/"; }

    TempFolder temp;
};

TEST_F(ExternalArchivers, MissingArchiverFailsSevenZipPackagesAndLeavesRarSilent) {
    const auto package = temp / "p.7z_reg";
    test_support::write_7z_archive(package, {{"inpgti.ini", k_well_description}});
    const auto missing = temp / "nowhere/7za";
    for (const auto& handler : {unpack_7z_reg, unpack_compr_rt}) {
        try {
            handler(package, work(), missing);
            ADD_FAILURE() << "no error for a missing archiver";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Файл 7za.exe не найден");
        }
    }
    const auto rar = temp / "p.rar";
    test_support::write_rar_archive(rar, {{"1.tim", std::string(145, 'a')}});
    EXPECT_NO_THROW(RegRARDecompr(rar, missing).extract(work()));
    EXPECT_TRUE(names_in(work()).empty());
}

TEST_F(ExternalArchivers, SevenZRegDecodesEachCompr1IntoItsRealtimeFile) {
    const auto time_file = test_support::sample_columns(40, 3);
    const auto depth_file = test_support::sample_columns(25, 2, 5000);
    const auto package = temp / "p.7z_reg";
    test_support::write_7z_archive(
        package,
        {{"inpgti.ini", k_well_description},
         {"x.realtim.compr1", test_support::single_stream(time_file)},
         {"d/y.realdep.compr1", test_support::single_stream(depth_file, {ValueCoding::quantized(2)})}});
    unpack_7z_reg(package, work());
    EXPECT_EQ(names_in(work()), (std::set<std::string>{"inpgti.ini", "x.realtim", "x.realtim.compr1",
                                                       "y.realdep", "y.realdep.compr1"}));
    expect_realtime_file(work() + "x.realtim", time_file);
    expect_realtime_file(work() + "y.realdep", depth_file, 0.01f);
}

TEST_F(ExternalArchivers, ComprRtAssemblesEachRealtimeFileAndDeletesThePieces) {
    const auto time_file = test_support::sample_columns(30, 3);
    const auto depth_file = test_support::sample_columns(20, 2, 7000);
    auto members = split_members("x.realtim", time_file, {ValueCoding::raw().logarithmic(false)});
    const auto depth_members = split_members("y.realdep", depth_file, {});
    members.insert(members.end(), depth_members.begin(), depth_members.end());
    members.push_back({"inpgti.ini", k_well_description});
    const auto package = temp / "p.compr_rt";
    test_support::write_7z_archive(package, members);

    unpack_compr_rt(package, work());
    EXPECT_EQ(names_in(work()), (std::set<std::string>{"inpgti.ini", "x.realtim", "y.realdep"}));
    expect_realtime_file(work() + "x.realtim", time_file, 1e-5f);
    expect_realtime_file(work() + "y.realdep", depth_file);
}

TEST_F(ExternalArchivers, RarOldFilesBecomePlainRecordsOrStayAsTheyAre) {
    const OldFiles old;
    const auto package = temp / "p.rar";
    test_support::write_rar_archive(package, old.members());
    RegRARDecompr(package).extract(work());

    EXPECT_EQ(read_file(work() + "1.tim"), old.interleaved_records);
    const auto unpacked = read_file(work() + "1.dep");
    ASSERT_EQ(unpacked.size(), 2u * 145u);
    for (std::size_t r = 0; r < 2; ++r) {
        EXPECT_EQ(float_at(unpacked, r * 145 + 13 + 4 * 5), 0.0f); // the column with divisor 0
        EXPECT_NE(float_at(unpacked, r * 145 + 13 + 4 * 4), 0.0f);
    }
    EXPECT_EQ(read_file(work() + "1.ldp"), old.packed_count_disagreeing);
    EXPECT_EQ(read_file(work() + "2.tim"), "");
    EXPECT_EQ(read_file(work() + "3.tim").size(), 144u * 145u);
    EXPECT_EQ(test_support::byte_planes(read_file(work() + "3.dep"), 145), old.both_sizes_interleaved);
    EXPECT_EQ(read_file(work() + "1.rac"), old.packed_with_zero_divisor); // not an older data file
}

TEST_F(ExternalArchivers, DamagedArchiveFailsItsPackageNamingIt) {
    const auto whole = temp / "whole.7z";
    test_support::write_7z_archive(whole, {{"inpgti.ini", k_well_description}, {"x.realtim.compr1", "x"}});
    const auto bytes = read_file(whole);
    const auto package = temp / "damaged.pkg";
    write_file(package, bytes.substr(0, bytes.size() / 2));

    for (const auto& handler : {unpack_7z_reg, unpack_compr_rt}) {
        try {
            handler(package, work(), archiver_path());
            ADD_FAILURE() << "no error for a damaged archive";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(package), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(RegRARDecompr(package).extract(work()), std::runtime_error);
}

// The archiver extracts the good members of a partly damaged archive and ends with an error: the
// package must fail (and be tried again) rather than count as unpacked with a member missing.
TEST_F(ExternalArchivers, PartlyDamagedArchiveFailsItsPackage) {
    const auto package = temp / "partly.rar";
    test_support::write_rar_archive(package,
                                    {{"inpgti.ini", k_well_description},
                                     {"1.rac", "trip"},
                                     {"x.realtim", "records", test_support::MemberKind::file, false, true}});
    try {
        RegRARDecompr(package).extract(work());
        FAIL() << "a damaged member went unnoticed";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(package), std::string::npos) << error.what();
    }
    EXPECT_EQ(read_file(work() + "1.rac"), "trip");
}

TEST(ExternalArchiversJob, UnpacksAllThreeKindsAndGoesOnPastADamagedOne) {
    JobSandbox sandbox;
    const auto description = well_description("Северная", "12");
    const ArchiveMember ini{description.name, description.content};
    const auto realtime = test_support::sample_columns(30, 2);
    const auto depth = test_support::sample_columns(10, 2, 9000);
    test_support::write_7z_archive(sandbox.input("a.7z_reg"),
                                   {ini, {"x.realtim.compr1", test_support::single_stream(realtime)}});
    auto pieces = split_members("y.realdep", depth, {});
    pieces.push_back(ini);
    test_support::write_7z_archive(sandbox.input("b.compr_rt"), pieces);
    write_file(sandbox.input("c.7z_reg"), "damaged");
    const OldFiles old;
    auto old_members = old.members();
    old_members.front() = ini;
    test_support::write_rar_archive(sandbox.input("d.rar"), old_members);

    const auto& report = sandbox.run_job();

    ASSERT_EQ(sandbox.observer.errors.size(), 1u);
    EXPECT_NE(sandbox.observer.errors[0].text.find(sandbox.input("c.7z_reg")), std::string::npos);
    EXPECT_EQ(sandbox.failed_packages, 1);
    FileData recorded;
    EXPECT_FALSE(sandbox.registry.find(sandbox.input("c.7z_reg"), recorded)); // tried again next run
    EXPECT_NE(std::find(report.begin(), report.end(), data_line("12", "x.realtim")), report.end());
    const auto well = sandbox.data("Северная/12/");
    expect_realtime_file(well + "x.realtim", realtime);
    expect_realtime_file(well + "y.realdep", depth);
    EXPECT_EQ(read_file(well + "1.tim"), old.interleaved_records);
}

} // namespace
