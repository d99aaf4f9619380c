// Reading a sector file into the storage, and finding the way on after damage.

#include "library/encoding.h"
#include "library/io/input_mapped_file.h"
#include "realtime/file_storage.h"
#include "realtime/sector_format.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char k_gap_warning[] = "В файле были найдены пропуски, которые возникли из-за некорректного "
                                 "редактирования файла. Данные считаны не полностью";
constexpr char k_damage_warning[] = "Файл был повреждён. Программа попыталась найти в нём корректные данные "
                                    "методом последовательного перебора";
// After damage, reading resumes where this many well-formed sector headers follow each other.
constexpr std::int32_t k_headers_to_resume = 5;
// How much of a file read so far stays resident before its pages are let go.
constexpr std::int64_t k_resident_window = 32 << 20;

// A value beyond this in magnitude, or not a number, makes its whole record's values 0.0.
bool plausible(float value) {
    return value <= 1e20 && value >= -1e20;
}

template <class T> T take(const char*& bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    bytes += sizeof value;
    return value;
}

} // namespace

void FileStorage::read_sectors(const std::string& path) {
    lib::io::InputMappedFile in;
    in.open(path, !locking_disabled(path));
    in.seek(0, 1);
    const std::int64_t end = in.tell();
    in.seek(0, 0);
    bool gap = false;
    bool damaged = false;
    std::int64_t start_of_resident = 0;
    while (!in.eof()) {
        const std::int32_t start = in.tell();
        std::int8_t kind;
        std::int16_t length;
        in >> kind >> length;
        if (read_sector(in, kind, length, gap)) {
            // A well file of hundreds of megabytes would otherwise stay resident beside its records.
            if (in.tell() - start_of_resident >= k_resident_window) {
                in.release_read_pages();
                start_of_resident = in.tell();
            }
            if (kind == sector::k_params) {
                // A file holds little but records: reserving for all of them spares moving the table.
                const auto record_size =
                    sector::k_header_size + sector::k_record_head_size + 4 * sector_param_count;
                table.reserve(record_count() + (end - in.tell()) / record_size);
            }
            continue;
        }
        damaged = true;
        for (std::int32_t next = start + 1; !in.eof();) {
            in.seek(next, 0);
            if (count_valid_headers(in, k_headers_to_resume) == k_headers_to_resume) {
                in.seek(next, 0);
                break;
            }
            ++next;
        }
    }
    if (gap) {
        warnings.emplace_back(k_gap_warning);
    }
    if (damaged) {
        warnings.emplace_back(k_damage_warning);
    }
}

bool FileStorage::read_sector(lib::io::InputMappedFile& in, std::int32_t kind, std::int32_t length,
                              bool& gap) {
    if (length < 1 || !sector::is_known_kind(kind)) {
        return false;
    }
    const std::int32_t sector_end = in.tell() + length;
    try {
        switch (kind) {
        case sector::k_record:
            read_record_sector(in, gap);
            break;
        case sector::k_params:
            read_param_sector(in);
            break;
        case sector::k_text:
            read_text_sector(in, length);
            break;
        case sector::k_remark:
            read_remark_sector(in);
            break;
        default:
            read_compact_record_sector(in);
            break;
        }
    } catch (const std::runtime_error&) {
        // A sector that cannot be decoded (a table of too many columns, a text without its end, a
        // sector cut off by the end of the file) is passed over as its header measures it, so the
        // sectors after it are read as usual and what came before stays.
        in.seek(sector_end, 0);
    }
    return true;
}

std::int32_t FileStorage::count_valid_headers(lib::io::BinaryInputStream& in, std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) {
        std::uint8_t kind;
        std::int16_t length;
        in >> kind >> length;
        // A length below 1 cannot be read as a sector, so no chain runs through it.
        if (!sector::is_known_kind(kind) || length < 1) {
            return i;
        }
        in.skip(static_cast<std::uint32_t>(length));
    }
    return n;
}

void FileStorage::read_record_sector(lib::io::InputMappedFile& in, bool& gap) {
    char head[sector::k_record_head_size];
    in.read(head, sizeof head);
    const char* field = head;
    FileStorageItem fields;
    fields.time = take<std::uint32_t>(field);
    fields.depth_z = take<float>(field);
    fields.lag_depth = take<float>(field);
    fields.operation = take<std::uint8_t>(field);
    fields.depth_cur = take<float>(field);
    const std::int32_t count = take<std::uint8_t>(field);
    if (count != sector_param_count) {
        gap = true;
        in.skip(4 * count);
        return;
    }
    if (fields.time < range_from || fields.time > range_to) {
        in.skip(4 * count);
        return;
    }
    float columns[255];
    in.read(columns, 4 * count);
    const auto index = table.append(fields);
    if (std::all_of(columns, columns + count, plausible)) {
        put_columns(table.values(index), columns, count);
    }
}

void FileStorage::read_param_sector(lib::io::InputMappedFile& in) {
    sector_param_count = lib::io::read_byte(in);
    column_map.fill(-1);
    if (sector_param_count > k_max_params) {
        throw FileStorageException("слишком много параметров");
    }
    try {
        for (std::int32_t column = 0; column < sector_param_count; ++column) {
            FileStorageParam param;
            in >> param.texts[0] >> param.texts[2] >> param.texts[1] >> param.key >> param.low >> param.high;
            column_map[column] = find_or_append_param(param);
        }
    } catch (const std::runtime_error&) {
        // A table cut short, or one parameter too many: the columns read so far keep their mapping
        // and the others are left out of the records; the rest of the sector is passed over.
        table.widen(param_count());
        throw;
    }
    table.widen(param_count());
}

void FileStorage::read_text_sector(lib::io::InputMappedFile& in, std::int32_t length) {
    static const std::string unset = lib::utf8_to_cp1251("::не задано::");
    std::string bytes(length, '\0');
    in.read(bytes.data(), length);
    if (bytes.back() != '\0') {
        throw FileStorageException("Повреждён файл в области текстовых данных");
    }
    FileStorageTextValues read;
    read.set_text(bytes.c_str());
    for (std::int32_t i = 0; i < read.count(); ++i) {
        const auto name = read.name(i);
        auto value = read.value(name);
        if (value.size() > 1 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (!lib::cp1251_iequals(value, unset)) {
            text_values.set(name, value);
        }
    }
}

void FileStorage::read_remark_sector(lib::io::InputMappedFile& in) {
    SimpleRemark remark;
    in >> remark.time >> remark.depth >> remark.text;
    remark_list.push_back(std::move(remark));
}

void FileStorage::read_compact_record_sector(lib::io::InputMappedFile& in) {
    FileStorageItem fields;
    in >> fields.time;
    fields.operation = k_compact_operation;
    float columns[255];
    in.read(columns, 4 * sector_param_count);
    put_columns(table.values(table.append(fields)), columns, sector_param_count);
}

void FileStorage::put_columns(std::span<float> row, const float* columns, std::int32_t count) const {
    for (std::int32_t column = 0; column < count && column < k_max_params; ++column) {
        const auto index = column_map[column];
        if (index >= 0 && index < static_cast<std::int32_t>(row.size())) {
            row[index] = columns[column];
        }
    }
}
