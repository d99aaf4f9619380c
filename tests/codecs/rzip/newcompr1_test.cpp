#include "realtime/file_storage.h"
#include "tests/codecs/rzip/rzip_fixture.h"

#include <gmock/gmock.h>

using test_support::newcompr1_entry;
using test_support::RzipEntry;
using test_support::RzipKind;
using test_support::ValueCoding;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Newcompr1 = RzipFixture;

// The realtime file unpacked at path holds the records and values of columns.
void expect_realtime_file(const std::string& path, const test_support::RealtimeColumns& columns) {
    FileStorage storage;
    ASSERT_TRUE(storage.open(path));
    ASSERT_EQ(static_cast<std::size_t>(storage.record_count()), columns.record_count());
    ASSERT_EQ(static_cast<std::size_t>(storage.param_count()), columns.params.size());
    for (std::int32_t r = 0; r < storage.record_count(); ++r) {
        EXPECT_EQ(storage.record(r)->time, columns.time[r]) << r;
        for (std::int32_t p = 0; p < storage.param_count(); ++p)
            EXPECT_EQ(storage.values(r)[p], columns.values[p][r]) << r << " " << p;
    }
}

TEST_F(Newcompr1, EntryBecomesRealtimeFileWithoutSuffix) {
    const auto columns = test_support::sample_columns(300, 4);
    extract({newcompr1_entry("a.realtim", columns), {"inpgti.ini", "[MAIN]\n"}});
    EXPECT_THAT(written(), ElementsAre("a.realtim", "inpgti.ini"));
    expect_realtime_file(out() + "a.realtim", columns);
}

TEST_F(Newcompr1, OldFormatKindIsDecodedNotExpanded) {
    const auto columns = test_support::sample_columns(20, 2);
    RzipEntry entry = newcompr1_entry("b.realdep", columns);
    entry.kind = RzipKind::old_format;
    entry.name += ".newcompr1";
    extract({entry}, 0);
    EXPECT_THAT(written(), ElementsAre("b.realdep"));
    expect_realtime_file(out() + "b.realdep", columns);
}

TEST_F(Newcompr1, DamagedFormWritesNothing) {
    std::string form = test_support::single_stream(test_support::sample_columns(50, 3));
    form[0] = 'c';
    EXPECT_THROW(extract({{"a.realtim", form, RzipKind::newcompr1}}), FileStorageException);
    EXPECT_THAT(written(), IsEmpty());
}

} // namespace
