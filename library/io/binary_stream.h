#pragma once

// The two byte-stream interfaces every binary reader and writer of the station's files works
// through, and the free operations that move values over them.
//
// A value travels as its memory image: integers little-endian in their own width, float and double
// in IEEE-754, char and bool one byte. A string is its 8-bit characters followed by one 0 byte.

#include <bit>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace lib::io {

static_assert(std::endian::native == std::endian::little, "the station's files are little-endian");

class BinaryInputStream {
public:
    virtual ~BinaryInputStream() = default;

    // Copies count bytes to destination and moves on, or throws (the position then stays where it
    // was). Returns count.
    virtual std::uint32_t read(void* destination, std::uint32_t count) = 0;
    // Moves on by count bytes without reading them or checking the end. Returns count.
    virtual std::uint32_t skip(std::uint32_t count) = 0;
    // Nothing is left to read.
    virtual bool eof() const = 0;
};

class BinaryOutputStream {
public:
    virtual ~BinaryOutputStream() = default;

    // Writes count bytes, or throws.
    virtual void write(const void* source, std::uint32_t count) = 0;
};

// Values that travel as their memory image.
template <class T>
concept BinaryScalar = std::is_arithmetic_v<T> || std::is_enum_v<T>;

// The operations are templates over the stream type, so that a call on a concrete stream class
// (all of them are final) reaches its read or write directly, without a virtual call.

template <std::derived_from<BinaryInputStream> Stream> std::uint8_t read_byte(Stream& in) {
    std::uint8_t byte;
    in.read(&byte, 1);
    return byte;
}

template <std::derived_from<BinaryInputStream> Stream, BinaryScalar T>
Stream& operator>>(Stream& in, T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        value = read_byte(in) != 0; // any byte other than 0 is true
    } else {
        in.read(&value, sizeof value);
    }
    return in;
}

// Reads up to and including the first 0 byte; the string is the bytes before it. When the stream
// ends first, the read throws and value keeps what it held.
template <std::derived_from<BinaryInputStream> Stream> Stream& operator>>(Stream& in, std::string& value) {
    std::string text;
    for (char c; (c = static_cast<char>(read_byte(in))) != 0;) {
        text.push_back(c);
    }
    value = std::move(text);
    return in;
}

template <std::derived_from<BinaryOutputStream> Stream, BinaryScalar T>
Stream& operator<<(Stream& out, T value) {
    out.write(&value, sizeof value);
    return out;
}

// The characters and one 0 byte: length + 1 bytes.
template <std::derived_from<BinaryOutputStream> Stream>
Stream& operator<<(Stream& out, std::string_view text) {
    out.write(text.data(), static_cast<std::uint32_t>(text.size()));
    const char zero = 0;
    out.write(&zero, 1);
    return out;
}

} // namespace lib::io
