#include "tests/support/rzip_writer.h"

#include "tests/support/old_record_writer.h"

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <zlib.h>

namespace test_support {
namespace {

template <class T> void append(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string compressed(const std::string& content) {
    std::string packed(compressBound(content.size()), '\0');
    uLongf length = packed.size();
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &length,
                 reinterpret_cast<const Bytef*>(content.data()), content.size()) != Z_OK)
        throw std::runtime_error("rzip writer: compress failed");
    packed.resize(length);
    return packed;
}

} // namespace

RzipEntry newcompr1_entry(const std::string& realtime_name, const RealtimeColumns& columns,
                          const std::vector<ValueCoding>& codings) {
    return {realtime_name, single_stream(columns, codings), RzipKind::newcompr1};
}

std::string rzip_package(const std::vector<RzipEntry>& entries, std::uint16_t scale_divisor) {
    std::string out;
    append(out, scale_divisor);
    for (const RzipEntry& entry : entries) {
        const std::string name = entry.kind == RzipKind::newcompr1 ? entry.name + ".newcompr1" : entry.name;
        if (name.size() > 255)
            throw std::runtime_error("rzip writer: entry name longer than 255 bytes");
        const std::string packed = entry.packed ? *entry.packed : compressed(entry.content);
        append(out, static_cast<std::uint8_t>(entry.kind == RzipKind::old_format ? 1 : 0));
        append(out, static_cast<std::uint8_t>(name.size()));
        out += name;
        append(out, entry.packed_length.value_or(static_cast<std::int32_t>(packed.size())));
        append(out, entry.unpacked_length.value_or(static_cast<std::int32_t>(entry.content.size())));
        out += packed;
    }
    return out;
}

void write_rzip_package(const std::string& path, const std::vector<RzipEntry>& entries,
                        std::uint16_t scale_divisor) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << rzip_package(entries, scale_divisor);
    if (!file.flush())
        throw std::runtime_error("rzip writer: cannot write '" + path + "'");
}

std::string old_format_file(const std::array<float, 32>& offsets, const std::array<float, 32>& multipliers,
                            const std::vector<OldFormatRecord>& records) {
    std::string out;
    for (float offset : offsets)
        append(out, offset);
    for (float multiplier : multipliers)
        append(out, multiplier);

    std::string records_bytes;
    for (const OldFormatRecord& record : records) {
        append(records_bytes, record.first);
        for (std::uint32_t value : record.values)
            append(records_bytes, value);
        for (std::uint16_t sample : record.samples)
            append(records_bytes, sample);
        append(records_bytes, record.last);
    }
    out += byte_planes(records_bytes, 81);
    return out;
}

} // namespace test_support
