#include "realtime/compressed/record_columns.h"

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

void set_record_values(FileStorage& storage, std::size_t parameter, std::span<const float> column) {
    for (std::size_t k = 0; k < column.size(); ++k) {
        storage.values(static_cast<std::int32_t>(k))[parameter] = column[k];
    }
}
