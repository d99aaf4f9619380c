#include "tests/support/realtime_columns.h"

#include <cmath>
#include <random>

namespace test_support {

RealtimeColumns columns_of(const FileStorage& storage) {
    RealtimeColumns columns;
    for (std::int32_t j = 0; j < storage.param_count(); ++j) {
        const FileStorageParam& param = storage.param(j);
        columns.params.push_back({param.texts, param.key, param.low, param.high});
    }
    columns.text_values = storage.text_values.text();
    columns.values.resize(columns.params.size());
    for (std::int32_t k = 0; k < storage.record_count(); ++k) {
        const FileStorageItem* item = storage.record(k);
        columns.time.push_back(item->time);
        columns.depth_z.push_back(item->depth_z);
        columns.depth_cur.push_back(item->depth_cur);
        columns.lag_depth.push_back(item->lag_depth);
        columns.operation.push_back(item->operation);
        for (std::size_t j = 0; j < columns.values.size(); ++j) {
            columns.values[j].push_back(item->values[j]);
        }
    }
    return columns;
}

RealtimeColumns sample_columns(std::size_t records, std::size_t parameters, std::uint32_t first_time) {
    RealtimeColumns columns;
    std::mt19937 random(static_cast<unsigned>(records * 31 + parameters));
    std::normal_distribution<float> noise(0.0f, 0.1f);
    for (std::size_t j = 0; j < parameters; ++j) {
        const std::string key = "param" + std::to_string(j);
        columns.params.push_back({{"Параметр " + std::to_string(j), "ед.", ""}, key, 0.0f, 100.0f});
    }
    columns.text_values = "Площадь=Северная\r\nСкважина=12\r\n";
    columns.values.resize(parameters);
    float depth = 1500.0f;
    for (std::size_t k = 0; k < records; ++k) {
        depth += 0.01f;
        columns.time.push_back(first_time + static_cast<std::uint32_t>(5 * k));
        columns.depth_z.push_back(depth);
        columns.depth_cur.push_back(depth - 0.5f);
        columns.lag_depth.push_back(depth - 2.0f);
        columns.operation.push_back(static_cast<std::uint8_t>(k / 100 % 8));
        for (std::size_t j = 0; j < parameters; ++j) {
            const float phase = static_cast<float>(k) / (20.0f + static_cast<float>(j));
            columns.values[j].push_back(50.0f + 30.0f * std::sin(phase) + noise(random));
        }
    }
    return columns;
}

} // namespace test_support
