#pragma once

#include <cstdint>
#include <string>

namespace quillet::runtime {

/// A date serial taken apart: the calendar day and the time of day it stands for.
struct DateParts {
  int32_t year = 1899;
  int32_t month = 12;  ///< 1..12
  int32_t day = 30;    ///< 1..31
  int32_t hour = 0;    ///< 0..23
  int32_t minute = 0;
  int32_t second = 0;
  int32_t weekday = 7;    ///< 1 = Sunday ... 7 = Saturday
  int32_t dayOfYear = 1;  ///< 1..366
};

/// Takes a serial (days since 30 Dec 1899; fraction = time of day) apart. For a negative
/// serial the whole part counts toward zero and the time is the fraction's absolute value,
/// so -1.25 is 29 Dec 1899 06:00. The time is rounded to the nearest second. A serial outside
/// 1 Jan 100 .. 31 Dec 9999 (`IsValidDateSerial`) is error 5.
DateParts SplitDateSerial(double serial);

/// The serial of a calendar day at midnight (proleptic Gregorian calendar).
double DateSerial(int32_t year, int32_t month, int32_t day);

/// The fraction of a day that a time of day stands for.
double TimeSerial(int32_t hour, int32_t minute, int32_t second);

/// The serials of 1 Jan 100 and of the last second of 31 Dec 9999, the runtime's date range.
constexpr double kFirstDateSerial = -657434.0;
constexpr double kLastDateSerial = 2958465.999988426;
/// Whether a serial lies in the date range.
bool IsValidDateSerial(double serial);

/// The number of days of a month (1..12) of a year of the Gregorian calendar.
int32_t DaysInMonth(int32_t year, int32_t month);

/// The number of a weekday (1 = Sunday ... 7 = Saturday) counted from `firstDayOfWeek`
/// (1 = Sunday ... 7 = Saturday): the first day of the week is 1.
int32_t WeekdayNumber(int32_t weekday, int32_t firstDayOfWeek);

/// The week of the year of a serial's day, weeks starting on `firstDayOfWeek` (1..7) and week 1
/// chosen by `firstWeekOfYear`: 1 the week of 1 January, 2 the first week with at least four
/// days, 3 the first full week. Days before week 1 belong to the last week of the year before.
/// With the week of 1 January the last days of December count on (week 53 or 54). With
/// four-day weeks the days of December in the next year's week 1 count as week 1, except the
/// first day of that week, which the runtime reports as week 53.
int32_t WeekOfYear(double serial, int32_t firstDayOfWeek, int32_t firstWeekOfYear);

/// Whether a serial has a time part other than midnight (a fraction below 1e-12 counts as none).
bool HasTimePart(double serial);
/// Whether a serial's whole part is 0, the day 30 Dec 1899 that stands for "no date".
bool HasNoDatePart(double serial);

/// A date or time part in decimal digits, zero-padded to at least `width` ("07").
std::string ZeroPadded(int32_t value, int32_t width);

}  // namespace quillet::runtime
