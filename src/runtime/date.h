#pragma once

#include <cstdint>

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
/// so -1.25 is 29 Dec 1899 06:00. The time is rounded to the nearest second.
DateParts SplitDateSerial(double serial);

/// The serial of a calendar day at midnight (proleptic Gregorian calendar).
double DateSerial(int32_t year, int32_t month, int32_t day);

/// The fraction of a day that a time of day stands for.
double TimeSerial(int32_t hour, int32_t minute, int32_t second);

/// Whether a serial has a time part other than midnight (a fraction below 1e-12 counts as none).
bool HasTimePart(double serial);
/// Whether a serial's whole part is 0, the day 30 Dec 1899 that stands for "no date".
bool HasNoDatePart(double serial);

}  // namespace quillet::runtime
