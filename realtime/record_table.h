#pragma once

// The records of a realtime data file side by side in one block, and their values in a second block
// of width floats per record. Growing either block moves it without copying once it is large (the
// allocator remaps its pages), so a file of a million records is read without a second copy of its
// values ever being held.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

// One record.
struct FileStorageItem {
    std::uint32_t time = 0; // as the station wrote it; the only ordering key, compared unsigned
    float depth_z = 0.0f;   // bottom-hole depth
    float depth_cur = 0.0f; // current depth
    float lag_depth = 0.0f; // lag-corrected depth
    std::uint8_t operation = 0;
    // One value per storage parameter, in parameter order; the storage holds them.
    std::span<const float> values;
};

class RecordTable {
public:
    RecordTable() = default;
    RecordTable(const RecordTable&) = delete;
    RecordTable& operator=(const RecordTable&) = delete;
    ~RecordTable();

    std::int32_t count() const { return used; }
    std::int32_t width() const { return stride; }

    FileStorageItem& item(std::int32_t index) { return items[index]; }
    const FileStorageItem& item(std::int32_t index) const { return items[index]; }
    std::span<float> values(std::int32_t index) {
        return {cells + static_cast<std::size_t>(index) * stride, static_cast<std::size_t>(stride)};
    }

    // Appends a record with the time, depths and operation of fields and width values of 0.0.
    std::int32_t append(const FileStorageItem& fields) {
        if (used == capacity) {
            grow();
        }
        const auto row = values(used);
        std::fill(row.begin(), row.end(), 0.0f);
        FileStorageItem& item = items[used];
        item = fields;
        item.values = row;
        return used++;
    }

    // Makes room for this many records in all, so that appending up to them moves nothing.
    void reserve(std::int64_t records);
    // Gives every record new_width values, the added ones 0.0; new_width is not below width.
    void widen(std::int32_t new_width);
    // Drops every record, then makes records new ones with all fields and values 0.
    void reset(std::int32_t records);
    // Drops every record and the values' width, and gives the memory back.
    void clear();

private:
    // Makes room for more records; throws std::length_error when the count would not fit in int32.
    void grow();
    // Points every record's values at its row, after the values have moved.
    void bind_values();

    FileStorageItem* items = nullptr;
    float* cells = nullptr;
    std::int32_t used = 0;
    std::int32_t capacity = 0;
    std::int32_t stride = 0;
};
