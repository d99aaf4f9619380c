// Adds to the sample input folder of scripts/demo the packages a station sends through an
// archiver: a 7-Zip ".7z_reg" with a compressed realtime file, a 7-Zip ".compr_rt" with a realtime
// file cut into split column files, and a RAR ".rar" with older station files in both byte-plane
// layouts and a side file whose name has no Unicode form. The packages continue the wells that
// make_sample_packages starts, so their records merge into the wells' files.
//
// Usage: make_sample_archives <input folder>

#include "library/encoding.h"
#include "library/time_works.h"
#include "tests/support/archive_writers.h"
#include "tests/support/drilling_samples.h"
#include "tests/support/old_record_writer.h"
#include "tests/support/single_stream_writer.h"
#include "tests/support/split_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using test_support::ArchiveMember;
using test_support::DrillingRecord;
using test_support::ValueCoding;

constexpr std::uint32_t k_step = 10;             // seconds between records
constexpr std::size_t k_records_per_shift = 720; // two hours

std::uint32_t shift_start(int day, int hour) {
    return lib::to_seconds(2026, 12, day, hour, 0, 0);
}

ArchiveMember text_member(const std::string& name, const std::string& utf8_text) {
    return {name, lib::utf8_to_cp1251(utf8_text)};
}

// Depths and loads raw, gas readings quantized.
std::vector<ValueCoding> station_codings() {
    std::vector<ValueCoding> codings;
    for (std::size_t i = 0; i < test_support::drilling_parameters().size(); ++i)
        codings.push_back(i < 6 ? ValueCoding::raw() : ValueCoding::quantized(2));
    return codings;
}

template <class T> void put(std::string& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Plain 145-byte records of an older station file: operation, time, depths in centimetres, 32
// channels, a spare word.
std::string plain_old_records(const std::vector<DrillingRecord>& records) {
    std::string bytes;
    for (const auto& record : records) {
        bytes += static_cast<char>(record.operation);
        put(bytes, record.time);
        put(bytes, static_cast<std::uint32_t>(record.depth_z * 100));
        put(bytes, static_cast<std::uint32_t>(record.depth_cur * 100));
        for (std::size_t channel = 0; channel < 32; ++channel)
            put(bytes, channel < record.values.size() ? record.values[channel] : 0.0f);
        put(bytes, std::uint32_t{0});
    }
    return bytes;
}

// The same records packed: each channel a 16-bit sample in tenths, divisor 10; unused channels 0.
std::string packed_old_file(const std::vector<DrillingRecord>& records) {
    std::array<std::int16_t, 32> divisors{};
    std::fill_n(divisors.begin(), test_support::drilling_parameters().size(), std::int16_t{10});
    std::string packed;
    for (const auto& record : records) {
        packed += static_cast<char>(record.operation);
        put(packed, record.time);
        put(packed, static_cast<std::uint32_t>(record.depth_z * 100));
        put(packed, static_cast<std::uint32_t>(record.depth_cur * 100));
        for (std::size_t channel = 0; channel < 32; ++channel) {
            const float value = channel < record.values.size() ? record.values[channel] : 0.0f;
            put(packed, static_cast<std::uint16_t>(std::lround(std::fmod(std::fabs(value), 6000.0f) * 10)));
        }
        put(packed, std::uint32_t{0});
    }
    return test_support::packed_old_file(divisors, packed, static_cast<std::int32_t>(records.size()));
}

void write_archives(const std::string& folder) {
    const std::string day = folder + "2026-12-03/";
    std::filesystem::create_directories(day);

    // Well 15 of the northern area, the shift after the one of its rzip package.
    const auto n15 =
        test_support::drilling_records(shift_start(1, 13), k_records_per_shift, 1830, 16, k_step);
    test_support::write_7z_archive(
        day + "north_15_1300.7z_reg",
        {text_member("inpgti.ini", "[скважина]\r\nплощадь=Северная\r\nномер=15\r\n"),
         {"1.realtim.compr1",
          test_support::single_stream(test_support::drilling_columns(n15), station_codings())},
         text_member("15.rem", "13:20 отбор шлама\r\n")});

    // Well 3 of the southern area, split into column files.
    const auto s3 = test_support::drilling_records(shift_start(2, 8), k_records_per_shift, 3210, 5, k_step);
    std::vector<ArchiveMember> pieces = {text_member("inpgti.ini", "[pore]\r\nfield=Южная\r\nhole=3\r\n")};
    for (const auto& piece :
         test_support::split_pieces(test_support::drilling_columns(s3), station_codings()))
        pieces.push_back({"1.realtim" + piece.suffix, piece.bytes});
    test_support::write_7z_archive(day + "south_3_0800.compr_rt", pieces);

    // Well 7 of the northern area, an older station: its files in both byte-plane layouts.
    const auto n7 = test_support::drilling_records(shift_start(3, 6), k_records_per_shift, 950, 7, k_step);
    ArchiveMember trip = text_member("Рейс 1.rac", "Рейс 1: долото 295.3 мм, шарошечное\r\n");
    trip.cp1251_name = true;
    test_support::write_rar_archive(
        day + "north_7_0600.rar", {text_member("inpgti.ini", "[скважина]\r\nплощадь=Северная\r\nномер=7\r\n"),
                                   {"1.tim", test_support::byte_planes(plain_old_records(n7), 145)},
                                   {"1.dep", packed_old_file(n7)},
                                   trip});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_sample_archives <input folder>\n");
        return 2;
    }
    try {
        write_archives(std::string(argv[1]) + "/");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_sample_archives: %s\n", error.what());
        return 1;
    }
}
