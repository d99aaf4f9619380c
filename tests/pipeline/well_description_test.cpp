#include "pipeline/well_description.h"

#include "library/encoding.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(WellDescription, ReadsWindows1251IniWithFallbacksTrimmingAndSafeNames) {
    const struct {
        const char* what;
        const char* ini; // UTF-8 here, written to the file as Windows-1251
        const char* area;
        const char* well;
    } cases[] = {
        {"first choice", "[скважина]\nплощадь=Ванкорская\nномер=12Р\n", "Ванкорская", "12Р"},
        {"names in any case", "[СКВАЖИНА]\nПЛОЩАДЬ=Северная\nНомер=7\n", "Северная", "7"},
        {"second choice when the first is empty", "[скважина]\nномер=\n[PORE]\nHOLE=3\nField=Южная\n",
         "Южная", "3"},
        {"first choice wins over the second", "[pore]\nhole=1\nfield=F\n[скважина]\nномер=2\nплощадь=A\n",
         "A", "2"},
        {"blanks and control characters trimmed", "[скважина]\nномер= \t 15 \x01\n", "undefined", "15"},
        {"nothing named", "[другое]\nномер=5\n", "undefined", "undefined"},
        {"names cannot leave the data folder", "[скважина]\nплощадь=..\nномер=../../etc\n", "undefined",
         ".._.._etc"},
        {"backslash and dot", "[скважина]\nплощадь=.\nномер=a\\b\n", "undefined", "a_b"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        write_file(folder / "inpgti.ini", lib::utf8_to_cp1251(c.ini));
        const auto description = read_well_description(folder / "inpgti.ini");
        EXPECT_EQ(description.area, c.area) << c.what;
        EXPECT_EQ(description.well, c.well) << c.what;
    }
}

TEST(WellDescription, MissingFileGivesUndefined) {
    TempFolder folder;
    const auto description = read_well_description(folder / "inpgti.ini");
    EXPECT_EQ(description.area, "undefined");
    EXPECT_EQ(description.well, "undefined");
}

// The INI reader holds 199 bytes of a line: the rest of a longer line must not parse as a line of its
// own (here the cut falls just before "номер="), and a well name on such a line must not be taken
// shortened.
TEST(WellDescription, LongLinesNeverGiveShortenedOrInventedNames) {
    TempFolder folder;
    write_file(folder / "inpgti.ini", lib::utf8_to_cp1251("[скважина]\nописание=" + std::string(191, 'x') +
                                                           "номер=подложный\n"
                                                           "площадь=Ванкорская\nномер=12Р\n"));
    const auto description = read_well_description(folder / "inpgti.ini");
    EXPECT_EQ(description.area, "Ванкорская");
    EXPECT_EQ(description.well, "12Р");

    write_file(folder / "inpgti.ini",
                lib::utf8_to_cp1251("[скважина]\nномер=" + std::string(300, '7') + "\n"));
    try {
        read_well_description(folder / "inpgti.ini");
        FAIL() << "a well name longer than a line was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(folder / "inpgti.ini"), std::string::npos) << error.what();
    }
}

} // namespace
