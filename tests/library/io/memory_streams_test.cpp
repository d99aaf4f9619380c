#include "library/io/memory_streams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using lib::io::BinaryMemoryInputStream;
using lib::io::BinaryMemoryOutputStream;

BinaryMemoryInputStream stream_of(const std::string& bytes) {
    BinaryMemoryInputStream in;
    in.assign(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return in;
}

TEST(BinaryMemoryInputStream, ReadingTheLastBytesReachesTheEndAndOneMoreIsEof) {
    BinaryMemoryInputStream in = stream_of("abcd");
    char bytes[4];
    EXPECT_EQ(in.read(bytes, 4), 4u);
    EXPECT_EQ(std::string(bytes, 4), "abcd");
    EXPECT_TRUE(in.eof());
    for (const std::uint32_t count : {1u, 0u}) {
        try {
            in.read(bytes, count);
            ADD_FAILURE() << "read of " << count << " at the end did not throw";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "BinaryMemoryInputStream::read: eof() == true");
        }
    }
}

TEST(BinaryMemoryInputStream, ReadAcrossTheEndIsARangeErrorAndKeepsThePosition) {
    BinaryMemoryInputStream in = stream_of("0123456789");
    in.skip(8);
    char bytes[3] = {};
    try {
        in.read(bytes, 3);
        ADD_FAILURE() << "no range error";
    } catch (const std::range_error& error) {
        EXPECT_STREQ(error.what(), "BinaryMemoryInputStream::read: out of range");
    }
    EXPECT_EQ(in.read(bytes, 2), 2u);
    EXPECT_EQ(std::string(bytes, 2), "89");
}

TEST(BinaryMemoryInputStream, SkipPastTheEndIsAcceptedAndNeverWrapsToTheStart) {
    for (const std::uint32_t count : {5u, 0xFFFFFFFFu}) {
        BinaryMemoryInputStream in = stream_of("0123456789");
        in.skip(8);
        EXPECT_EQ(in.skip(count), count);
        EXPECT_TRUE(in.eof()) << count;
        char byte;
        EXPECT_THROW(in.read(&byte, 1), std::runtime_error) << count;
    }
}

TEST(BinaryMemoryInputStream, AssignStartsAgainWithTheNewBytes) {
    BinaryMemoryInputStream in = stream_of("first");
    in.skip(3);
    in.assign(std::vector<char>{'x', 'y'});
    char bytes[2];
    in.read(bytes, 2);
    EXPECT_EQ(std::string(bytes, 2), "xy");
    EXPECT_THROW(in.assign("abc", -1), std::range_error);
}

TEST(BinaryMemoryOutputStream, AppendsAndClearGivesTheStorageBack) {
    BinaryMemoryOutputStream out(128);
    EXPECT_EQ(out.data(), nullptr);
    out.write("abc", 3);
    out.write("de", 2);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(std::string(out.data(), out.size()), "abcde");
    out.clear();
    EXPECT_EQ(out.size(), 0u);
    EXPECT_EQ(out.data(), nullptr);
}

} // namespace
