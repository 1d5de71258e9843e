#pragma once

#include <cstdint>
#include <string_view>

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet::runtime {

/// `Format(expression, pattern, firstDayOfWeek, firstWeekOfYear)`: a value as text by a
/// format pattern, in the runtime's pattern language.
///
/// - No pattern (""): numbers and Booleans give their ordinary text form, dates the general
///   date, text itself.
/// - Named formats, matched without regard to case and only as the whole pattern: "General
///   Number", "Currency", "Fixed", "Standard", "Percent", "Scientific", "Yes/No",
///   "True/False", "On/Off", "General Date", "Long Date", "Medium Date", "Short Date",
///   "Long Time", "Medium Time", "Short Time".
/// - User-defined patterns of up to four `;` sections (see `ParseFormatPattern`): numbers
///   (positive; negative; zero; Null, an empty section standing for the first), dates and
///   times (a number is a date serial), text (the second section for Null and "").
///
/// Values: numbers, Booleans and dates take number and date patterns; text takes them when it
/// reads as a number or else as a date (regional rules), and otherwise comes back unchanged;
/// under a text pattern every value is taken as its text form. Null gives the Null section's
/// text, else Null; Empty gives "". The result is a String, or Null.
///
/// `firstDayOfWeek`: 0 the locale's, 1 Sunday ... 7 Saturday. `firstWeekOfYear`: 0 the
/// locale's, 1 the week of 1 January, 2 the first week with four days, 3 the first full week.
/// Other values, and a date outside 1 Jan 100 .. 31 Dec 9999, are error 5.
Variant Format(const Variant& expression, std::string_view pattern, int32_t firstDayOfWeek,
               int32_t firstWeekOfYear, const Locale& locale);

}  // namespace quillet::runtime
