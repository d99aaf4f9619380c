#include "library/time_works.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

void expect_parts(std::uint32_t value, int year, int month, int day, int hour, int minute, int second) {
    const lib::CalendarTime t = lib::split_seconds(value);
    EXPECT_EQ(t.year, year) << value;
    EXPECT_EQ(t.month, month) << value;
    EXPECT_EQ(t.day, day) << value;
    EXPECT_EQ(t.hour, hour) << value;
    EXPECT_EQ(t.minute, minute) << value;
    EXPECT_EQ(t.second, second) << value;
}

TEST(Calendar, FirstDayOf1970IsDayOne) {
    EXPECT_EQ(lib::to_seconds(1970, 1, 1, 0, 0, 0), 86400u);
    expect_parts(86400, 1970, 1, 1, 0, 0, 0);
    EXPECT_EQ(lib::format_date_time(86400), "1 января 1970г. 0:00");
}

TEST(Calendar, KnownMomentAndItsText) {
    EXPECT_EQ(lib::to_seconds(2008, 11, 20, 9, 32, 52), 1227259972u);
    expect_parts(1227259972, 2008, 11, 20, 9, 32, 52);
    EXPECT_EQ(lib::format_date_time(1227259972), "20 ноября 2008г. 9:32");
    EXPECT_EQ(lib::format_date_time(lib::to_seconds(2008, 11, 20, 9, 5, 0)), "20 ноября 2008г. 9:05");
    EXPECT_EQ(lib::format_date_time(lib::to_seconds(1999, 5, 3, 23, 59, 59)), "3 мая 1999г. 23:59");
}

TEST(Calendar, EveryYearDivisibleByFourIsLeap) {
    const std::uint32_t leap_day = lib::to_seconds(2100, 2, 29, 12, 30, 15);
    expect_parts(leap_day, 2100, 2, 29, 12, 30, 15);
    EXPECT_EQ(lib::to_seconds(2100, 3, 1, 12, 30, 15) - leap_day, 86400u);
    expect_parts(lib::to_seconds(2100, 12, 31, 23, 59, 59), 2100, 12, 31, 23, 59, 59);
    expect_parts(lib::to_seconds(2008, 12, 31, 0, 0, 0), 2008, 12, 31, 0, 0, 0);
    expect_parts(lib::to_seconds(2009, 1, 1, 0, 0, 0), 2009, 1, 1, 0, 0, 0);
}

TEST(Calendar, ValuesBelowTenFormatAsHyphens) {
    for (std::uint32_t value = 0; value < 10; ++value)
        EXPECT_EQ(lib::format_date_time(value), "---------------") << value;
    EXPECT_EQ(lib::format_date_time(10), "0 января 1970г. 0:00");
}

// Between 1970 and 2099 the calendar agrees with the usual count of seconds, one day later.
TEST(Calendar, AgreesWithUsualCountShiftedByOneDay) {
    for (std::time_t usual = 0; usual < 4102444800; usual += 7654321) {
        std::tm parts{};
        gmtime_r(&usual, &parts);
        const std::uint32_t value = lib::to_seconds(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                                                    parts.tm_hour, parts.tm_min, parts.tm_sec);
        ASSERT_EQ(value, static_cast<std::uint32_t>(usual + 86400)) << usual;
        expect_parts(value, parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                     parts.tm_min, parts.tm_sec);
    }
}

TEST(Calendar, LocalTimeIsTheSystemClockInLocalTime) {
    const std::time_t before = std::time(nullptr);
    const std::uint32_t value = lib::local_time_seconds();
    const std::time_t after = std::time(nullptr);
    std::tm local{};
    localtime_r(&before, &local);
    const auto offset = static_cast<std::int64_t>(local.tm_gmtoff) + 86400;
    EXPECT_GE(std::int64_t{value}, before + offset);
    EXPECT_LE(std::int64_t{value}, after + offset + 1);
}

} // namespace
