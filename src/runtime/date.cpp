#include "runtime/date.h"

#include <cmath>

#include "quillet/error.h"

namespace quillet::runtime {
namespace {

// Days from 1970-01-01 to a civil date, and back (H. Hinnant's algorithms).
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int32_t& year, int32_t& month, int32_t& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int32_t>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;
constexpr double kNoFraction = 1e-12;

}  // namespace

DateParts SplitDateSerial(double serial) {
  // Far outside, the day count would not even fit an integer.
  if (!IsValidDateSerial(serial)) throw Error::InvalidProcedureCall();
  double whole = std::trunc(serial);
  int64_t seconds = std::llround(std::fabs(serial - whole) * kSecondsPerDay);
  if (seconds >= 86400) {  // rounding carried into the next day
    seconds -= 86400;
    whole += serial < 0 ? -1 : 1;
  }
  DateParts parts;
  const int64_t days = static_cast<int64_t>(whole) + kEpochOffset;
  CivilFromDays(days, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int32_t>(seconds / 3600);
  parts.minute = static_cast<int32_t>(seconds / 60 % 60);
  parts.second = static_cast<int32_t>(seconds % 60);
  // 1970-01-01 was a Thursday (weekday 5 when Sunday is 1).
  parts.weekday = static_cast<int32_t>(((days % 7) + 7 + 4) % 7) + 1;
  parts.dayOfYear = static_cast<int32_t>(days - DaysFromCivil(parts.year, 1, 1)) + 1;
  return parts;
}

double DateSerial(int32_t year, int32_t month, int32_t day) {
  return static_cast<double>(DaysFromCivil(year, month, day) - kEpochOffset);
}

double TimeSerial(int32_t hour, int32_t minute, int32_t second) {
  return (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;
}

bool IsValidDateSerial(double serial) {
  return serial >= kFirstDateSerial && serial <= kLastDateSerial;
}

int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[(month - 1) % 12];
}

int32_t WeekdayNumber(int32_t weekday, int32_t firstDayOfWeek) {
  return (weekday - firstDayOfWeek + 7) % 7 + 1;
}

namespace {

// The serial of the first day of week 1 of a year.
double FirstWeekStart(int32_t year, int32_t firstDayOfWeek, int32_t firstWeekOfYear) {
  const double january1 = DateSerial(year, 1, 1);
  const int32_t offset = WeekdayNumber(SplitDateSerial(january1).weekday, firstDayOfWeek) - 1;
  const double weekStart = january1 - offset;
  switch (firstWeekOfYear) {
    case 2:
      return 7 - offset >= 4 ? weekStart : weekStart + 7;
    case 3:
      return offset == 0 ? weekStart : weekStart + 7;
    default:
      return weekStart;
  }
}

}  // namespace

// The runtime reports the first day of a December week that is already the next year's week 1
// (four-day rule) as week 53. Set to false for the ISO-like answer.
constexpr bool kFirstDayOfLastWeekStaysInYear = true;

int32_t WeekOfYear(double serial, int32_t firstDayOfWeek, int32_t firstWeekOfYear) {
  const DateParts parts = SplitDateSerial(serial);
  const double day = DateSerial(parts.year, parts.month, parts.day);
  double start = FirstWeekStart(parts.year, firstDayOfWeek, firstWeekOfYear);
  if (day < start) start = FirstWeekStart(parts.year - 1, firstDayOfWeek, firstWeekOfYear);
  if (firstWeekOfYear == 2 && day >= FirstWeekStart(parts.year + 1, firstDayOfWeek, 2) &&
      !(kFirstDayOfLastWeekStaysInYear && WeekdayNumber(parts.weekday, firstDayOfWeek) == 1))
    return 1;
  return static_cast<int32_t>((day - start) / 7) + 1;
}

bool HasTimePart(double serial) {
  return std::fabs(serial - std::trunc(serial)) >= kNoFraction;
}

bool HasNoDatePart(double serial) {
  return std::trunc(serial) == 0;
}

std::string ZeroPadded(int32_t value, int32_t width) {
  std::string digits = std::to_string(value);
  if (static_cast<int32_t>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

}  // namespace quillet::runtime
