#include "core/StoredDateTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zemvalkorta {

namespace {

using std::chrono::days;
using std::chrono::milliseconds;

constexpr std::chrono::sys_days FirstDate{std::chrono::year{1} / 1 / 1};
constexpr std::chrono::sys_days EndDate{std::chrono::year{10000} / 1 / 1};
constexpr double FirstDay = static_cast<double>((FirstDate - StoredDateOrigin).count());
constexpr double EndDay = static_cast<double>((EndDate - StoredDateOrigin).count());

CalendarDateTime CalendarOf(std::chrono::sys_time<milliseconds> time) {
    const auto day = std::chrono::floor<days>(time);
    return {std::chrono::year_month_day{day}, std::chrono::hh_mm_ss<milliseconds>{time - day}};
}

}  // namespace

std::optional<CalendarDateTime> CalendarOfStoredDateTime(double dateTime) {
    if (!std::isfinite(dateTime) || dateTime < FirstDay || dateTime >= EndDay) return std::nullopt;
    days whole{static_cast<std::int64_t>(std::trunc(dateTime))};
    milliseconds time{std::llround(std::fabs(dateTime - static_cast<double>(whole.count())) * MillisecondsPerDay)};
    if (time >= days{1}) {
        time -= days{1};
        whole += days{1};
    }
    const std::chrono::sys_days day = StoredDateOrigin + whole;
    if (day >= EndDate) return std::nullopt;
    return CalendarDateTime{std::chrono::year_month_day{day}, std::chrono::hh_mm_ss<milliseconds>{time}};
}

std::string DateTimeText(double dateTime) {
    const auto calendar = CalendarOfStoredDateTime(dateTime);
    if (!calendar) return {};
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(calendar->Date.year()),
                  static_cast<unsigned>(calendar->Date.month()), static_cast<unsigned>(calendar->Date.day()),
                  static_cast<int>(calendar->Time.hours().count()), static_cast<int>(calendar->Time.minutes().count()),
                  static_cast<int>(calendar->Time.seconds().count()));
    return buffer;
}

CalendarDateTime CalendarOfMilliseconds(std::int64_t count) {
    constexpr std::int64_t First = (FirstDate - StoredDateOrigin).count() * MillisecondsPerDay;
    constexpr std::int64_t Last = (EndDate - StoredDateOrigin).count() * MillisecondsPerDay - 1;
    return CalendarOf(StoredDateOrigin + milliseconds{std::clamp(count, First, Last)});
}

std::int64_t MillisecondsOfStoredDateTime(double dateTime) {
    if (!std::isfinite(dateTime)) return 0;
    return std::llround(dateTime * static_cast<double>(MillisecondsPerDay));
}

double StoredDateTime(std::chrono::year_month_day date, std::chrono::seconds timeOfDay) {
    const days count = std::chrono::sys_days{date} - StoredDateOrigin;
    return static_cast<double>(count.count()) + static_cast<double>(timeOfDay.count()) / 86400.0;
}

std::chrono::seconds SecondsSinceOrigin(std::chrono::sys_seconds time) {
    return time - std::chrono::sys_seconds{StoredDateOrigin};
}

std::chrono::milliseconds MillisecondsSince1970(double dateTime) {
    constexpr double DaysTo1970 = static_cast<double>((std::chrono::sys_days{} - StoredDateOrigin).count());
    return milliseconds{std::llround((dateTime - DaysTo1970) * static_cast<double>(MillisecondsPerDay))};
}

}  // namespace zemvalkorta
