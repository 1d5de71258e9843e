#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::runtime {

/// The regional settings that every locale-aware text service reads: number and currency
/// formatting, date and time patterns, names. Patterns use the system notation (`M`/`MM`/
/// `MMM`/`MMMM` month, `d`..`dddd` day, `y`/`yy`/`yyyy` year, `h`/`hh` 12-hour, `H`/`HH`
/// 24-hour, `m`/`mm` minutes, `s`/`ss` seconds, `tt` AM/PM, text in single quotes literal).
///
/// Nothing reads the process locale: every service takes the `Locale` it works in, and each
/// `Quillet` object has its own (by default the classic en-US desktop profile, so that results
/// are the same on every machine).
struct Locale {
  std::string name = "en-US";

  std::string decimalSeparator = ".";
  std::string groupSeparator = ",";
  int32_t groupSize = 3;
  /// The size of the groups left of the first one; 0 when they are as large as the first
  /// (hi-IN groups 12,34,56,789).
  int32_t secondaryGroupSize = 0;
  int32_t digitsAfterDecimal = 2;
  bool leadingZero = true;
  /// 0 `(1.1)`, 1 `-1.1`, 2 `- 1.1`, 3 `1.1-`, 4 `1.1 -`.
  int32_t negativeNumberMode = 1;

  std::string currencySymbol = "$";
  std::string currencyDecimalSeparator = ".";
  std::string currencyGroupSeparator = ",";
  int32_t currencyDigits = 2;
  int32_t currencyGroupSize = 3;
  /// 0 `$1.1`, 1 `1.1$`, 2 `$ 1.1`, 3 `1.1 $`.
  int32_t positiveCurrencyMode = 0;
  /// 0 `($1.1)` ... 15 `(1.1 $)`, in the runtime's numbering.
  int32_t negativeCurrencyMode = 0;

  std::string shortDatePattern = "M/d/yyyy";
  std::string longDatePattern = "dddd, MMMM d, yyyy";
  std::string longTimePattern = "h:mm:ss tt";
  std::string shortTimePattern = "h:mm tt";
  std::string dateSeparator = "/";
  std::string timeSeparator = ":";
  std::string amDesignator = "AM";
  std::string pmDesignator = "PM";

  /// 1 = Sunday ... 7 = Saturday.
  int32_t firstDayOfWeek = 1;
  /// 1 = the week of 1 January, 2 = the first week with four days, 3 = the first full week.
  int32_t firstWeekOfYear = 1;

  std::array<std::string, 12> monthNames = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  std::array<std::string, 12> abbreviatedMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  /// Sunday first.
  std::array<std::string, 7> dayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
  std::array<std::string, 7> abbreviatedDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                    "Thu", "Fri", "Sat"};

  /// The classic en-US desktop profile (the default of every field above).
  static const Locale& EnUs();

  /// The settings of a locale named by a language tag (`de-DE`, `fr-FR`, `ja-JP`, `de`;
  /// `de_DE` also reads), built from ICU's CLDR data: separators and grouping of the decimal
  /// pattern, the currency symbol, pattern and digits, the short date (year widened to four
  /// digits), full date and medium/short time patterns in the system notation, month and day
  /// names, and the calendar's week rules. `en-US` gives the classic profile `EnUs()`.
  /// Where CLDR and the classic desktop tables differ, CLDR wins except: designators are empty
  /// when the locale's clock has 24 hours, and blanks in date and time patterns are plain
  /// spaces. A name that ICU has no data for throws an `Error` "Unknown locale: <name>".
  static Locale FromName(std::string_view name);
};

}  // namespace quillet::runtime
