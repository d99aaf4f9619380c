#include "library/io/output_file_stream.h"

namespace lib::io {

BinaryOutputFileStream::~BinaryOutputFileStream() {
    try {
        close();
    } catch (...) {
        // Callers that care about the last bytes flush and close before this point.
    }
}

void BinaryOutputFileStream::open(const std::string& path, bool append, bool lock) {
    file.open(path, append ? OpenMode::append : OpenMode::create, lock);
}

void BinaryOutputFileStream::flush() {
    // Emptied also when the write fails, so that a later flush does not put the bytes that did
    // reach the file there a second time.
    try {
        if (file.handle() != -1) {
            file.write(buffer.data(), buffer.size());
        }
    } catch (...) {
        buffer.clear();
        throw;
    }
    buffer.clear();
}

void BinaryOutputFileStream::sync() {
    flush();
    if (file.handle() != -1) {
        file.sync();
    }
}

void BinaryOutputFileStream::close() {
    // The file and its lock are released also when the last bytes cannot be written.
    try {
        flush();
    } catch (...) {
        file.close();
        throw;
    }
    file.close();
}

} // namespace lib::io
