#pragma once

// Plausible mud-logging records for samples, end-to-end tests and benchmarks: a well drilled
// at a steady rate with connections every few minutes, its hook load, weight on bit, rate of
// penetration, pump pressure and gas readings (total gas, methane to pentane). Test-only.

#include "tests/support/realtime_columns.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct DrillingParameter {
    const char* key;  // short mnemonic, as stations name their channels
    const char* name; // UTF-8 description
    const char* unit; // UTF-8
    float low, high;  // the scale a display would use
};

// Bit depth, hole depth, hook load, weight on bit, rate of penetration, pump pressure, total gas, C1
// to C5, in this order.
const std::vector<DrillingParameter>& drilling_parameters();

struct DrillingRecord {
    std::uint32_t time = 0;
    float depth_z = 0, depth_cur = 0, lag_depth = 0;
    std::uint8_t operation = 0;
    std::vector<float> values; // one per drilling parameter
};

// count records, one every step seconds from first_time, drilling down from start_depth metres.
// The same seed gives the same records.
std::vector<DrillingRecord> drilling_records(std::uint32_t first_time, std::size_t count, float start_depth,
                                             std::uint32_t seed, std::uint32_t step = 10);

// A storage holding the drilling parameters and the records, with the well's text values.
void fill_drilling_storage(FileStorage& storage, const std::vector<DrillingRecord>& records);

// The records as a realtime file in sector form, as a station writes it.
std::string drilling_sector_file(const std::vector<DrillingRecord>& records);

// The records by columns, for the writers of the compressed forms (single_stream, newcompr1_entry).
RealtimeColumns drilling_columns(const std::vector<DrillingRecord>& records);

} // namespace test_support
