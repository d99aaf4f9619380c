#pragma once

// What the two compressed forms share beyond their column codecs: parameter descriptors as they
// store them, and moving decoded columns into the records of a storage.

#include "library/io/binary_stream.h"
#include "realtime/compressed/column_decoder.h"
#include "realtime/file_storage.h"

#include <cstdint>
#include <span>
#include <vector>

// Three free texts, key, float32 low, float32 high.
FileStorageParam read_compressed_param(lib::io::BinaryInputStream& in);

// Replaces the storage's records by one new record per time, each with param_count values of 0.0.
void make_records(FileStorage& storage, std::span<const std::uint32_t> times);

// Reads a plane column of one element per record into buffer (which holds one element per record)
// and gives record k element k as the field.
template <PlaneElement T>
void read_record_field(ColumnDecoder& columns, FileStorage& storage, T FileStorageItem::*field,
                       std::vector<T>& buffer) {
    columns.read_plane_column(std::span<T>(buffer));
    for (std::size_t k = 0; k < buffer.size(); ++k) {
        storage.record(static_cast<std::int32_t>(k))->*field = buffer[k];
    }
}

// Takes the decoded value columns of parameters 0, 1, 2, ... and moves them into the records a group
// of columns at a time, so that each record's row is visited once per group rather than once per
// value.
class ValueColumns {
public:
    ValueColumns(FileStorage& storage, std::size_t records);
    // The buffer for the next parameter's column, one entry per record.
    std::span<float> next();
    // Moves the columns taken so far into the records.
    void flush();

private:
    static constexpr std::size_t k_group = 16;

    FileStorage& storage;
    std::size_t records;
    std::vector<float> group; // k_group columns of `records` values each
    std::size_t first = 0;    // parameter of the group's first column
    std::size_t filled = 0;   // columns of the group handed out
};
