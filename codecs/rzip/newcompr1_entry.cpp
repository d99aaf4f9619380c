#include "codecs/rzip/newcompr1_entry.h"

#include "library/io/memory_streams.h"
#include "realtime/file_storage.h"

#include <utility>

namespace rzip {

void write_newcompr1_entry(std::vector<char> bytes, const std::string& path) {
    lib::io::BinaryMemoryInputStream stream;
    stream.assign(std::move(bytes));
    FileStorage storage;
    storage.load_after_decompressing(stream);
    storage.write_file(path);
}

} // namespace rzip
