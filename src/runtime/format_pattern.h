#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::runtime {

/// What a user-defined format pattern formats. The first character that belongs to one kind
/// only decides for the whole pattern: `0 # .` a number, a date/time letter (`d m y h n s w q
/// c`, `ttttt`, `AM/PM`, `A/P`, `AMPM`, `aaaa`) or `/ :` a date, `@ & < > !` text. The
/// other kinds' characters are then literals. A pattern with none of them is all literals.
enum class PatternKind : uint8_t { kLiterals, kNumber, kDate, kText };

/// One element of a parsed pattern section.
enum class TokenKind : uint8_t {
  kLiteral,  ///< `text` printed as it stands (plain characters, `\c`, `"text"`)
  // Numbers.
  kIntegerDigit,   ///< `0` (`forced`) or `#` before the decimal point
  kFractionDigit,  ///< `0` (`forced`) or `#` after it
  kExponentDigit,  ///< `0` or `#` after an exponent mark: counted, printed by the mark
  kDecimalPoint,   ///< the first `.`
  kPercent,        ///< `%`
  kExponent,       ///< `E-`/`E+`/`e-`/`e+`: `text` is the letter, `forced` the `+`
  // Dates and times.
  kDateSeparator,   ///< `/`: the locale's date separator
  kTimeSeparator,   ///< `:`: the locale's time separator
  kGeneralDate,     ///< `c`
  kDay,             ///< `d` (count 1), `dd` (2)
  kDayName,         ///< `ddd`/`aaa` (count 3), `dddd`/`aaaa` (4)
  kShortDate,       ///< `ddddd`
  kLongDate,        ///< `dddddd`
  kWeekday,         ///< `w`
  kWeekOfYear,      ///< `ww`
  kMonth,           ///< `m` (1), `mm` (2)
  kMonthName,       ///< `mmm` (3), `mmmm` (4)
  kQuarter,         ///< `q`
  kDayOfYear,       ///< `y`
  kYear,            ///< `yy` (2), `yyyy` (4)
  kHour,            ///< `h` (1), `hh` (2)
  kMinute,          ///< `n`/`m` after an hour (1), `nn`/`mm` (2)
  kSecond,          ///< `s` (1), `ss` (2)
  kLongTime,        ///< `ttttt`
  kAmPm,            ///< `AM/PM` or `A/P`: `text` and `alternate` are the two spellings
  kAmPmDesignator,  ///< `AMPM`: the locale's designators
  // Text.
  kCharacter,  ///< `@` (`forced`: a blank when no character is left) or `&`
};

struct FormatToken {
  TokenKind kind = TokenKind::kLiteral;
  std::string text;
  std::string alternate;
  int32_t count = 0;
  bool forced = false;
};

/// What the placeholders of a number section ask for.
struct NumberLayout {
  int32_t integerDigits = 0;         ///< placeholders before the decimal point
  int32_t forcedIntegerDigits = 0;   ///< from the leftmost `0` to the decimal point
  int32_t fractionDigits = 0;        ///< placeholders after the decimal point
  int32_t forcedFractionDigits = 0;  ///< up to the last `0` after the decimal point
  int32_t exponentDigits = 0;        ///< `0`s after the exponent mark
  int32_t scaling = 0;               ///< commas that each divide by 1,000
  bool grouping = false;             ///< a comma between integer placeholders
  bool percent = false;
  bool scientific = false;
};

/// One `;`-separated section, tokenized for the pattern's kind.
struct FormatSection {
  bool empty = true;  ///< nothing was written for it (`;;`): the first section stands in
  std::vector<FormatToken> tokens;
  NumberLayout number;
  bool twelveHour = false;   ///< dates: an AM/PM token puts the hours on a 12-hour clock
  int32_t characters = 0;    ///< text: `@` and `&` placeholders
  bool lowerCase = false;    ///< text: `<` (wins over `>`)
  bool upperCase = false;    ///< text: `>`
  bool leftToRight = false;  ///< text: `!`
};

/// A user-defined pattern, parsed once: its kind and one to four sections (sections beyond
/// the fourth are ignored).
struct FormatPattern {
  PatternKind kind = PatternKind::kLiterals;
  std::vector<FormatSection> sections;
};

/// Parses a user-defined pattern (not a named format). Never fails: anything that is no token
/// of the pattern's kind is a literal. Date/time letters are read without regard to case and
/// greedily by their known lengths (`yyy` is `yy` then `y`); `m`/`mm` directly after an hour,
/// with only literals and separators between, mean minutes (once per hour token).
FormatPattern ParseFormatPattern(std::string_view pattern);

}  // namespace quillet::runtime
