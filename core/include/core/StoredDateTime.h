#pragma once

// The stored date-time: a day count since 1899-12-30 as a double whose
// fraction is the time of day. Every conversion to and from calendar fields
// and texts goes through here; each keeps the rounding its readers rely on.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace zemvalkorta {

inline constexpr std::chrono::sys_days StoredDateOrigin{std::chrono::year{1899} / 12 / 30};
inline constexpr std::int64_t MillisecondsPerDay = 86'400'000;

struct CalendarDateTime {
    std::chrono::year_month_day Date;
    std::chrono::hh_mm_ss<std::chrono::milliseconds> Time;
};

// The calendar date and time of a stored value the way its text form reads
// it: whole days from the origin, the fraction forward from that midnight
// even for negative counts (-1.25 is 1899-12-29 06:00), rounded to the
// millisecond. nullopt for a value that is not finite or lies outside years
// 1..9999.
std::optional<CalendarDateTime> CalendarOfStoredDateTime(double dateTime);

// "YYYY-MM-DDTHH:MM:SS" of CalendarOfStoredDateTime, shown to the second;
// empty where that has no date.
std::string DateTimeText(double dateTime);

// A count of milliseconds since the origin as a clock reads it (before the
// origin it runs back from midnight), clamped to years 1..9999.
CalendarDateTime CalendarOfMilliseconds(std::int64_t milliseconds);

// The stored value rounded to the millisecond; 0 for a value that is not
// finite.
std::int64_t MillisecondsOfStoredDateTime(double dateTime);

// The stored value of a valid date and a time of day in whole seconds, read
// like a clock (before the origin, CalendarOfStoredDateTime reads it another
// day).
double StoredDateTime(std::chrono::year_month_day date, std::chrono::seconds timeOfDay);

// Between the stored value and the system clock (UTC, counted from 1970).
std::chrono::seconds SecondsSinceOrigin(std::chrono::sys_seconds time);
std::chrono::milliseconds MillisecondsSince1970(double dateTime);

}  // namespace zemvalkorta
