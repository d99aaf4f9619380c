// Loads any bytes as the compressed single-stream form. Damage must end in an exception of the
// runtime_error family (the stream's end-of-file errors, FileStorageException), never in a crash,
// a read or write outside a buffer or an allocation the input does not back. Inputs are capped at
// 1 MiB.

#include "library/io/memory_streams.h"
#include "realtime/file_storage.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1024 * 1024) {
        return -1;
    }
    lib::io::BinaryMemoryInputStream in;
    in.assign(reinterpret_cast<const char*>(data), static_cast<std::int32_t>(size));
    FileStorage storage;
    try {
        storage.load_after_decompressing(in);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
