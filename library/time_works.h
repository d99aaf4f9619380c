#pragma once

// The program's calendar: local date and time as one unsigned count of seconds, in which
// 1 January 1970 00:00:00 is 86400 (day 1) and every year divisible by 4 is a leap year, 2100 too.
// Log lines carry these time stamps.

#include <cstdint>
#include <string>

namespace lib {

struct CalendarTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

std::uint32_t to_seconds(int year, int month, int day, int hour, int minute, int second);

// The local time of the system clock.
std::uint32_t local_time_seconds();

CalendarTime split_seconds(std::uint32_t value);

// "20 ноября 2008г. 9:05" (UTF-8); a value below 10 gives 15 hyphens.
std::string format_date_time(std::uint32_t value);

} // namespace lib
