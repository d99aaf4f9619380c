#include "library/encoding.h"
#include "realtime/file_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

std::string cp(std::string_view text) {
    return lib::utf8_to_cp1251(text);
}

FileStorageParam param(std::string key, float low = 0.0f, float high = 100.0f, std::string text = "") {
    return {{std::move(text), "", ""}, std::move(key), low, high};
}

TEST(FileStorageModel, KeyInOtherLetterCaseIsTheHeldParameter) {
    FileStorage storage;
    EXPECT_EQ(storage.add_param(param(cp("Газ Ёмкость"), 1, 2, "first")), 0);
    EXPECT_EQ(storage.add_param(param("Depth")), 1);
    EXPECT_EQ(storage.add_param(param(cp("гАЗ ёМКОСТЬ"), 5, 6, "second")), 0);
    EXPECT_EQ(storage.add_param(param("DEPTH")), 1);
    EXPECT_EQ(storage.add_param(param(" depth")), 2);
    EXPECT_EQ(storage.add_param(param("depth ")), 3);
    EXPECT_EQ(storage.param_count(), 4);
    EXPECT_EQ(storage.param(0), param(cp("Газ Ёмкость"), 1, 2, "first"));
    EXPECT_THROW(storage.param(4), std::range_error);
}

TEST(FileStorageModel, HundredTwentyNinthParameterIsRefusedAndChangesNothing) {
    FileStorage storage;
    for (int i = 0; i < FileStorage::k_max_params; ++i) {
        storage.add_param(param("p" + std::to_string(i)));
    }
    try {
        storage.add_param(param("one more"));
        FAIL() << "a 129th parameter was taken";
    } catch (const FileStorageException& error) {
        EXPECT_STREQ(error.what(), "слишком много параметров");
    }
    EXPECT_EQ(storage.param_count(), FileStorage::k_max_params);
    // A full table still knows what it holds: a second file of the same parameters merges.
    EXPECT_EQ(storage.add_param(param("P5")), 5);
}

TEST(FileStorageModel, RecordsAlwaysHoldOneValuePerParameter) {
    FileStorage storage;
    storage.add_param(param("a"));
    for (std::uint32_t time = 0; time < 1000; ++time) {
        storage.values(storage.add_record({time, 0, 0, 0, 0, {}}))[0] = static_cast<float>(time);
    }
    storage.add_param(param("b"));
    ASSERT_EQ(storage.record_count(), 1000);
    for (std::int32_t i : {0, 500, 999}) {
        EXPECT_THAT(storage.record(i)->values, ElementsAre(static_cast<float>(i), 0.0f));
    }
    storage.reset_records(3);
    EXPECT_EQ(storage.record_count(), 3);
    EXPECT_THAT(storage.record(2)->values, ElementsAre(0.0f, 0.0f));
    EXPECT_EQ(storage.record(2)->time, 0u);
}

TEST(FileStorageModel, RecordOutsideRangeIsNull) {
    FileStorage storage;
    storage.add_record({});
    EXPECT_NE(storage.record(0), nullptr);
    EXPECT_EQ(storage.record(1), nullptr);
    EXPECT_EQ(storage.record(-1), nullptr);
    EXPECT_TRUE(storage.values(1).empty());
}

TEST(FileStorageModel, FreshStorageTakesEveryTimeAndClearKeepsRangeAndFormat) {
    FileStorage storage;
    EXPECT_EQ(storage.time_from(), 0u);
    EXPECT_EQ(storage.time_to(), 0xFFFFFFFFu);
    storage.add_param(param("a"));
    storage.add_record({});
    storage.text_values.set("well", "1");
    storage.set_time_range(5, 9);
    storage.sector_format = true;
    storage.clear();
    EXPECT_EQ(storage.param_count(), 0);
    EXPECT_EQ(storage.record_count(), 0);
    EXPECT_EQ(storage.text_values.count(), 0);
    EXPECT_EQ(storage.time_from(), 5u);
    EXPECT_EQ(storage.time_to(), 9u);
    EXPECT_TRUE(storage.sector_format);
}

TEST(FileStorageTextValues, SetReplacesSameNameInAnyCaseAndEmptyValueRemoves) {
    FileStorageTextValues values;
    values.set(cp("скважина"), "1");
    values.set("area", "north");
    values.set(cp("Скважина"), "2");
    EXPECT_THAT(values.lines, ElementsAre(cp("Скважина=2"), "area=north"));
    EXPECT_EQ(values.value(cp("СКВАЖИНА")), "2");
    values.set("AREA", "");
    EXPECT_THAT(values.lines, ElementsAre(cp("Скважина=2")));
    values.set("missing", "");
    EXPECT_EQ(values.count(), 1);
}

TEST(FileStorageTextValues, OnlyLinesWithEqualsSignHaveNames) {
    FileStorageTextValues values;
    values.set_text("note without sign\r\na=1=2\r\n=empty name");
    EXPECT_EQ(values.name(0), "");
    EXPECT_EQ(values.name(1), "a");
    EXPECT_EQ(values.value("a"), "1=2");
    EXPECT_EQ(values.value(""), "empty name");
    EXPECT_EQ(values.name(3), "");
}

TEST(FileStorageTextValues, TextSplitsAtEveryLineBreakKind) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a=1", {"a=1"}},
        {"a=1\r\n", {"a=1"}},
        {"a=1\rb=2\nc=3\r\nd=4", {"a=1", "b=2", "c=3", "d=4"}},
        {"a=1\n\nb=2\n", {"a=1", "", "b=2"}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases) {
        FileStorageTextValues values;
        values.set_text(c.text);
        EXPECT_EQ(values.lines, c.lines) << c.text;
    }
    FileStorageTextValues values;
    values.set_text("a=1\nb=2");
    EXPECT_EQ(values.text(), "a=1\r\nb=2\r\n");
    values.clear();
    EXPECT_EQ(values.text(), "");
}

} // namespace
