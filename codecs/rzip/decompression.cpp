#include "codecs/rzip/decompression.h"

#include "codecs/dll/zlib.h"
#include "codecs/rzip/exception.h"
#include "codecs/rzip/newcompr1_entry.h"
#include "codecs/rzip/old_format.h"
#include "codecs/rzip/whole_file.h"
#include "library/encoding.h"

#include <algorithm>
#include <span>
#include <sys/stat.h>
#include <utility>

namespace rzip {
namespace {

constexpr std::uint8_t k_old_format_kind = 1;
constexpr std::size_t k_header_size = 2;

// zlib's compress never makes more than this of k_max_unpacked_length bytes.
constexpr std::int64_t k_max_packed_length = k_max_unpacked_length + k_max_unpacked_length / 1000 + 64;

// deflate turns one byte of input into at most 1032 bytes of output.
constexpr std::size_t k_max_inflate_ratio = 1032;

bool is_safe_name(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// The name as a report can show it: UTF-8, control characters as '?'.
std::string shown_name(std::string_view name) {
    std::string shown = lib::cp1251_to_utf8(name);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
    return shown;
}

// A buffer of at least size bytes that keeps its storage from entry to entry.
char* reserve(std::vector<char>& buffer, std::size_t size) {
    if (buffer.size() < size)
        buffer.resize(size);
    return buffer.data();
}

} // namespace

Decompression::Decompression(std::string package_path) : package(std::move(package_path)), stream(package) {
    std::uint8_t header[k_header_size];
    if (stream.read(header, sizeof header) == sizeof header)
        divisor = header[0] | header[1] << 8;
}

void Decompression::extract_all_files(const std::string& folder) {
    ::mkdir(folder.c_str(), 0777); // an existing folder is fine; a missing one fails at the first write
    stream.seek(k_header_size);
    while (extract_next_file(folder)) {
    }
}

bool Decompression::extract_next_file(const std::string& folder) {
    std::uint8_t kind = 0;
    std::uint8_t name_length = 0;
    if (stream.read(&kind, 1) != 1 || stream.read(&name_length, 1) != 1)
        return false;
    std::string name(name_length, '\0');
    if (stream.read(name.data(), name_length) != name_length)
        return false;

    std::int32_t lengths[2];
    if (stream.read(lengths, sizeof lengths) != sizeof lengths)
        throw Exception("extract_next_file: entry '" + shown_name(name) + "' is cut short in '" + package +
                        "'");
    const auto [packed_length, unpacked_length] = lengths;
    if (unpacked_length > k_max_unpacked_length || unpacked_length < 0)
        throw Exception("extract_next_file: wrong uncompr_len!");

    const bool newcompr1 = name.ends_with(k_newcompr1_suffix);
    const std::string_view written =
        std::string_view(name).substr(0, name.size() - (newcompr1 ? k_newcompr1_suffix.size() : 0));
    if (!is_safe_name(name) || !is_safe_name(written)) {
        check_packed_length(packed_length);
        stream.skip(static_cast<std::size_t>(packed_length));
        skipped.push_back("Файл \"" + shown_name(name) + "\" из пакета \"" + package +
                          "\" не распакован: недопустимое имя файла");
        return true;
    }

    const std::string path = folder + lib::cp1251_to_utf8(name);
    extract_simple_file(path, packed_length, unpacked_length);
    if (kind == k_old_format_kind && !newcompr1)
        expand_old_format_file(path);
    return true;
}

void Decompression::extract_simple_file(const std::string& path, std::int32_t packed_length,
                                        std::int32_t unpacked_length) {
    check_packed_length(packed_length);
    const auto source_length = static_cast<std::size_t>(packed_length);
    char* source = reserve(packed, source_length);
    if (stream.read(source, source_length) != source_length)
        throw Exception("extract_simple_file: the data of '" + path + "' is cut short in '" + package + "'");

    // A claimed length beyond what the data can inflate to is never allocated.
    const std::size_t capacity = std::min(static_cast<std::size_t>(std::max(unpacked_length, 0)),
                                          (source_length + 1) * k_max_inflate_ratio);
    unsigned long length = capacity;
    const int status = lib::zlib_instance().uncompress(
        reinterpret_cast<unsigned char*>(reserve(unpacked, capacity)), &length,
        reinterpret_cast<const unsigned char*>(source), source_length);
    if (status != 0)
        throw Exception("extract_simple_file: uncompress=" + std::to_string(status));

    if (path.ends_with(k_newcompr1_suffix)) {
        unpacked.resize(length);
        write_newcompr1_entry(std::exchange(unpacked, {}),
                              path.substr(0, path.size() - k_newcompr1_suffix.size()));
    } else {
        write_whole_file(path, std::span<const char>(unpacked.data(), length));
    }
}

void Decompression::expand_old_format_file(const std::string& path) {
    std::vector<char> file;
    if (!read_whole_file(path, file) || file.size() < k_old_format_header_size)
        return;
    if (divisor == 0 && packed_record_count(file.size()) > 0)
        throw Exception("expand_old_format_file: scale_divisor is 0 in '" + package + "', can't expand '" +
                        path + "'");
    write_whole_file(path, expand_old_format(file, divisor));
}

void Decompression::check_packed_length(std::int32_t packed_length) const {
    if (packed_length < 0 || packed_length > k_max_packed_length ||
        static_cast<std::size_t>(packed_length) > stream.remaining())
        throw Exception("extract_simple_file: wrong compr_len=" + std::to_string(packed_length) + ", " +
                        std::to_string(stream.remaining()) + " bytes left in '" + package + "'");
}

} // namespace rzip
