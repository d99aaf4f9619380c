#include "library/wildcard.h"

#include <gtest/gtest.h>

namespace {

TEST(Wildcard, MatchesLikeWindowsMasks) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"1.ZREG", "*.zreg", true},
        {"1.zreg", "*.ZREG", true},
        {"1.zreg1", "*.zreg", false},
        {"README", "*.*", true},
        {".hidden", "*.*", true},
        {"a", "a.*", true},
        {"a.b.c", "*.c", true},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbc", "a?c", false},
        {"aXbXc", "a*b*c", true},
        {"abd", "a*c", false},
        {"a*b", "a*b", true},
        {"", "*", true},
        {"x", "", false},
        {"Скважина.txt", "скважина.*", true},
        {"жук", "?ук", true}, // '?' takes a whole two-byte letter
        {"жук", "??ук", false},
        {"Ёж.las", "ёж.LAS", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lib::matches_mask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
}

} // namespace
