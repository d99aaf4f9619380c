// Writing the storage as a sector file, and replacing a file on disk only once its successor is
// completely written.

#include "library/io/memory_streams.h"
#include "library/io/os_file.h"
#include "library/io/output_file_stream.h"
#include "realtime/file_storage.h"
#include "realtime/sector_format.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void write_sector(lib::io::BinaryOutputStream& out, std::int32_t kind, const char* payload,
                  std::uint32_t size) {
    const char header[sector::k_header_size] = {static_cast<char>(kind), static_cast<char>(size & 0xFF),
                                                static_cast<char>((size >> 8) & 0xFF)};
    out.write(header, sizeof header);
    out.write(payload, size);
}

// The reader takes one pair of double quotes around a value away, so a value that has them of its
// own gets a second pair.
std::string line_as_written(const std::string& line) {
    const auto equals = line.find('=');
    if (equals == std::string::npos || line.size() - equals < 3 || line[equals + 1] != '"' ||
        line.back() != '"') {
        return line;
    }
    return line.substr(0, equals + 1) + '"' + line.substr(equals + 1) + '"';
}

} // namespace

// The payloads of the parameter sector and of the text sectors, made before anything is written so
// that a storage that cannot be written leaves its target untouched.
struct FileStorage::SectorPayloads {
    std::string params;
    std::vector<std::string> texts;
};

FileStorage::SectorPayloads FileStorage::sector_payloads(const std::string& path) const {
    const auto file = path.empty() ? std::string() : " " + path;
    SectorPayloads payloads;
    lib::io::BinaryMemoryOutputStream table(128);
    table << static_cast<std::uint8_t>(param_count());
    for (const auto& param : params) {
        table << param.texts[0] << param.texts[2] << param.texts[1] << param.key << param.low << param.high;
    }
    if (table.size() > sector::k_max_payload) {
        throw FileStorageException("Таблица параметров (" + std::to_string(table.size()) +
                                   " байт) не помещается в сектор файла" + file + ", вмещающий " +
                                   std::to_string(sector::k_max_payload) + " байт");
    }
    payloads.params.assign(table.data(), table.size());

    // A text longer than one sector goes into several, each ending with a 0 byte and holding whole
    // lines, since every sector's lines are read on their own.
    std::string text;
    for (const auto& line : text_values.lines) {
        const auto written = line_as_written(line) + "\r\n";
        if (written.size() + 1 > sector::k_max_payload) {
            throw FileStorageException("Текстовое значение (" + std::to_string(written.size()) +
                                       " байт) не помещается в сектор файла" + file + ", вмещающий " +
                                       std::to_string(sector::k_max_payload) + " байт");
        }
        if (text.size() + written.size() + 1 > sector::k_max_payload) {
            payloads.texts.push_back(std::move(text) + '\0');
            text.clear();
        }
        text += written;
    }
    payloads.texts.push_back(std::move(text) + '\0');
    return payloads;
}

void FileStorage::write(lib::io::BinaryOutputStream& out) const {
    write_sectors(out, sector_payloads(""));
}

void FileStorage::write_sectors(lib::io::BinaryOutputStream& out, const SectorPayloads& payloads) const {
    write_sector(out, sector::k_params, payloads.params.data(), payloads.params.size());

    const std::int32_t count = param_count();
    const std::uint32_t payload_size = sector::k_record_head_size + 4 * count;
    char bytes[sector::k_header_size + sector::k_record_head_size + 4 * k_max_params];
    bytes[0] = sector::k_record;
    bytes[1] = static_cast<char>(payload_size & 0xFF);
    bytes[2] = static_cast<char>(payload_size >> 8);
    for (std::int32_t i = 0; i < record_count(); ++i) {
        const auto& item = table.item(i);
        char* field = bytes + sector::k_header_size;
        const auto put = [&field](const auto& value) {
            std::memcpy(field, &value, sizeof value);
            field += sizeof value;
        };
        put(item.time);
        put(item.depth_z);
        put(item.lag_depth);
        put(item.operation);
        put(item.depth_cur);
        put(static_cast<std::uint8_t>(count));
        if (count > 0) {
            std::memcpy(field, item.values.data(), 4 * count);
        }
        out.write(bytes, sector::k_header_size + payload_size);
    }

    for (const auto& text : payloads.texts) {
        write_sector(out, sector::k_text, text.data(), text.size());
    }
}

void FileStorage::write_file(const std::string& path) const {
    const auto payloads = sector_payloads(path);
    const auto slash = path.find_last_of('/') + 1;
    // Hidden, so that no file mask of realtime files takes it; a file left by a write that never
    // ended is emptied and used again by the next one.
    const auto temporary = path.substr(0, slash) + "." + path.substr(slash) + ".tmp";
    struct stat target {};
    const bool existed = stat(path.c_str(), &target) == 0;
    lib::io::OSFile target_lock;
    try {
        if (!locking_disabled(path)) {
            target_lock.open(path, lib::io::OpenMode::append, true);
        }
        lib::io::BinaryOutputFileStream out;
        out.open(temporary, false, false);
        write_sectors(out, payloads);
        out.sync();
        out.close();
        if (existed) {
            chmod(temporary.c_str(), target.st_mode & 07777);
        }
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            throw FileStorageException("Невозможно заменить файл " + path +
                                       " новым: " + std::strerror(errno));
        }
    } catch (...) {
        unlink(temporary.c_str());
        if (!existed && target_lock.handle() != -1) {
            unlink(path.c_str()); // made empty only to be locked
        }
        throw;
    }
    // The new name reaches the disk with the folder.
    const int folder =
        ::open(slash == 0 ? "." : path.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder != -1) {
        fsync(folder);
        close(folder);
    }
}

void FileStorage::save(const std::string& path) const {
    if (sector_format) {
        write_file(path);
    }
}
