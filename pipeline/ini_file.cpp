#include "pipeline/ini_file.h"

#include <cstdio>
#include <cstring>
#include <ini.h>
#include <memory>
#include <stdexcept>

namespace {

struct Reading {
    std::FILE* file;
    const IniValueHandler& handler;
    int line = 0;         // number of the line last read
    bool cut = false;     // the line last read did not fit the reader's buffer
    int refused_line = 0; // a taken value of a cut line; the first one
};

// inih's line reader: like fgets, but drops the rest of a line that does not fit and says so.
char* read_line(char* buffer, int size, void* stream) {
    auto& reading = *static_cast<Reading*>(stream);
    if (!std::fgets(buffer, size, reading.file))
        return nullptr;
    ++reading.line;
    const std::size_t length = std::strlen(buffer);
    reading.cut = false;
    if (length + 1 == static_cast<std::size_t>(size) && buffer[length - 1] != '\n') {
        int next = std::fgetc(reading.file);
        reading.cut = next != EOF && next != '\n';
        while (next != EOF && next != '\n')
            next = std::fgetc(reading.file);
    }
    return buffer;
}

// inih is C: nothing may be thrown through it, so a refusal is noted and raised afterwards.
int take_value(void* user, const char* section, const char* name, const char* value) {
    auto& reading = *static_cast<Reading*>(user);
    if (reading.handler(section, name, value) && reading.cut && reading.refused_line == 0)
        reading.refused_line = reading.line;
    return 1;
}

} // namespace

void read_ini_file(const std::string& path, const IniValueHandler& handler) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return;
    Reading reading{file.get(), handler};
    ini_parse_stream(read_line, &reading, take_value, &reading);
    if (reading.refused_line != 0)
        throw std::runtime_error("Строка " + std::to_string(reading.refused_line) + " файла \"" + path +
                                 "\" слишком длинная для чтения");
}
