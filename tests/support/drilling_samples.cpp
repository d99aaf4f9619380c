#include "tests/support/drilling_samples.h"

#include "library/encoding.h"
#include "library/io/memory_streams.h"
#include "realtime/file_storage.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace test_support {

const std::vector<DrillingParameter>& drilling_parameters() {
    static const std::vector<DrillingParameter> parameters = {
        {"DBTM", "Глубина долота", "м", 0, 5000},
        {"DMEA", "Глубина забоя", "м", 0, 5000},
        {"HKLD", "Вес на крюке", "т", 0, 250},
        {"WOB", "Нагрузка на долото", "т", 0, 30},
        {"ROP", "Механическая скорость", "м/ч", 0, 60},
        {"SPP", "Давление на входе", "атм", 0, 250},
        {"GASS", "Газ суммарный", "%", 0, 100},
        {"C1", "Метан", "%", 0, 100},
        {"C2", "Этан", "%", 0, 20},
        {"C3", "Пропан", "%", 0, 10},
        {"IC4", "Бутан", "%", 0, 5},
        {"IC5", "Пентан", "%", 0, 2},
    };
    return parameters;
}

std::vector<DrillingRecord> drilling_records(std::uint32_t first_time, std::size_t count, float start_depth,
                                             std::uint32_t seed, std::uint32_t step) {
    constexpr std::uint8_t k_drilling = 1, k_connection = 5;
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<DrillingRecord> records;
    records.reserve(count);
    float hole_depth = start_depth;
    float gas_show = 0.0f; // a gas-bearing layer passed now and then
    for (std::size_t i = 0; i < count; ++i) {
        // A connection (new stand of pipe) for one minute in every ten: bit off bottom, pumps off.
        const bool connection = (i * step) % 600 < 60;
        const float rop = connection ? 0.0f : std::max(0.0f, 12.0f + 3.0f * noise(random));
        hole_depth += rop * static_cast<float>(step) / 3600.0f;
        const float bit_depth = connection ? hole_depth - 1.5f : hole_depth;
        const float wob = connection ? 0.0f : std::max(0.0f, 12.0f + 1.5f * noise(random));
        const float hook_load = 95.0f + hole_depth * 0.02f - wob + 0.8f * noise(random);
        const float pressure = connection ? 5.0f : 160.0f + 4.0f * noise(random);
        gas_show = std::max(0.0f, gas_show * 0.97f + (random() % 200 == 0 ? 8.0f : 0.0f));
        const float total_gas = std::max(0.05f, 0.4f + gas_show + 0.05f * noise(random));

        DrillingRecord record;
        record.time = first_time + static_cast<std::uint32_t>(i) * step;
        record.depth_z = hole_depth;
        record.depth_cur = bit_depth;
        record.lag_depth = std::max(start_depth, hole_depth - 12.0f);
        record.operation = connection ? k_connection : k_drilling;
        record.values = {bit_depth,
                         hole_depth,
                         hook_load,
                         wob,
                         rop,
                         pressure,
                         total_gas,
                         total_gas * 0.82f,
                         total_gas * 0.09f,
                         total_gas * 0.05f,
                         total_gas * 0.025f,
                         total_gas * 0.01f};
        records.push_back(std::move(record));
    }
    return records;
}

void fill_drilling_storage(FileStorage& storage, const std::vector<DrillingRecord>& records) {
    storage.clear();
    for (const auto& parameter : drilling_parameters()) {
        storage.add_param(
            FileStorageParam{{lib::utf8_to_cp1251(parameter.name), lib::utf8_to_cp1251(parameter.unit), ""},
                             parameter.key,
                             parameter.low,
                             parameter.high});
    }
    for (const auto& record : records) {
        const auto index = storage.add_record(FileStorageItem{
            record.time, record.depth_z, record.depth_cur, record.lag_depth, record.operation, {}});
        const auto values = storage.values(index);
        std::copy(record.values.begin(), record.values.end(), values.begin());
    }
    storage.text_values.set(lib::utf8_to_cp1251("Станция"), "GTI-2");
}

std::string drilling_sector_file(const std::vector<DrillingRecord>& records) {
    FileStorage storage;
    fill_drilling_storage(storage, records);
    lib::io::BinaryMemoryOutputStream out(static_cast<std::uint32_t>(records.size() * 80 + 4096));
    storage.write(out);
    return out.size() == 0 ? std::string() : std::string(out.data(), out.size());
}

RealtimeColumns drilling_columns(const std::vector<DrillingRecord>& records) {
    FileStorage storage;
    fill_drilling_storage(storage, records);
    return columns_of(storage);
}

} // namespace test_support
