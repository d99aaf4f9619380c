#pragma once

// Reader of an rzip package ("*.zreg"): a 2-byte header (the divisor of old-format samples) and
// then entries, each a file compressed on its own with zlib, unpacked one after another into a
// folder. Entries named "*.newcompr1" carry a realtime file in its compressed single-stream form and
// are written as that realtime file; entries of kind 1 are old-format files expanded into 145-byte
// records. docs/formats/rzip.md describes the layout.
//
// Entry names are Windows-1251 and become UTF-8 file names. A name that would leave the folder
// (empty, ".", "..", or holding '/', '\' or NUL) is never written: the entry is skipped and a
// warning text naming it is added to warnings(), for the extraction job's report.

#include "codecs/rzip/package_stream.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rzip {

// The suffix of an entry that holds a realtime file in compressed single-stream form.
inline constexpr std::string_view k_newcompr1_suffix = ".newcompr1";
inline constexpr std::int32_t k_max_unpacked_length = 100000000;

class Decompression {
public:
    // Opens the package and reads its header. Never throws: a package that cannot be opened holds
    // no entries.
    explicit Decompression(std::string package_path);
    Decompression(const Decompression&) = delete;
    Decompression& operator=(const Decompression&) = delete;

    // Creates the folder (path ending with '/'; one level) and unpacks every entry into it.
    // Throws rzip::Exception for a damaged package, lib::dll::Exception when zlib cannot be
    // bound, and the errors of writing a realtime file. Entries unpacked before the failure stay.
    void extract_all_files(const std::string& folder);

    // Unpacks the next entry into the folder; false at the end of the package (also when the
    // entry's kind, name length or name is cut off).
    bool extract_next_file(const std::string& folder);

    // Reads packed_length bytes of zlib data, inflates them (unpacked_length bytes at most, checked
    // by the caller to be 0..k_max_unpacked_length) and writes the result to path, or the realtime
    // file it encodes when path ends with ".newcompr1". Only the bytes really inflated are written.
    void extract_simple_file(const std::string& path, std::int32_t packed_length,
                             std::int32_t unpacked_length);

    // Rewrites an old-format file at path as 145-byte records. A file that cannot be read or holds
    // fewer than 256 bytes stays as it is.
    void expand_old_format_file(const std::string& path);

    std::int32_t scale_divisor() const { return divisor; }

    // One text per skipped entry, in package order.
    const std::vector<std::string>& warnings() const { return skipped; }

private:
    // Throws unless the length fits in what is left of the package and under the cap.
    void check_packed_length(std::int32_t packed_length) const;

    std::string package;
    PackageStream stream;
    std::int32_t divisor = 0;
    std::vector<char> packed;   // reused from entry to entry
    std::vector<char> unpacked; // reused from entry to entry
    std::vector<std::string> skipped;
};

} // namespace rzip
