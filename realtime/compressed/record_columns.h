#pragma once

// What the two compressed forms share beyond their column codecs: parameter descriptors as they
// store them, and moving decoded columns into the records of a storage.

#include "library/io/binary_stream.h"
#include "realtime/file_storage.h"

#include <cstdint>
#include <span>
#include <type_traits>

// Three free texts, key, float32 low, float32 high.
FileStorageParam read_compressed_param(lib::io::BinaryInputStream& in);

// Replaces the storage's records by one new record per time, each with param_count values of 0.0.
void make_records(FileStorage& storage, std::span<const std::uint32_t> times);

// Gives record k element k of the column as the field; the column holds one element per record.
template <class T>
void set_record_field(FileStorage& storage, T FileStorageItem::*field,
                      std::type_identity_t<std::span<const T>> column) {
    for (std::size_t k = 0; k < column.size(); ++k) {
        storage.record(static_cast<std::int32_t>(k))->*field = column[k];
    }
}

// Gives record k element k of the column as value `parameter`.
void set_record_values(FileStorage& storage, std::size_t parameter, std::span<const float> column);
