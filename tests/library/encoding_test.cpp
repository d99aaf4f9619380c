#include "library/encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(Encoding, CyrillicRoundTripsThroughWindows1251) {
    const std::string utf8 = "Скважина №12, Ёлкинская площадь: ёмкость «А» — 5 м³";
    const std::string cp1251 = lib::utf8_to_cp1251(utf8);
    // Every Cyrillic letter, Ё, ё, № and the quotes take one byte; "³" has none and becomes '?'.
    EXPECT_EQ(cp1251.substr(0, 8), "\xD1\xEA\xE2\xE0\xE6\xE8\xED\xE0");
    EXPECT_NE(cp1251.find("\xB9"
                          "12"),
              std::string::npos);
    EXPECT_EQ(cp1251.substr(14, 1), "\xA8");
    EXPECT_EQ(cp1251.back(), '?');
    EXPECT_EQ(lib::cp1251_to_utf8(cp1251), "Скважина №12, Ёлкинская площадь: ёмкость «А» — 5 м?");
}

TEST(Encoding, EveryWindows1251ByteSurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(lib::utf8_to_cp1251(lib::cp1251_to_utf8(all)), all);
}

TEST(Encoding, CharactersWithoutAByteAndBrokenUtf8BecomeQuestionMarks) {
    struct Case {
        std::string utf8;
        std::string cp1251;
    } cases[] = {
        {"中", "?"},               // no Windows-1251 byte
        {"\xF0\x9F\x98\x80", "?"}, // outside the basic plane
        {"a\x80z", "a?z"},         // stray continuation byte
        {"\xD0", "?"},             // truncated sequence
        {"\xC0\xAF", "??"},        // overlong '/'
        {"\xED\xA0\x80", "???"},   // surrogate
        {"\xD0\xB0\xD0", "\xE0?"}, // truncated after a good letter
    };
    for (const Case& c : cases)
        EXPECT_EQ(lib::utf8_to_cp1251(c.utf8), c.cp1251) << c.utf8;
}

TEST(Encoding, LowerCaseFollowsWindows1251) {
    EXPECT_EQ(lib::cp1251_lower(lib::utf8_to_cp1251("ABZ АБЯ Ё Ђ abz")),
              lib::utf8_to_cp1251("abz абя ё Ђ abz"));
    EXPECT_EQ(lib::cp1251_lower('\xDF'), '\xFF');
    EXPECT_EQ(lib::cp1251_lower('\xC0'), '\xE0');
    EXPECT_EQ(lib::cp1251_lower('\xA8'), '\xB8');
    EXPECT_EQ(lib::cp1251_lower('@'), '@');
    EXPECT_EQ(lib::cp1251_lower('['), '[');
    EXPECT_TRUE(lib::cp1251_iequals(lib::utf8_to_cp1251("Площадь"), lib::utf8_to_cp1251("ПЛОЩАДЬ")));
    EXPECT_FALSE(lib::cp1251_iequals("Area", "Areas"));
    EXPECT_FALSE(lib::cp1251_iequals("\xC0", "\xC1"));
}

TEST(Encoding, Utf8LowerFoldsLatinAndCyrillicOnly) {
    EXPECT_EQ(lib::utf8_lower("SKV.ZREG Скважина ЁЖ ЂЏ ÄÖ"), "skv.zreg скважина ёж ђџ ÄÖ");
    EXPECT_EQ(lib::utf8_lower("A\xFFZ"), "a\xFFz");
}

} // namespace
