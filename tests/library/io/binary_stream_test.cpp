#include "library/io/binary_stream.h"
#include "library/io/memory_streams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using lib::io::BinaryInputStream;
using lib::io::BinaryMemoryInputStream;
using lib::io::BinaryMemoryOutputStream;
using lib::io::BinaryOutputStream;

std::string bytes_of(const BinaryMemoryOutputStream& out) {
    return {out.data(), out.size()};
}

BinaryMemoryInputStream input_of(const std::string& bytes) {
    BinaryMemoryInputStream in;
    in.assign(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return in;
}

TEST(BinaryStream, ValuesTravelAsLittleEndianMemoryImagesAndStringsEndWithZero) {
    BinaryMemoryOutputStream out(128);
    // Through the interface, as the writers of the sector files use it.
    BinaryOutputStream& stream = out;
    stream << std::uint32_t{0x01020304} << std::int16_t{-2} << 'Z' << true << 1.5f << std::string("ab")
           << std::string() << 0.25;
    const std::string expected("\x04\x03\x02\x01"
                               "\xFE\xFF"
                               "Z\x01"
                               "\x00\x00\xC0\x3F"
                               "ab\0"
                               "\0"
                               "\x00\x00\x00\x00\x00\x00\xD0\x3F",
                               24);
    EXPECT_EQ(bytes_of(out), expected);

    BinaryMemoryInputStream memory = input_of(expected);
    BinaryInputStream& in = memory;
    std::uint32_t u32 = 0;
    std::int16_t i16 = 0;
    char c = 0;
    bool b = false;
    float f = 0;
    std::string text;
    std::string empty = "not yet read";
    double d = 0;
    in >> u32 >> i16 >> c >> b >> f >> text >> empty >> d;
    EXPECT_EQ(u32, 0x01020304u);
    EXPECT_EQ(i16, -2);
    EXPECT_EQ(c, 'Z');
    EXPECT_TRUE(b);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(empty, "");
    EXPECT_EQ(d, 0.25);
    EXPECT_TRUE(in.eof());
}

TEST(BinaryStream, AnyNonZeroByteReadsAsTrue) {
    BinaryMemoryInputStream in = input_of(std::string("\x02\x00\xFF", 3));
    bool values[3] = {};
    in >> values[0] >> values[1] >> values[2];
    EXPECT_EQ(values[0], true);
    EXPECT_EQ(values[1], false);
    EXPECT_EQ(values[2], true);
}

TEST(BinaryStream, StringCutOffByTheEndThrowsAndKeepsTheTarget) {
    BinaryMemoryInputStream in = input_of("abc");
    std::string text = "before";
    EXPECT_THROW(in >> text, std::runtime_error);
    EXPECT_EQ(text, "before");
}

TEST(BinaryStream, ReadByteGivesTheUnsignedByte) {
    BinaryMemoryInputStream in = input_of("\xF0");
    EXPECT_EQ(lib::io::read_byte(in), 0xF0);
}

} // namespace
