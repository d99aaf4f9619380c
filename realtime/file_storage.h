#pragma once

// The in-memory image of one realtime data file of a well: the parameters a logging station
// measures, the records (one moment of drilling each: time, three depths, the drilling operation,
// one value per parameter), the named text values and the remarks.
//
// A storage is filled by reading a sector file (open), the compressed single-stream form
// (load_after_decompressing, load_compressed_file) or the split column files (load_split_files),
// and is always written as a sector file (write, write_file, save). Reading into a storage that
// already holds data appends to it: that is how a newly arrived file is merged into the well's.
//
// Records are kept side by side in one block, their values in a second block of param_count floats
// per record, so a file of a million records costs two allocations. A record's values view stays
// valid until the next change of the storage.

#include "library/lock_object.h"
#include "realtime/file_storage_text_values.h"
#include "realtime/record_table.h"

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace lib::io {
class BinaryInputStream;
class BinaryOutputStream;
class InputMappedFile;
} // namespace lib::io

// The one error type of the realtime data files.
class FileStorageException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a parameter is. Two descriptors whose keys are equal after lower-casing are the same
// parameter; the other fields are carried through unchanged.
struct FileStorageParam {
    std::array<std::string, 3> texts; // free descriptive texts
    std::string key;
    float low = 0.0f;
    float high = 100.0f;

    bool operator==(const FileStorageParam&) const = default;
};

struct SimpleRemark {
    std::uint32_t time = 0;
    float depth = 0.0f;
    std::string text;

    bool operator==(const SimpleRemark&) const = default;
};

class FileStorage {
public:
    static constexpr std::int32_t k_max_params = 128;
    // Operation code of a record that came without depths and operation.
    static constexpr std::uint8_t k_compact_operation = 255;

    FileStorage();
    FileStorage(const FileStorage&) = delete;
    FileStorage& operator=(const FileStorage&) = delete;

    // Drops the records, parameters, text values and remarks. Keeps the warning texts, the time
    // range, sector_format and the column mapping of the last parameter sector.
    void clear();

    // The index of the parameter with this key (ignoring letter case); a new key is appended, and
    // every record held gets a value 0.0 for it. Throws FileStorageException
    // "слишком много параметров" for a 129th parameter.
    std::int32_t add_param(const FileStorageParam& param);
    std::int32_t param_count() const { return static_cast<std::int32_t>(params.size()); }
    // Throws std::range_error "array::operator[]" out of range.
    const FileStorageParam& param(std::int32_t index) const;

    std::int32_t record_count() const { return table.count(); }
    // Null when index is negative or not below record_count.
    const FileStorageItem* record(std::int32_t index) const;
    // The same for filling a record's time, depths and operation; its values through values().
    FileStorageItem* record(std::int32_t index);
    // The values of record index for filling them; empty out of range.
    std::span<float> values(std::int32_t index);
    // Appends a record with the time, depths and operation of fields and param_count values of 0.0;
    // returns its index.
    std::int32_t add_record(const FileStorageItem& fields);
    // Drops every record and makes count new ones, all fields and values 0.
    void reset_records(std::int32_t count);

    // Records read from record sectors are taken only when from <= time <= to (unsigned).
    void set_time_range(std::uint32_t from, std::uint32_t to);
    std::uint32_t time_from() const { return range_from; }
    std::uint32_t time_to() const { return range_to; }

    // Warnings about damage met while reading; clear keeps them.
    const std::vector<std::string>& messages() const { return warnings; }
    const std::vector<SimpleRemark>& remarks() const { return remark_list; }

    // Reads a realtime data file by its extension (any letter case): ".realtim", ".realdep",
    // ".reallag" and ".rtm" are sector files, appended to what is held; returns true. ".tim", ".dep"
    // and ".ldp" are older files that are never read; returns false. Any other extension throws
    // FileStorageException. The file stays locked while it is read unless locking_disabled.
    bool open(const std::string& path);
    // The reading loop over one sector file, with recovery from damage.
    void read_sectors(const std::string& path);
    // How many of up to n chained sector headers from the stream's position are well-formed.
    static std::int32_t count_valid_headers(lib::io::BinaryInputStream& in, std::int32_t n);
    // A file named ".nolocking" in the folder of path switches file locking off there.
    static bool locking_disabled(const std::string& path);

    // Writes the storage as a sector file: one parameter sector, a record sector per record, the
    // text sectors. Throws FileStorageException before writing anything when the parameter table or
    // one text line does not fit in a sector.
    void write(lib::io::BinaryOutputStream& out) const;
    // Replaces path by the storage written as a sector file, through a temporary file in the same
    // folder, so that a failed write leaves the old file as it was. Holds the exclusive lock on path
    // meanwhile unless locking_disabled.
    void write_file(const std::string& path) const;
    // write_file, for a storage read from a sector file or a compressed form; else nothing.
    void save(const std::string& path) const;

    // Replaces the content by the compressed single-stream form read from the stream.
    void load_after_decompressing(lib::io::BinaryInputStream& in);
    // The same from a file.
    void load_compressed_file(const std::string& path);
    // Reads the split column files base.params, base.values, ... into the storage.
    void load_split_files(const std::string& base);

    // The named text values of the file.
    FileStorageTextValues text_values;
    // True once read from a sector file or a compressed form; false after opening an older file.
    bool sector_format = false;

private:
    // add_param without extending the records.
    std::int32_t find_or_append_param(const FileStorageParam& param);
    bool read_sector(lib::io::InputMappedFile& in, std::int32_t kind, std::int32_t length, bool& gap);
    void read_record_sector(lib::io::InputMappedFile& in, bool& gap);
    void read_param_sector(lib::io::InputMappedFile& in);
    void read_text_sector(lib::io::InputMappedFile& in, std::int32_t length);
    void read_remark_sector(lib::io::InputMappedFile& in);
    void read_compact_record_sector(lib::io::InputMappedFile& in);
    struct SectorPayloads;
    // path names the file in messages; it may be empty.
    SectorPayloads sector_payloads(const std::string& path) const;
    void write_sectors(lib::io::BinaryOutputStream& out, const SectorPayloads& payloads) const;
    // Stores the values of one record's columns at their storage indices.
    void put_columns(std::span<float> row, const float* columns, std::int32_t count) const;

    lib::lock_object lock{"reg_data_file_mutex"};
    std::uint32_t range_from = 0;
    std::uint32_t range_to = 0xFFFFFFFF;
    RecordTable table;
    // For each column of the parameter sector read last, its parameter's index; -1 for none.
    std::array<std::int32_t, k_max_params> column_map;
    std::vector<FileStorageParam> params;
    std::int32_t sector_param_count = 0; // columns of the parameter sector read last
    std::vector<std::string> warnings;
    std::vector<SimpleRemark> remark_list;
};
