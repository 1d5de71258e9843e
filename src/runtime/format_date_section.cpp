#include <string>

#include "quillet/error.h"
#include "runtime/date.h"
#include "runtime/date_text.h"
#include "runtime/format_sections.h"
#include "runtime/utf8.h"

namespace quillet::runtime {

std::string FormatDateSection(double serial, const FormatSection& section, int32_t firstDayOfWeek,
                              int32_t firstWeekOfYear, const Locale& locale) {
  if (!IsValidDateSerial(serial)) throw Error::InvalidProcedureCall();
  const DateParts p = SplitDateSerial(serial);
  const bool pm = p.hour >= 12;
  const int32_t hour = section.twelveHour ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
  const auto month = static_cast<size_t>(p.month - 1);
  const auto weekday = static_cast<size_t>(p.weekday - 1);
  std::string out;
  for (const FormatToken& token : section.tokens) {
    switch (token.kind) {
      case TokenKind::kLiteral:
        out += token.text;
        break;
      case TokenKind::kDateSeparator:
        out += locale.dateSeparator;
        break;
      case TokenKind::kTimeSeparator:
        out += locale.timeSeparator;
        break;
      case TokenKind::kGeneralDate:
        out += GeneralDateText(serial, locale);
        break;
      case TokenKind::kDay:
        out += ZeroPadded(p.day, token.count);
        break;
      case TokenKind::kDayName:
        out += token.count == 3 ? locale.abbreviatedDayNames[weekday] : locale.dayNames[weekday];
        break;
      case TokenKind::kShortDate:
        out += FormatSystemDatePattern(serial, locale.shortDatePattern, locale);
        break;
      case TokenKind::kLongDate:
        out += FormatSystemDatePattern(serial, locale.longDatePattern, locale);
        break;
      case TokenKind::kWeekday:
        out += std::to_string(WeekdayNumber(p.weekday, firstDayOfWeek));
        break;
      case TokenKind::kWeekOfYear:
        out += std::to_string(WeekOfYear(serial, firstDayOfWeek, firstWeekOfYear));
        break;
      case TokenKind::kMonth:
        out += ZeroPadded(p.month, token.count);
        break;
      case TokenKind::kMonthName:
        out += token.count == 3 ? locale.abbreviatedMonthNames[month] : locale.monthNames[month];
        break;
      case TokenKind::kQuarter:
        out += std::to_string((p.month - 1) / 3 + 1);
        break;
      case TokenKind::kDayOfYear:
        out += std::to_string(p.dayOfYear);
        break;
      case TokenKind::kYear:
        out += token.count == 2 ? ZeroPadded(p.year % 100, 2) : std::to_string(p.year);
        break;
      case TokenKind::kHour:
        out += ZeroPadded(hour, token.count);
        break;
      case TokenKind::kMinute:
        out += ZeroPadded(p.minute, token.count);
        break;
      case TokenKind::kSecond:
        out += ZeroPadded(p.second, token.count);
        break;
      case TokenKind::kLongTime:
        out += FormatSystemDatePattern(serial, locale.longTimePattern, locale);
        break;
      case TokenKind::kAmPm:
        out += pm ? token.alternate : token.text;
        break;
      case TokenKind::kAmPmDesignator:
        out += pm ? locale.pmDesignator : locale.amDesignator;
        break;
      default:  // number and text tokens do not occur in a date section
        break;
    }
  }
  return out;
}

}  // namespace quillet::runtime
