#include "library/strworks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::string> tokens_of(const std::string& text, char separator) {
    lib::StringContainer container;
    container.split(text, separator);
    std::vector<std::string> tokens;
    for (std::int32_t i = 0; i < container.count(); ++i)
        tokens.push_back(container.get(i));
    return tokens;
}

TEST(StringContainer, SplitsQuotedAndSeparatedTexts) {
    struct Case {
        std::string text;
        char separator;
        std::vector<std::string> tokens;
    } cases[] = {
        {"a \"b c\" d", ' ', {"a", "b c", "d"}},
        {"\"\" x", ' ', {"", "x"}},
        {"\"abc", ' ', {"abc"}},
        {"a\"b c", ' ', {"a\"b", "c"}}, // a quote inside a token is an ordinary character
        {"  a   b\t", ' ', {"a", "b"}},
        {"\"a\"b", ' ', {"a", "b"}},
        {"e \"/in/x y.7z\" \"-o/w/\" -r", ' ', {"e", "/in/x y.7z", "-o/w/", "-r"}},
        {" \t ", ' ', {}},
        {"", ' ', {}},
        {"a;b;;c", ';', {"a", "b", "", "c"}},
        {"a;b;", ';', {"a", "b"}},
        {";a", ';', {"", "a"}},
        {" a ; b ", ';', {"a ", " b"}},
        {"a;b\nc", ';', {"a", "b", "c"}},             // line breaks cut too
        {"\xC0\xE1;\xFF", ';', {"\xC0\xE1", "\xFF"}}, // Windows-1251 letters are not blanks
        {"\t\r\n", ';', {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tokens_of(c.text, c.separator), c.tokens) << c.text;
}

TEST(StringContainer, SequentialGetMovesCursorPastTheEnd) {
    lib::StringContainer container;
    container.split("a b", ' ');
    EXPECT_EQ(container.get(), "a");
    EXPECT_EQ(container.get(-1), "b");
    EXPECT_EQ(container.get(), "");
    EXPECT_EQ(container.cursor(), 3);
    EXPECT_EQ(container.get(-2), "");
    EXPECT_EQ(container.get(2), "");
    EXPECT_EQ(container.get(0), "a");

    container.split("x", ' '); // a new split starts over
    EXPECT_EQ(container.cursor(), 0);
    EXPECT_EQ(container.get(), "x");
}

TEST(StringContainer, WordIsTheThirdToken) {
    struct Case {
        const char* text;
        std::string word;
    } cases[] = {
        {"Nov 20 2008", "2008"}, {"Nov  2 2008 12:00", "2008"}, {"a b", ""}, {"", ""}, {nullptr, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(lib::word(c.text), c.word) << (c.text ? c.text : "null");
}

TEST(Array, AccessOutsideTheElementsThrows) {
    lib::array<std::int32_t> values(4);
    struct Case {
        std::int32_t index;
        bool throws;
    } cases[] = {{0, false}, {3, false}, {4, true}, {-1, true}, {1 << 30, true}};
    for (const Case& c : cases) {
        if (c.throws) {
            try {
                values[c.index] = 1;
                ADD_FAILURE() << "index " << c.index << " accepted";
            } catch (const std::range_error& e) {
                EXPECT_STREQ(e.what(), "array::operator[]");
            }
        } else {
            values[c.index] = c.index + 7;
            EXPECT_EQ(values[c.index], c.index + 7);
        }
    }
    const lib::array<float> empty(0);
    EXPECT_THROW(empty[0], std::range_error);
    EXPECT_EQ(lib::array<float>(3)[2], 0.0f);
}

TEST(StrCharCvt, HoldsZeroTerminatedCopy) {
    EXPECT_STREQ(lib::StrCharCvt("").c_str(), "");
    std::string text("a\xC0");
    const lib::StrCharCvt copy(text);
    text[0] = 'z';
    EXPECT_STREQ(copy.c_str(), "a\xC0");
    EXPECT_EQ(std::strlen(copy.c_str()), 2u);
}

TEST(StringToInt, ReadsIntegersOrGivesFallback) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {{"12", 12},
                 {"  -7", -7},
                 {"+3", 3},
                 {"$1F", 31},
                 {"0x10", 16},
                 {"2147483647", 2147483647},
                 {"-2147483648", -2147483648LL},
                 {"2147483648", -99},
                 {"", -99},
                 {" ", -99},
                 {"12 ", -99},
                 {"1a", -99},
                 {"-", -99},
                 {"abc", -99},
                 {"99999999999999", -99}};
    for (const Case& c : cases)
        EXPECT_EQ(lib::string_to_int(c.text, -99), c.value) << c.text;
}

} // namespace
