// Makes the sample input folder of scripts/demo: rzip packages from two areas and three wells, as
// logging stations send them over a few days, some in dated sub-folders. Realtime files arrive as
// sector files and in the compressed single-stream form, older files in the old packed format, with
// the side files a station adds (trip data, remarks, LAS exports).
//
// Usage: make_sample_packages <input folder>

#include "library/encoding.h"
#include "library/time_works.h"
#include "tests/support/drilling_samples.h"
#include "tests/support/rzip_writer.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using test_support::DrillingRecord;
using test_support::RzipEntry;
using test_support::ValueCoding;

constexpr std::uint32_t k_step = 10;              // seconds between records
constexpr std::size_t k_records_per_shift = 1440; // four hours

std::uint32_t shift_start(int day, int hour) {
    return lib::to_seconds(2026, 12, day, hour, 0, 0);
}

RzipEntry text_entry(const std::string& name, const std::string& utf8_text) {
    return {lib::utf8_to_cp1251(name), lib::utf8_to_cp1251(utf8_text)};
}

RzipEntry well_description(const std::string& area, const std::string& well) {
    return text_entry("inpgti.ini", "[скважина]\r\nплощадь=" + area + "\r\nномер=" + well +
                                        "\r\nзаказчик=ООО \"Недра\"\r\n");
}

RzipEntry sector_entry(const std::string& name, const std::vector<DrillingRecord>& records) {
    return {name, test_support::drilling_sector_file(records)};
}

// Gas readings lose little in quantization; depths and loads are smooth enough for wavelets.
RzipEntry compressed_entry(const std::string& name, const std::vector<DrillingRecord>& records) {
    std::vector<ValueCoding> codings;
    for (std::size_t i = 0; i < test_support::drilling_parameters().size(); ++i)
        codings.push_back(i < 6 ? ValueCoding::raw() : ValueCoding::quantized(2));
    return test_support::newcompr1_entry(name, test_support::drilling_columns(records), codings);
}

// An older station file: the time, depths and first channels of each record in the packed format.
RzipEntry old_format_entry(const std::string& name, const std::vector<DrillingRecord>& records) {
    std::array<float, 32> offsets{}, multipliers{};
    multipliers.fill(0.1f);
    std::vector<test_support::OldFormatRecord> rows;
    for (const auto& record : records) {
        test_support::OldFormatRecord row;
        row.first = record.operation;
        row.values = {record.time, static_cast<std::uint32_t>(record.depth_z * 100),
                      static_cast<std::uint32_t>(record.depth_cur * 100)};
        for (std::size_t i = 0; i < record.values.size(); ++i)
            row.samples[i] =
                static_cast<std::uint16_t>(std::lround(std::fmod(record.values[i], 6000.0f) * 10));
        rows.push_back(row);
    }
    return {name, test_support::old_format_file(offsets, multipliers, rows),
            test_support::RzipKind::old_format};
}

RzipEntry las_entry(const std::string& name, const std::string& well,
                    const std::vector<DrillingRecord>& records) {
    std::string las = "~Version\r\nVERS. 2.0 :\r\nWRAP. NO :\r\n~Well\r\nWELL. " + well +
                      " :\r\n~Curve\r\nDEPT.M :\r\nROP.M/H :\r\nGASS.% :\r\n~A\r\n";
    for (std::size_t i = 0; i < records.size(); i += 60) {
        char line[96];
        std::snprintf(line, sizeof line, "%9.2f %7.2f %7.3f\r\n", records[i].depth_z, records[i].values[4],
                      records[i].values[6]);
        las += line;
    }
    return {name, las};
}

struct Package {
    std::string path;
    std::vector<RzipEntry> entries;
};

std::vector<Package> sample_packages() {
    // Well 12 of the northern area: two shifts of the same trip, the second overlapping the first
    // by ten minutes, so its file merges into the well's.
    const auto n12_first =
        test_support::drilling_records(shift_start(1, 8), k_records_per_shift, 2410, 12, k_step);
    const auto n12_second =
        test_support::drilling_records(shift_start(1, 12) - 600, k_records_per_shift, 2460, 13, k_step);
    // Well 15 of the northern area: a compressed realtime file and an older station file.
    const auto n15 = test_support::drilling_records(shift_start(1, 9), k_records_per_shift, 1785, 15, k_step);
    // Well 3 of the southern area, described the older way ([pore] field, hole).
    const auto s3_first =
        test_support::drilling_records(shift_start(2, 0), k_records_per_shift, 3120, 3, k_step);
    const auto s3_second =
        test_support::drilling_records(shift_start(2, 4), k_records_per_shift, 3165, 4, k_step);

    return {
        {"2026-12-01/north_12_0801.zreg",
         {well_description("Северная", "12"), sector_entry("1.realtim", n12_first),
          sector_entry("1.realdep", n12_first), text_entry("1.rac", "Рейс 1: долото 215.9 мм, PDC\r\n"),
          text_entry("12.rem", "08:40 наращивание\r\n10:15 промывка\r\n")}},
        {"2026-12-01/north_15_0901.zreg",
         {well_description("Северная", "15"), compressed_entry("1.realtim", n15),
          old_format_entry("1.tim", n15), las_entry("15.las", "15", n15)}},
        {"2026-12-02/north_12_1201.zreg",
         {well_description("Северная", "12"), sector_entry("1.realtim", n12_second),
          sector_entry("1.realdep", n12_second),
          text_entry("12.rem", "13:05 смена долота не требуется\r\n")}},
        {"south_3_0000.zreg",
         {text_entry("inpgti.ini", "[pore]\r\nfield=Южная\r\nhole=3\r\n"),
          compressed_entry("1.realtim", s3_first), sector_entry("1.reallag", s3_first),
          text_entry("pumps.nbl", "Насос 1: 32 л/с\r\n")}},
        {"south_3_0400.ZREG",
         {text_entry("inpgti.ini", "[pore]\r\nfield=Южная\r\nhole=3\r\n"),
          compressed_entry("1.realtim", s3_second), sector_entry("1.reallag", s3_second)}},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_sample_packages <input folder>\n");
        return 2;
    }
    try {
        const std::string folder = std::string(argv[1]) + "/";
        for (const auto& package : sample_packages()) {
            const auto path = folder + package.path;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            test_support::write_rzip_package(path, package.entries);
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_sample_packages: %s\n", error.what());
        return 1;
    }
}
