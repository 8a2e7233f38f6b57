#include "core/StoredDateTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

namespace zemvalkorta {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

constexpr double MillisecondOfDay = 1.0 / 86'400'000.0;

TEST(StoredDateTimeTest, TextOfTheOriginMidnightAndTheDaysEnd) {
    EXPECT_EQ(DateTimeText(0.0), "1899-12-30T00:00:00");
    EXPECT_EQ(DateTimeText(-0.0), "1899-12-30T00:00:00");
    EXPECT_EQ(DateTimeText(1.0), "1899-12-31T00:00:00");
    EXPECT_EQ(DateTimeText(2.0), "1900-01-01T00:00:00");
    // The last millisecond before midnight is still that day; half a
    // millisecond before midnight rounds into the next one.
    EXPECT_EQ(DateTimeText(45000.0 + 86'399'999 * MillisecondOfDay), "2023-03-15T23:59:59");
    EXPECT_EQ(DateTimeText(45001.0 - 0.4 * MillisecondOfDay), "2023-03-16T00:00:00");
    const auto calendar = CalendarOfStoredDateTime(45000.0 + 86'399'999 * MillisecondOfDay);
    ASSERT_TRUE(calendar);
    EXPECT_EQ(calendar->Time.subseconds(), 999ms);
}

TEST(StoredDateTimeTest, LeapDaysAndNegativeCounts) {
    EXPECT_EQ(DateTimeText(StoredDateTime(2024y / February / 29, 12h)), "2024-02-29T12:00:00");
    EXPECT_EQ(DateTimeText(StoredDateTime(2000y / February / 29, 0s)), "2000-02-29T00:00:00");
    EXPECT_EQ(DateTimeText(StoredDateTime(2000y / March / 1, 0s)), "2000-03-01T00:00:00");
    EXPECT_EQ(StoredDateTime(1900y / March / 1, 0s), 61.0);  // 1900 is no leap year
    EXPECT_EQ(StoredDateTime(1899y / December / 29, 0s), -1.0);
    // Before the origin the whole days count back, the fraction forward.
    EXPECT_EQ(DateTimeText(-1.25), "1899-12-29T06:00:00");
    EXPECT_EQ(DateTimeText(-0.5), "1899-12-30T12:00:00");
    // A clock count runs back from midnight instead.
    const CalendarDateTime clock = CalendarOfMilliseconds(-6 * 3'600'000);
    EXPECT_EQ(clock.Date, 1899y / December / 29);
    EXPECT_EQ(clock.Time.hours(), 18h);
}

TEST(StoredDateTimeTest, RangeOfTheTextForm) {
    const double first = StoredDateTime(1y / January / 1, 0s);
    const double last = StoredDateTime(9999y / December / 31, 23h + 59min + 59s);
    EXPECT_EQ(first, -693593.0);
    EXPECT_EQ(DateTimeText(first), "0001-01-01T00:00:00");
    EXPECT_EQ(DateTimeText(last), "9999-12-31T23:59:59");
    EXPECT_EQ(DateTimeText(std::nextafter(first, -1e9)), "");
    EXPECT_EQ(DateTimeText(2958466.0), "");
    // Rounds up into year 10000.
    EXPECT_EQ(DateTimeText(2958466.0 - 0.1 * MillisecondOfDay), "");
    EXPECT_EQ(DateTimeText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(DateTimeText(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(CalendarOfMilliseconds(std::numeric_limits<std::int64_t>::min()).Date, 1y / January / 1);
    EXPECT_EQ(CalendarOfMilliseconds(std::numeric_limits<std::int64_t>::max()).Date, 9999y / December / 31);
}

TEST(StoredDateTimeTest, RoundTripsThroughCalendarAndClock) {
    for (const year_month_day date : {1y / January / 1, 1899y / December / 29, 1899y / December / 30,
                                      2000y / January / 1, 2023y / March / 15, 9999y / December / 31}) {
        for (const seconds time : {0s, 1s, 43200s, 86399s}) {
            const double stored = StoredDateTime(date, time);
            // The stored value counts like a clock: the whole day it lies in, then the time.
            const CalendarDateTime clock = CalendarOfMilliseconds(MillisecondsOfStoredDateTime(stored));
            EXPECT_EQ(clock.Date, date) << stored;
            EXPECT_EQ(clock.Time.to_duration(), time) << stored;
            if (date < 1899y / December / 30) continue;
            const auto calendar = CalendarOfStoredDateTime(stored);
            ASSERT_TRUE(calendar) << stored;
            EXPECT_EQ(calendar->Date, date) << stored;
            EXPECT_EQ(calendar->Time.to_duration(), time) << stored;
        }
    }
    EXPECT_EQ(MillisecondsOfStoredDateTime(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(MillisecondsOfStoredDateTime(1.5), 129'600'000);
    const sys_seconds epoch{};
    EXPECT_EQ(SecondsSinceOrigin(epoch), days{25569});
    EXPECT_EQ(MillisecondsSince1970(25569.0), 0ms);
    EXPECT_EQ(MillisecondsSince1970(25570.5), 129'600'000ms);
    const sys_seconds now = floor<seconds>(system_clock::now());
    EXPECT_EQ(MillisecondsSince1970(static_cast<double>(SecondsSinceOrigin(now).count()) / 86400.0),
              duration_cast<milliseconds>(now.time_since_epoch()));
}

}  // namespace
}  // namespace zemvalkorta
