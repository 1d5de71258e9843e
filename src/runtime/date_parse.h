#pragma once

#include <optional>
#include <string_view>

#include "quillet/locale.h"

namespace quillet::runtime {

/// Reads text as a date, a time or both, the way the runtime reads dates written as text
/// (`CDate`), and returns the serial. Accepted: day, month and year as numbers separated by
/// `/`, `-`, `.`, `,`, blanks or the locale's date separator, in the order of the locale's short
/// date pattern first and else in the first order that gives a valid date (M-D-Y, D-M-Y,
/// Y-M-D); a year of three or four digits or above 31 first; the month as a full or abbreviated
/// month name (the locale's or English); day names are skipped. Two numbers are month and day
/// of the current year (in the locale's order), or month and year when one cannot be a day.
/// Two-digit years 0..29 are 2000..2029, 30..99 are 1930..1999. A time is `h:mm[:ss]` (the
/// locale's time separator also) or a bare hour, with an optional AM/PM designator (the
/// locale's, AM/PM or A/P). Text with only a time gives a serial below 1. Nothing when the text
/// is not a date in the range 1 Jan 100 to 31 Dec 9999.
std::optional<double> ParseDate(std::string_view text, const Locale& locale);

}  // namespace quillet::runtime
