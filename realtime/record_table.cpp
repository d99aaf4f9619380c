#include "realtime/record_table.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace {

// realloc keeps the bytes and, for large blocks, moves pages instead of copying them. The records
// and their values are plain data, so moving their bytes moves them.
template <class T> T* resize_block(T* block, std::size_t elements) {
    void* moved = std::realloc(block, std::max<std::size_t>(elements, 1) * sizeof(T));
    if (moved == nullptr) {
        throw std::bad_alloc();
    }
    return static_cast<T*>(moved);
}

} // namespace

RecordTable::~RecordTable() {
    std::free(items);
    std::free(cells);
}

void RecordTable::reserve(std::int64_t records) {
    records = std::min<std::int64_t>(records, std::numeric_limits<std::int32_t>::max());
    if (records <= capacity) {
        return;
    }
    items = resize_block(items, static_cast<std::size_t>(records));
    cells = resize_block(cells, static_cast<std::size_t>(records) * stride);
    capacity = static_cast<std::int32_t>(records);
    bind_values();
}

void RecordTable::grow() {
    if (capacity == std::numeric_limits<std::int32_t>::max()) {
        throw std::length_error("слишком много записей");
    }
    reserve(static_cast<std::int64_t>(capacity) + capacity / 2 + 16);
}

void RecordTable::widen(std::int32_t new_width) {
    if (new_width <= stride) {
        return;
    }
    const std::size_t old_width = stride;
    cells = resize_block(cells, static_cast<std::size_t>(capacity) * new_width);
    stride = new_width;
    // Rows move to higher addresses, so working from the last row down never overwrites a row not
    // yet moved.
    for (std::int32_t row = used - 1; row >= 0; --row) {
        float* source = cells + row * old_width;
        float* target = cells + static_cast<std::size_t>(row) * stride;
        std::memmove(target, source, old_width * sizeof(float));
        std::fill(target + old_width, target + stride, 0.0f);
    }
    bind_values();
}

void RecordTable::reset(std::int32_t records) {
    used = 0;
    reserve(records);
    for (std::int32_t i = 0; i < records; ++i) {
        append({});
    }
}

void RecordTable::clear() {
    std::free(items);
    std::free(cells);
    items = nullptr;
    cells = nullptr;
    used = 0;
    capacity = 0;
    stride = 0;
}

void RecordTable::bind_values() {
    for (std::int32_t i = 0; i < used; ++i) {
        items[i].values = values(i);
    }
}
