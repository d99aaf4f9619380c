#include "library/io/input_mapped_file.h"
#include "realtime/compressed/column_decoder.h"
#include "realtime/compressed/record_columns.h"
#include "realtime/file_storage.h"

#include <cmath>
#include <span>
#include <vector>

namespace {

// A column stored as natural logarithms goes back to its values. With the floor flag, values in
// the lowest hundredth of the column's range (the station's stand-in for 0) become 0.
void undo_logarithms(std::span<float> column, bool floor) {
    if (column.empty()) {
        return;
    }
    float lo = column[0];
    float hi = column[0];
    for (float v : column) {
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    const float range = hi - lo;
    const float threshold = static_cast<float>(lo + static_cast<double>(range) * 0.01);
    for (float& v : column) {
        v = floor && !(v >= threshold) ? 0.0f : static_cast<float>(std::exp(static_cast<double>(v)));
    }
}

// One piece, mapped and locked while it is read.
class Piece {
public:
    explicit Piece(std::string path) : path(std::move(path)) { file.open(this->path, true); }
    lib::io::InputMappedFile& stream() { return file; }
    ColumnDecoder columns() { return ColumnDecoder(file, path); }

private:
    std::string path;
    lib::io::InputMappedFile file;
};

// Gives record k element k of the piece's column as the field.
template <PlaneElement T>
void load_field_piece(FileStorage& storage, const std::string& path, T FileStorageItem::*field,
                      std::vector<T>& buffer) {
    Piece piece(path);
    ColumnDecoder columns = piece.columns();
    read_record_field(columns, storage, field, buffer);
}

} // namespace

void FileStorage::load_split_files(const std::string& base) {
    {
        Piece params(base + ".params");
        std::int32_t count = 0;
        params.stream() >> count;
        for (std::int32_t i = 0; i < count; ++i) {
            add_param(read_compressed_param(params.stream()));
        }
    }
    std::size_t records = 0;
    {
        Piece values(base + ".values");
        std::uint32_t record_count = 0;
        values.stream() >> record_count;
        records = record_count;
        // The time piece shows that the records exist before any is made.
        std::vector<std::uint32_t> times;
        Piece(base + ".time").columns().read_plane_column(times, records);
        make_records(*this, times);

        ColumnDecoder columns = values.columns();
        ValueColumns decoded(*this, records);
        for (std::int32_t j = 0; j < param_count(); ++j) {
            std::uint8_t log = 0;
            std::uint8_t floor = 0;
            std::int32_t kind = 0;
            values.stream() >> log >> floor >> kind;
            const std::span<float> column = decoded.next();
            columns.decode_values(kind, column);
            if (log != 0) {
                undo_logarithms(column, floor != 0);
            }
        }
        decoded.flush();
    }
    {
        Piece text(base + ".text");
        std::string lines;
        text.stream() >> lines;
        text_values.set_text(lines);
    }
    std::vector<float> depths(records);
    load_field_piece(*this, base + ".depth_z", &FileStorageItem::depth_z, depths);
    load_field_piece(*this, base + ".depth_cur", &FileStorageItem::depth_cur, depths);
    load_field_piece(*this, base + ".lag_depth", &FileStorageItem::lag_depth, depths);
    std::vector<std::uint8_t> operations(records);
    load_field_piece(*this, base + ".operation", &FileStorageItem::operation, operations);
    sector_format = true;
}
