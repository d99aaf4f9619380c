#include "realtime/compressed/record_columns.h"

#include <algorithm>

FileStorageParam read_compressed_param(lib::io::BinaryInputStream& in) {
    FileStorageParam param;
    in >> param.texts[0] >> param.texts[1] >> param.texts[2] >> param.key >> param.low >> param.high;
    return param;
}

void make_records(FileStorage& storage, std::span<const std::uint32_t> times) {
    storage.reset_records(static_cast<std::int32_t>(times.size()));
    for (std::size_t k = 0; k < times.size(); ++k) {
        storage.record(static_cast<std::int32_t>(k))->time = times[k];
    }
}

ValueColumns::ValueColumns(FileStorage& storage, std::size_t records)
    : storage(storage), records(records),
      group(records * std::min<std::size_t>(k_group, static_cast<std::size_t>(storage.param_count()))) {}

std::span<float> ValueColumns::next() {
    if (filled == k_group) {
        flush();
    }
    return std::span<float>(group).subspan(filled++ * records, records);
}

void ValueColumns::flush() {
    if (filled == 0) {
        return;
    }
    for (std::size_t k = 0; k < records; ++k) {
        float* row = storage.values(static_cast<std::int32_t>(k)).data() + first;
        for (std::size_t column = 0; column < filled; ++column) {
            row[column] = group[column * records + k];
        }
    }
    first += filled;
    filled = 0;
}
