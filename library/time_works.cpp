#include "library/time_works.h"

#include <array>
#include <cstdint>
#include <ctime>

namespace lib {

namespace {

constexpr std::int64_t k_day = 86400;

bool is_leap(int year) {
    return year % 4 == 0;
}

int month_length(int month, int year) {
    static constexpr std::array<int, 12> lengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : lengths[month - 1];
}

constexpr std::array<const char*, 12> k_month_names = {
    "января", "февраля", "марта",    "апреля",  "мая",    "июня",
    "июля",   "августа", "сентября", "октября", "ноября", "декабря",
};

} // namespace

std::uint32_t to_seconds(int year, int month, int day, int hour, int minute, int second) {
    std::int64_t days = std::int64_t{year - 1970} * 365 + (year - 1968) / 4;
    if (is_leap(year))
        --days;
    for (int m = 1; m < month && m <= 12; ++m)
        days += month_length(m, year);
    days += day;
    return static_cast<std::uint32_t>(days * k_day + hour * 3600 + minute * 60 + second);
}

std::uint32_t local_time_seconds() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return to_seconds(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                      local.tm_sec);
}

CalendarTime split_seconds(std::uint32_t value) {
    CalendarTime t;
    t.second = static_cast<int>(value % 60);
    t.minute = static_cast<int>(value / 60 % 60);
    value -= value % 3600;
    t.hour = static_cast<int>(value / 3600 % 24);
    std::int64_t days = value / k_day;
    t.year = 1970;
    while (days - (is_leap(t.year) ? 366 : 365) > 0)
        days -= is_leap(t.year++) ? 366 : 365;
    t.month = 1;
    while (t.month < 12 && days - month_length(t.month, t.year) > 0)
        days -= month_length(t.month++, t.year);
    t.day = static_cast<int>(days);
    return t;
}

std::string format_date_time(std::uint32_t value) {
    if (value < 10)
        return "---------------";
    const CalendarTime t = split_seconds(value);
    return std::to_string(t.day) + " " + k_month_names[t.month - 1] + " " + std::to_string(t.year) + "г. " +
           std::to_string(t.hour) + (t.minute < 10 ? ":0" : ":") + std::to_string(t.minute);
}

} // namespace lib
