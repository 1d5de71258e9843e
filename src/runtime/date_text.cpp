#include "runtime/date_text.h"

#include "runtime/date.h"

namespace quillet::runtime {
namespace {

size_t RunLength(std::string_view pattern, size_t at) {
  size_t end = at;
  while (end < pattern.size() && pattern[end] == pattern[at])
    ++end;
  return end - at;
}

}  // namespace

std::string FormatSystemDatePattern(double serial, std::string_view pattern, const Locale& locale) {
  const DateParts p = SplitDateSerial(serial);
  const int32_t hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c == '\'') {
      // Quoted text is literal; a doubled apostrophe stands for one, inside quotes or out.
      size_t at = i + 1;
      if (at < pattern.size() && pattern[at] == '\'') {
        out += '\'';
        i = at + 1;
        continue;
      }
      for (; at < pattern.size(); ++at) {
        if (pattern[at] != '\'') {
          out += pattern[at];
        } else if (at + 1 < pattern.size() && pattern[at + 1] == '\'') {
          out += '\'';
          ++at;
        } else {
          break;
        }
      }
      i = at + 1;
      continue;
    }
    const size_t n = RunLength(pattern, i);
    switch (c) {
      case 'd':
        if (n == 1)
          out += std::to_string(p.day);
        else if (n == 2)
          out += ZeroPadded(p.day, 2);
        else if (n == 3)
          out += locale.abbreviatedDayNames[p.weekday - 1];
        else
          out += locale.dayNames[p.weekday - 1];
        break;
      case 'M':
        if (n == 1)
          out += std::to_string(p.month);
        else if (n == 2)
          out += ZeroPadded(p.month, 2);
        else if (n == 3)
          out += locale.abbreviatedMonthNames[p.month - 1];
        else
          out += locale.monthNames[p.month - 1];
        break;
      case 'y':
        if (n == 1)
          out += std::to_string(p.year % 100);
        else if (n == 2)
          out += ZeroPadded(p.year % 100, 2);
        else
          // The whole year, never padded: 1/1/100, as Format's yyyy writes it.
          out += std::to_string(p.year);
        break;
      case 'h':
        out += n == 1 ? std::to_string(hour12) : ZeroPadded(hour12, 2);
        break;
      case 'H':
        out += n == 1 ? std::to_string(p.hour) : ZeroPadded(p.hour, 2);
        break;
      case 'm':
        out += n == 1 ? std::to_string(p.minute) : ZeroPadded(p.minute, 2);
        break;
      case 's':
        out += n == 1 ? std::to_string(p.second) : ZeroPadded(p.second, 2);
        break;
      case 't': {
        const std::string& designator = p.hour < 12 ? locale.amDesignator : locale.pmDesignator;
        out += n == 1 ? designator.substr(0, 1) : designator;
        break;
      }
      default:
        out.append(n, c);
        break;
    }
    i += n;
  }
  return out;
}

std::string GeneralDateText(double serial, const Locale& locale) {
  const bool hasTime = HasTimePart(serial);
  if (HasNoDatePart(serial)) return FormatSystemDatePattern(serial, locale.longTimePattern, locale);
  std::string text = FormatSystemDatePattern(serial, locale.shortDatePattern, locale);
  if (hasTime) {
    text += ' ';
    text += FormatSystemDatePattern(serial, locale.longTimePattern, locale);
  }
  return text;
}

}  // namespace quillet::runtime
