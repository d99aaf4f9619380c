#include "library/io/input_mapped_file.h"
#include "realtime/compressed/column_decoder.h"
#include "realtime/compressed/record_columns.h"
#include "realtime/file_storage.h"

#include <algorithm>
#include <vector>

namespace {

// Reads the single-stream form into the storage; source names the file for messages.
void load_single_stream(FileStorage& storage, lib::io::BinaryInputStream& in, const std::string& source) {
    storage.clear();
    std::string magic;
    std::int32_t version = 0;
    in >> magic >> version;
    if (magic != "CREGFILE") {
        throw FileStorageException("FileStorage::load_after_decompressing: Некорркетный заголовок файла");
    }
    if (version != 1) {
        throw FileStorageException("FileStorage::load_after_decompressing: Некорркетная версия файла");
    }

    std::int32_t param_count = 0;
    in >> param_count;
    for (std::int32_t i = 0; i < param_count; ++i) {
        storage.add_param(read_compressed_param(in));
    }
    std::string text;
    in >> text;
    storage.text_values.set_text(text);

    std::int32_t record_count = 0;
    in >> record_count;
    const std::size_t records = static_cast<std::size_t>(std::max(record_count, 0));
    ColumnDecoder columns(in, source);
    // The time column shows that the records exist before any is made.
    std::vector<std::uint32_t> times;
    columns.read_plane_column(times, records);
    make_records(storage, times);

    std::vector<float> depths(records);
    read_record_field(columns, storage, &FileStorageItem::depth_z, depths);
    read_record_field(columns, storage, &FileStorageItem::depth_cur, depths);
    read_record_field(columns, storage, &FileStorageItem::lag_depth, depths);
    std::vector<std::uint8_t> operations(records);
    read_record_field(columns, storage, &FileStorageItem::operation, operations);

    ValueColumns values(storage, records);
    for (std::int32_t j = 0; j < storage.param_count(); ++j) {
        std::int32_t kind = 0;
        in >> kind;
        columns.decode_values(kind, values.next());
    }
    values.flush();
    storage.sector_format = true;
}

} // namespace

void FileStorage::load_after_decompressing(lib::io::BinaryInputStream& in) {
    load_single_stream(*this, in, {});
}

void FileStorage::load_compressed_file(const std::string& path) {
    lib::io::InputMappedFile file;
    file.open(path, false);
    load_single_stream(*this, file, path);
}
