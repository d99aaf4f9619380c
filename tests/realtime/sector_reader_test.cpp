#include "library/encoding.h"
#include "library/io/input_mapped_file.h"
#include "realtime/file_storage.h"
#include "tests/support/temp_folder.h"
#include "tests/realtime/sector_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

const std::string k_gap_warning = "В файле были найдены пропуски, которые возникли из-за некорректного "
                                  "редактирования файла. Данные считаны не полностью";
const std::string k_damage_warning = "Файл был повреждён. Программа попыталась найти в нём корректные данные "
                                     "методом последовательного перебора";

std::vector<std::uint32_t> times_of(const FileStorage& storage) {
    std::vector<std::uint32_t> times;
    for (std::int32_t i = 0; i < storage.record_count(); ++i) {
        times.push_back(storage.record(i)->time);
    }
    return times;
}

std::vector<float> values_of(const FileStorage& storage, std::int32_t index) {
    const auto values = storage.record(index)->values;
    return {values.begin(), values.end()};
}

class SectorReader : public testing::Test {
protected:
    // Writes the bytes as a time-indexed file and opens it into the storage.
    void open(const SectorBytes& file, const std::string& name = "well.realtim") {
        storage.open(folder.write(name, file.bytes));
    }

    TempFolder folder;
    FileStorage storage;
};

TEST_F(SectorReader, ReadsEveryFieldOfRecordsParametersAndRemarks) {
    SectorBytes file;
    file.sector(2, std::string("\x01"
                               "A\0C\0B\0k\0",
                               9) +
                       std::string("\x00\x00\x80\xBF\x00\x00\x48\x43", 8))
        .record(16, {5.0f})
        .remark(17, 12.5f, "bit change")
        .text("");
    open(file);

    ASSERT_EQ(storage.param_count(), 1);
    const FileStorageParam expected{{"A", "B", "C"}, "k", -1.0f, 200.0f};
    EXPECT_EQ(storage.param(0), expected);
    ASSERT_EQ(storage.record_count(), 1);
    const auto* item = storage.record(0);
    EXPECT_EQ(item->time, 16u);
    EXPECT_EQ(item->depth_z, 1.0f);
    EXPECT_EQ(item->lag_depth, 2.0f);
    EXPECT_EQ(item->operation, 3);
    EXPECT_EQ(item->depth_cur, 4.0f);
    EXPECT_THAT(values_of(storage, 0), ElementsAre(5.0f));
    EXPECT_THAT(storage.remarks(), ElementsAre(SimpleRemark{17, 12.5f, "bit change"}));
    EXPECT_TRUE(storage.messages().empty());
    EXPECT_TRUE(storage.sector_format);
}

TEST_F(SectorReader, SkipsRecordsWhoseValueCountDiffersAndWarnsOnce) {
    SectorBytes file;
    file.params({"a", "b"}).record(1, {1, 2}).record(2, {1}).record(3, {1, 2, 3}).record(4, {3, 4});
    open(file);

    EXPECT_THAT(times_of(storage), ElementsAre(1u, 4u));
    EXPECT_THAT(values_of(storage, 1), ElementsAre(3.0f, 4.0f));
    EXPECT_THAT(storage.messages(), ElementsAre(k_gap_warning));
}

// The header of the sector that cannot be read, and the payload it carries.
struct BadSector {
    const char* what;
    std::int8_t kind;
    std::int16_t length;
    std::string payload;
};

class UnreadableSector : public SectorReader, public testing::WithParamInterface<BadSector> {};

TEST_P(UnreadableSector, ResumesAtNextChainOfFiveHeadersAndWarns) {
    const auto& bad = GetParam();
    SectorBytes file;
    file.params({"a"}).record(1, {1}).sector(bad.kind, bad.length, bad.payload);
    for (std::uint32_t time = 2; time <= 6; ++time) {
        file.record(time, {static_cast<float>(time)});
    }
    open(file);

    EXPECT_THAT(times_of(storage), ElementsAre(1u, 2u, 3u, 4u, 5u, 6u));
    EXPECT_THAT(storage.messages(), ElementsAre(k_damage_warning));
}

