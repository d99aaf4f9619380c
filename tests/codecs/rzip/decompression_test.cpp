#include "tests/codecs/rzip/rzip_fixture.h"

#include <gmock/gmock.h>

using test_support::RzipEntry;
using test_support::RzipKind;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

using Container = RzipFixture;

TEST_F(Container, HeaderOnlyOrUnreadablePackageWritesNothing) {
    for (const std::string& bytes : {std::string("\x01\x00", 2), std::string("\x01"), std::string()}) {
        folder.write("package.zreg", bytes);
        extract_written();
        EXPECT_THAT(written(), IsEmpty()) << bytes.size() << " bytes";
    }
    std::filesystem::remove(package_path());
    extract_written();
    EXPECT_THAT(written(), IsEmpty());
}

TEST_F(Container, WritesEntriesUnderUtf8Names) {
    const std::string data(300000, 'x');
    extract({{"inpgti.ini", "[a]\n"}, {"\xcf\xf0\xe8\xec\xe5\xf0.txt", data}, {"empty", ""}});
    EXPECT_THAT(written(), ElementsAre("empty", "inpgti.ini", "Пример.txt"));
    EXPECT_EQ(read_file(out() + "inpgti.ini"), "[a]\n");
    EXPECT_EQ(read_file(out() + "Пример.txt"), data);
    EXPECT_EQ(read_file(out() + "empty"), "");
}

TEST_F(Container, ReplacesExistingFileOfSameName) {
    folder.write("out/a.txt", "an older and longer file");
    extract({{"a.txt", "new"}});
    EXPECT_EQ(read_file(out() + "a.txt"), "new");
}

TEST_F(Container, UnpackedLengthUpToLimitPassesAndWritesWhatInflates) {
    RzipEntry entry{"big.txt", "only this"};
    entry.unpacked_length = 100000000;
    extract({entry});
    EXPECT_EQ(read_file(out() + "big.txt"), "only this");
}

TEST_F(Container, UnpackedLengthOutOfRangeThrowsAfterEarlierEntries) {
    for (std::int32_t length : {100000001, -1}) {
        RzipEntry bad{"bad.txt", "x"};
        bad.unpacked_length = length;
        EXPECT_EQ(extract_error({{"first.txt", "1"}, bad}), "extract_next_file: wrong uncompr_len!")
            << length;
        EXPECT_THAT(written(), ElementsAre("first.txt"));
    }
}

TEST_F(Container, DamagedStreamThrowsZlibStatus) {
    RzipEntry damaged{"a.txt", "some text"};
    damaged.packed = std::string("\x78\x9c\xff\xff\xff\xff\xff\xff", 8);
    EXPECT_EQ(extract_error({damaged}), "extract_simple_file: uncompress=-3");

    RzipEntry longer_than_claimed{"b.txt", std::string(1000, 'b')};
    longer_than_claimed.unpacked_length = 999;
    EXPECT_EQ(extract_error({longer_than_claimed}), "extract_simple_file: uncompress=-5");
}

TEST_F(Container, PackedLengthBeyondPackageThrowsNamingIt) {
    for (std::int32_t length : {-1, -2147483647 - 1, 1000, 2147483647}) {
        RzipEntry entry{"a.txt", "text"};
        entry.packed_length = length;
        const std::string message = extract_error({entry});
        EXPECT_THAT(message, HasSubstr("wrong compr_len=" + std::to_string(length))) << message;
        EXPECT_THAT(message, HasSubstr(package_path()));
    }
}

TEST_F(Container, TruncatedPackageStopsQuietlyOnlyBeforeLengths) {
    const std::string whole = test_support::rzip_package({{"a.txt", "aaaa"}, {"b.txt", "bbbb"}});
    const std::size_t second = whole.find("b.txt") - 2;
    struct Cut {
        std::size_t size;
        bool throws;
    };
    for (const Cut cut :
         {Cut{second + 1, false}, Cut{second + 2, false}, Cut{second + 6, false}, Cut{second + 7, true},
          Cut{second + 8, true}, Cut{second + 14, true}, Cut{whole.size() - 1, true}}) {
        folder.write("package.zreg", whole.substr(0, cut.size));
        std::filesystem::remove_all(out());
        if (cut.throws)
            EXPECT_THROW(extract_written(), rzip::Exception) << cut.size;
        else
            EXPECT_NO_THROW(extract_written()) << cut.size;
        EXPECT_THAT(written(), ElementsAre("a.txt")) << cut.size;
    }
}

TEST_F(Container, UnsafeNamesAreSkippedAndReported) {
    const std::vector<std::string> names = {
        "",     ".",          "..",          "../evil", "a/b", "a\\b", std::string("a\0b", 3),
        "/etc", ".newcompr1", "...newcompr1"};
    std::vector<RzipEntry> entries;
    for (const std::string& name : names)
        entries.push_back({name, "payload of " + name});
    entries.push_back({"kept.txt", "kept"});

    const rzip::Decompression& reader = extract(entries);
    EXPECT_THAT(written(), ElementsAre("kept.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "evil"));
    ASSERT_EQ(reader.warnings().size(), names.size());
    EXPECT_THAT(reader.warnings()[3], HasSubstr("\"../evil\""));
    EXPECT_THAT(reader.warnings()[6], HasSubstr("\"a?b\""));
    for (const std::string& warning : reader.warnings())
        EXPECT_THAT(warning, HasSubstr(package_path()));
}

TEST_F(Container, UpperCaseSuffixIsPlainFile) {
    extract({{"a.realtim.NEWCOMPR1", "not decoded"}});
    EXPECT_THAT(written(), ElementsAre("a.realtim.NEWCOMPR1"));
    EXPECT_EQ(read_file(out() + "a.realtim.NEWCOMPR1"), "not decoded");
}

TEST_F(Container, ReadsDivisorFromHeader) {
    test_support::write_rzip_package(package_path(), {}, 0xABCD);
    EXPECT_EQ(rzip::Decompression(package_path()).scale_divisor(), 0xABCD);
}

} // namespace