INSTANTIATE_TEST_SUITE_P(Headers, UnreadableSector,
                         testing::Values(BadSector{"kind9", 9, 4, std::string(4, '\0')},
                                         BadSector{"kind0", 0, 2, std::string(2, '\0')},
                                         BadSector{"negativeKind", -3, 2, std::string(2, '\0')},
                                         BadSector{"lengthZero", 1, 0, ""},
                                         BadSector{"length32768", 1, -32768, std::string(3, '\0')},
                                         BadSector{"lengthNegative", 3, -1, ""}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(SectorReader, EachWarningOncePerFileGapsFirst) {
    SectorBytes file;
    file.params({"a"}).sector(9, 1, std::string(1, '\0'));
    for (std::uint32_t time = 1; time <= 5; ++time) {
        file.record(time, {1, 2});
    }
    file.sector(8, 1, std::string(1, '\0'));
    for (std::uint32_t time = 6; time <= 10; ++time) {
        file.record(time, {1});
    }
    open(file);
    EXPECT_EQ(storage.record_count(), 5);
    EXPECT_THAT(storage.messages(), ElementsAre(k_gap_warning, k_damage_warning));

    open(file, "again.realtim");
    EXPECT_THAT(storage.messages(),
                ElementsAre(k_gap_warning, k_damage_warning, k_gap_warning, k_damage_warning));
}

TEST_F(SectorReader, ResumesInsideBadSectorWhereFiveHeadersChain) {
    // The bad sector's payload holds a run of well-formed sectors: reading resumes at the first.
    SectorBytes inner;
    for (std::uint32_t time = 10; time < 15; ++time) {
        inner.record(time, {1});
    }
    SectorBytes file;
    file.params({"a"}).sector(7, static_cast<std::int16_t>(inner.bytes.size() + 1), "\x7F" + inner.bytes);
    open(file);

    EXPECT_THAT(times_of(storage), ElementsAre(10u, 11u, 12u, 13u, 14u));
    EXPECT_THAT(storage.messages(), ElementsAre(k_damage_warning));
}

TEST_F(SectorReader, DamageBeforeFewerThanFiveSectorsEndsWithEofAndKeepsRecords) {
    SectorBytes file;
    file.params({"a"})
        .record(1, {1})
        .record(2, {2})
        .sector(9, 2, std::string(2, '\0'))
        .record(3, {3})
        .record(4, {4});

    EXPECT_THROW(
        {
            try {
                open(file);
            } catch (const std::runtime_error& error) {
                EXPECT_STREQ(error.what(), "InputMappedFile::read: eof");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_THAT(times_of(storage), ElementsAre(1u, 2u));
    EXPECT_TRUE(storage.messages().empty());
}

TEST_F(SectorReader, HeaderCutByEndOfFileEndsWithEof) {
    SectorBytes file;
    file.params({"a"}).record(1, {1}).raw("\x01\x16");
    EXPECT_THROW(open(file), std::runtime_error);
    EXPECT_THAT(times_of(storage), ElementsAre(1u));
}

// A sector that its decoder cannot finish is passed over by its length, so nothing around it is lost.
TEST_F(SectorReader, PassesOverSectorItsDecoderCannotFinish) {
    SectorBytes unterminated_text;
    unterminated_text.params({"a"}).record(1, {1}).sector(3, "a=1\r\n").record(2, {2});
    open(unterminated_text);
    EXPECT_THAT(times_of(storage), ElementsAre(1u, 2u));
    EXPECT_EQ(storage.text_values.count(), 0);

    // A record cut off by the end of the file: the file opens with everything before it.
    SectorBytes truncated;
    truncated.record(3, {3}).record(4, {4});
    truncated.bytes.resize(truncated.bytes.size() - 2);
    open(truncated, "second.realtim");
    EXPECT_THAT(times_of(storage), ElementsAre(1u, 2u, 3u));
    EXPECT_TRUE(storage.messages().empty());
}

TEST_F(SectorReader, TableOfMoreThan128ColumnsKeepsRecordsWithoutValues) {
    SectorBytes table;
    table.append(std::uint8_t{200});
    SectorBytes file;
    file.params({"a"})
        .record(1, {1})
        .sector(2, table.bytes)
        .record(2, std::vector<float>(200, 7.0f))
        .record(3, {3});
    open(file);

    EXPECT_EQ(storage.param_count(), 1);
    EXPECT_THAT(times_of(storage), ElementsAre(1u, 2u));
    EXPECT_THAT(values_of(storage, 1), ElementsAre(0.0f));
    EXPECT_THAT(storage.messages(), ElementsAre(k_gap_warning));
}

TEST_F(SectorReader, SecondParameterTableAddsParametersAndRemapsColumns) {
    SectorBytes file;
    file.params({"a"}).record(1, {1}).params({"b", "A"}).record(2, {2, 3});
    open(file);

    EXPECT_EQ(storage.param_count(), 2);
    EXPECT_EQ(storage.param(1).key, "b");
    EXPECT_THAT(values_of(storage, 0), ElementsAre(1.0f, 0.0f));
    EXPECT_THAT(values_of(storage, 1), ElementsAre(3.0f, 2.0f));
}

TEST_F(SectorReader, ColumnsBeyondTheLastParameterAreLeftOut) {
    std::vector<std::string> held;
    for (int i = 0; i < 100; ++i) {
        held.push_back("p" + std::to_string(i));
    }
    std::vector<std::string> more{"p0"};
    for (int i = 0; i < 39; ++i) {
        more.push_back("q" + std::to_string(i));
    }
    std::vector<float> values(40);
    for (int i = 0; i < 40; ++i) {
        values[i] = static_cast<float>(i + 1);
    }
    SectorBytes file;
    file.params(held).params(more).record(1, values).record(2, values);
    open(file);

    ASSERT_EQ(storage.param_count(), FileStorage::k_max_params);
    const auto stored = values_of(storage, 0);
    ASSERT_EQ(stored.size(), 128u);
    EXPECT_EQ(stored[0], 1.0f);    // p0 is held
    EXPECT_EQ(stored[100], 2.0f);  // q0 is the 101st parameter
    EXPECT_EQ(stored[127], 29.0f); // q27 is the last that fits; q28 and later have no place
    EXPECT_EQ(storage.record_count(), 2);
    EXPECT_TRUE(storage.messages().empty());
}

TEST_F(SectorReader, SecondFileOfFullParameterTableKeepsItsValues) {
    std::vector<std::string> keys;
    std::vector<float> values;
    for (int i = 0; i < FileStorage::k_max_params; ++i) {
        keys.push_back("p" + std::to_string(i));
        values.push_back(static_cast<float>(i + 1));
    }
    SectorBytes file;
    file.params(keys).record(1, values);
    open(file);
    open(file, "again.realtim");

    ASSERT_EQ(storage.record_count(), 2);
    EXPECT_TRUE(std::ranges::equal(storage.record(1)->values, values));
}

TEST_F(SectorReader, TableNamingHeldParameterInOtherCaseAddsNothing) {
    const auto upper = lib::utf8_to_cp1251("ГЛУБИНА Ёмкость");
    const auto lower = lib::utf8_to_cp1251("глубина ёмкость");
    SectorBytes file;
    file.params({upper}).record(1, {1}).params({lower}).record(2, {2});
    open(file);

    ASSERT_EQ(storage.param_count(), 1);
    EXPECT_EQ(storage.param(0).key, upper);
    EXPECT_THAT(values_of(storage, 1), ElementsAre(2.0f));
}

TEST_F(SectorReader, TextSectorStripsQuotesIgnoresUnsetAndRemovesEmpty) {
    const auto cp = [](std::string_view text) { return lib::utf8_to_cp1251(text); };
    SectorBytes file;
    file.text(cp("скважина=12\r\nплощадь=Север\r\nкуст=1\r\n"))
        .text(cp("Скважина=::НЕ ЗАДАНО::\r\nплощадь=\r\nкуст=\"5\"\r\nместо=\"\"\r\nпласт=\"\r\n"));
    open(file);

    // A value of two quotes is empty once they are taken away, and so removes its name.
    EXPECT_THAT(storage.text_values.lines, ElementsAre(cp("скважина=12"), cp("куст=5"), cp("пласт=\"")));
}

TEST_F(SectorReader, OutOfRangeValueZeroesWholeRecordKeepingItsFields) {
    SectorBytes file;
    file.params({"a", "b"})
        .record(1, {3e20f, 7})
        .record(2, {std::numeric_limits<float>::quiet_NaN(), 7})
        .record(3, {-1e20f, 1e20f})
        .record(4, {7, -2e20f});
    open(file);

    ASSERT_EQ(storage.record_count(), 4);
    for (int i : {0, 1, 3}) {
        EXPECT_THAT(values_of(storage, i), ElementsAre(0.0f, 0.0f)) << i;
    }
    EXPECT_EQ(storage.record(0)->depth_cur, 4.0f);
    EXPECT_EQ(storage.record(0)->operation, 3);
    // 1e20 as a float lies just above 1e20.
    EXPECT_THAT(values_of(storage, 2), ElementsAre(0.0f, 0.0f));
}

TEST_F(SectorReader, TakesRecordsInsideTimeRangeAndEveryCompactRecord) {
    storage.set_time_range(10, 20);
    SectorBytes file;
    file.params({"a"}).record(9, {1}).record(10, {2}).record(20, {3}).record(21, {4}).compact(5, {6});
    open(file);

    EXPECT_THAT(times_of(storage), ElementsAre(10u, 20u, 5u));
    const auto* compact = storage.record(2);
    EXPECT_EQ(compact->operation, 255);
    EXPECT_EQ(compact->depth_z, 0.0f);
    EXPECT_EQ(compact->lag_depth, 0.0f);
    EXPECT_EQ(compact->depth_cur, 0.0f);
    EXPECT_THAT(values_of(storage, 2), ElementsAre(6.0f));
    EXPECT_TRUE(storage.messages().empty());
}

TEST_F(SectorReader, RecordWithoutValuesAfterEmptyTableGetsZeroForEveryParameter) {
    SectorBytes file;
    file.params({"a", "b"}).params({}).record(1, {});
    open(file);
    ASSERT_EQ(storage.record_count(), 1);
    EXPECT_THAT(values_of(storage, 0), ElementsAre(0.0f, 0.0f));
}

TEST_F(SectorReader, SecondFileIsAppendedFromTimeRangeOn) {
    SectorBytes well;
    well.params({"a"}).record(1, {1}).record(5, {5});
    open(well);
    storage.set_time_range(7, 0xFFFFFFFF);
    SectorBytes arrived;
    arrived.params({"b", "a"}).record(5, {0, 5}).record(6, {0, 6}).record(7, {70, 7}).compact(2, {20, 2});
    open(arrived, "arrived.realtim");

    EXPECT_THAT(times_of(storage), ElementsAre(1u, 5u, 7u, 2u));
    EXPECT_THAT(values_of(storage, 0), ElementsAre(1.0f, 0.0f));
    EXPECT_THAT(values_of(storage, 2), ElementsAre(7.0f, 70.0f));
}

TEST_F(SectorReader, ChoosesReaderByExtension) {
    SectorBytes file;
    file.params({"a"}).record(1, {1});
    EXPECT_TRUE(storage.open(folder.write("X.REALTIM", file.bytes)));
    EXPECT_TRUE(storage.open(folder.write("X.rtm", file.bytes)));
    EXPECT_EQ(storage.record_count(), 2);

    EXPECT_FALSE(storage.open(folder.write("X.Tim", file.bytes)));
    EXPECT_FALSE(storage.sector_format);
    EXPECT_EQ(storage.record_count(), 2);

    try {
        storage.open(folder.write("X.TXT", file.bytes));
        FAIL() << "an unknown extension was read";
    } catch (const FileStorageException& error) {
        EXPECT_STREQ(error.what(), "Неправильное расширение открываемого файла: .txt");
    }
    EXPECT_THROW(storage.open(folder.write("realtim", file.bytes)), FileStorageException);
    EXPECT_EQ(storage.record_count(), 2);
}

TEST_F(SectorReader, MissingAndEmptyFilesFailWithStreamErrors) {
    EXPECT_THROW(storage.open(folder.path() + "none.realtim"), std::runtime_error);
    EXPECT_THROW(storage.open(folder.write("empty.realtim", "")), std::runtime_error);
}

TEST_F(SectorReader, CountsChainedWellFormedHeaders) {
    SectorBytes file;
    file.params({"a"}).record(1, {1}).record(2, {2}).sector(6, 1, "x").record(3, {3});
    lib::io::InputMappedFile in;
    in.open(folder.write("chain.realtim", file.bytes), false);
    EXPECT_EQ(FileStorage::count_valid_headers(in, 2), 2);
    in.seek(0, 0);
    EXPECT_EQ(FileStorage::count_valid_headers(in, 5), 3);
}

TEST_F(SectorReader, NoLockingMarkerLetsOpenReadFileAnotherHolds) {
    SectorBytes file;
    file.params({"a"}).record(1, {1});
    const auto path = folder.write("locked.realtim", file.bytes);
    lib::io::OSFile writer;
    writer.open(path, lib::io::OpenMode::append, true);

    EXPECT_THROW(storage.open(path), std::runtime_error);
    EXPECT_EQ(storage.record_count(), 0);
    folder.write(".nolocking", "");
    EXPECT_TRUE(FileStorage::locking_disabled(path));
    storage.open(path);
    EXPECT_EQ(storage.record_count(), 1);
}

} // namespace
