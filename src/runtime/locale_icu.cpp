// Builds `Locale` settings from ICU's CLDR data.
#include <unicode/calendar.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "quillet/error.h"
#include "quillet/locale.h"
#include "runtime/number_modes.h"

namespace quillet::runtime {
namespace {

std::string Utf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

[[noreturn]] void ThrowUnknown(std::string_view name) {
  throw Error(Error::kInvalidProcedureCall, "Unknown locale: " + std::string(name));
}

void Check(UErrorCode status, std::string_view name) {
  if (U_FAILURE(status)) ThrowUnknown(name);
}

std::string MaximizedName(icu::Locale locale) {
  UErrorCode status = U_ZERO_ERROR;
  locale.addLikelySubtags(status);
  return U_SUCCESS(status) ? locale.getName() : "";
}

// ICU accepts any well-formed tag and falls back to root data; a name counts as known when it,
// or its likely-subtags expansion (zh-CN is zh_Hans_CN), is one of ICU's locales.
bool IsKnown(const icu::Locale& locale) {
  static const std::set<std::string> known = [] {
    std::set<std::string> names;
    int32_t count = 0;
    const icu::Locale* available = icu::Locale::getAvailableLocales(count);
    for (int32_t i = 0; i < count; ++i) {
      names.insert(available[i].getName());
      names.insert(MaximizedName(available[i]));
    }
    names.erase("");
    return names;
  }();
  return known.count(locale.getName()) > 0 || known.count(MaximizedName(locale)) > 0;
}

bool IsBlank(UChar32 c) {
  return c == u' ' || c == 0x00A0 || c == 0x202F;
}
bool IsBidiMark(UChar32 c) {
  return c == 0x200E || c == 0x200F || c == 0x061C;
}
bool IsAsciiLetter(UChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Turns the affixes of a number pattern into the runtime's pattern picture: "-" for the
// minus sign, "$" for the currency symbol, one blank for any blank, "1.1" for the number.
std::string Picture(const icu::UnicodeString& prefix, const icu::UnicodeString& suffix,
                    const icu::UnicodeString& symbol, const icu::UnicodeString& minus) {
  auto affix = [&](icu::UnicodeString text) {
    if (!symbol.isEmpty()) text.findAndReplace(symbol, u"$");
    if (!minus.isEmpty()) text.findAndReplace(minus, u"-");
    std::string out;
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
      const UChar32 c = text.char32At(i);
      if (IsBidiMark(c)) continue;
      if (IsBlank(c)) {
        out += ' ';
      } else if (c == 0x2212 || c == u'-') {
        out += '-';
      } else if (c < 0x80) {
        out += static_cast<char>(c);
      } else {
        out += '?';
      }
    }
    return out;
  };
  return affix(prefix) + "1.1" + affix(suffix);
}

template <size_t N>
int32_t ModeOf(const std::string& picture, const std::array<std::string_view, N>& pictures,
               int32_t fallback) {
  for (size_t i = 0; i < N; ++i)
    if (picture == pictures[i]) return static_cast<int32_t>(i);
  return fallback;
}

// An ICU date pattern (y, M/L, d, E, a, h, H, K, k, m, s, quoted text) in the system notation
// of `Locale` (yyyy, M..MMMM, d/dd, ddd/dddd, tt, h/hh, H/HH, m/mm, s/ss). Era, zone and
// fractional seconds have no counterpart and are dropped with the blanks around them.
std::string ToSystemPattern(const icu::UnicodeString& pattern) {
  std::string out;
  bool dropped = false;
  for (int32_t i = 0; i < pattern.length();) {
    const UChar c = pattern[i];
    if (c == u'\'') {
      if (i + 1 < pattern.length() && pattern[i + 1] == u'\'') {  // '' is one apostrophe
        out += "''";
        i += 2;
        continue;
      }
      icu::UnicodeString literal;
      int32_t end = i + 1;
      for (; end < pattern.length(); ++end) {
        if (pattern[end] != u'\'') {
          literal += pattern[end];
        } else if (end + 1 < pattern.length() && pattern[end + 1] == u'\'') {
          literal += u'\'';
          ++end;
        } else {
          break;
        }
      }
      std::string quoted;
      for (char ch : Utf8(literal))
        quoted += ch == '\'' ? std::string("''") : std::string(1, ch);
      out += "'" + quoted + "'";
      i = end + 1;
      dropped = false;
      continue;
    }
    if (!IsAsciiLetter(c)) {
      const UChar32 full = pattern.char32At(i);
      if (!IsBidiMark(full) && !(dropped && IsBlank(full))) {
        if (IsBlank(full)) {
          out += ' ';
        } else {
          icu::UnicodeString one(full);
          out += Utf8(one);
        }
      }
      i = pattern.moveIndex32(i, 1);
      continue;
    }
    int32_t n = 1;
    while (i + n < pattern.length() && pattern[i + n] == c)
      ++n;
    i += n;
    dropped = false;
    switch (c) {
      case u'y':
      case u'Y':
      case u'u':
      case u'U':
      case u'r':
        out += n == 2 ? "yy" : "yyyy";
        break;
      case u'M':
      case u'L':
        out += std::string(n >= 5 ? 3 : static_cast<size_t>(n), 'M');
        break;
      case u'd':
        out += std::string(std::min(n, 2), 'd');
        break;
      case u'E':
      case u'c':
      case u'e':
        out += n == 4 ? "dddd" : "ddd";
        break;
      case u'a':
      case u'b':
      case u'B':
        out += "tt";
        break;
      case u'h':
      case u'K':
        out += std::string(std::min(n, 2), 'h');
        break;
      case u'H':
      case u'k':
        out += std::string(std::min(n, 2), 'H');
        break;
      case u'm':
        out += std::string(std::min(n, 2), 'm');
        break;
      case u's':
        out += std::string(std::min(n, 2), 's');
        break;
      default:
        // Era, zone, fractions, week numbers: drop, with the blank in front of them.
        while (!out.empty() && out.back() == ' ')
          out.pop_back();
        dropped = true;
        break;
    }
  }
  while (!out.empty() && out.back() == ' ')
    out.pop_back();
  const size_t first = out.find_first_not_of(' ');
  return first == std::string::npos ? "" : out.substr(first);
}

// The separator between the first two fields of a system pattern ("dd.MM.yyyy" gives ".").
std::string FieldSeparator(const std::string& pattern, const std::string& fields,
                           const std::string& fallback) {
  const size_t first = pattern.find_first_of(fields);
  if (first == std::string::npos) return fallback;
  const size_t end = pattern.find_first_not_of(pattern[first], first);
  if (end == std::string::npos) return fallback;
  const size_t next = pattern.find_first_of(fields, end);
  std::string between = pattern.substr(end, next == std::string::npos ? next : next - end);
  if (between.find('\'') != std::string::npos) return fallback;
  const size_t b = between.find_first_not_of(' ');
  if (b == std::string::npos) return between.empty() ? fallback : between;
  const size_t e = between.find_last_not_of(' ');
  return between.substr(b, e - b + 1);
}

std::string SimplePattern(icu::DateFormat* format) {
  auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format);
  if (simple == nullptr) return "";
  icu::UnicodeString pattern;
  simple->toPattern(pattern);
  return ToSystemPattern(pattern);
}

std::string WidenYear(std::string pattern) {
  // The classic short date shows four-digit years: "dd.MM.yy" becomes "dd.MM.yyyy".
  const size_t at = pattern.find('y');
  if (at == std::string::npos) return pattern;
  size_t end = at;
  while (end < pattern.size() && pattern[end] == 'y')
    ++end;
  return pattern.replace(at, end - at, "yyyy");
}

template <size_t N>
void CopyNames(std::array<std::string, N>& names, const icu::UnicodeString* source, int32_t count,
               int32_t firstIndex) {
  for (size_t i = 0; i < N && firstIndex + static_cast<int32_t>(i) < count; ++i)
    names[i] = Utf8(source[firstIndex + static_cast<int32_t>(i)]);
}

}  // namespace

Locale Locale::FromName(std::string_view name) {
  std::string tag(name);
  std::replace(tag.begin(), tag.end(), '_', '-');
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale icuLocale = icu::Locale::forLanguageTag(tag, status);
  if (U_FAILURE(status) || icuLocale.isBogus() || *icuLocale.getLanguage() == '\0' ||
      !IsKnown(icuLocale))
    ThrowUnknown(name);
  if (std::string(icuLocale.getName()) == "en_US") return EnUs();

  Locale locale;
  locale.name = icuLocale.toLanguageTag<std::string>(status);
  Check(status, name);

  const icu::DecimalFormatSymbols symbols(icuLocale, status);
  Check(status, name);
  using Symbol = icu::DecimalFormatSymbols;
  locale.decimalSeparator = Utf8(symbols.getSymbol(Symbol::kDecimalSeparatorSymbol));
  locale.groupSeparator = Utf8(symbols.getSymbol(Symbol::kGroupingSeparatorSymbol));
  locale.currencyDecimalSeparator = Utf8(symbols.getSymbol(Symbol::kMonetarySeparatorSymbol));
  locale.currencyGroupSeparator = Utf8(symbols.getSymbol(Symbol::kMonetaryGroupingSeparatorSymbol));
  const icu::UnicodeString symbol = symbols.getSymbol(Symbol::kCurrencySymbol);
  const icu::UnicodeString minus = symbols.getSymbol(Symbol::kMinusSignSymbol);
  locale.currencySymbol = Utf8(symbol);

  std::unique_ptr<icu::NumberFormat> number(icu::NumberFormat::createInstance(icuLocale, status));
  Check(status, name);
  if (auto* decimal = dynamic_cast<icu::DecimalFormat*>(number.get())) {
    locale.groupSize = std::max(decimal->getGroupingSize(), 1);
    const int32_t secondary = decimal->getSecondaryGroupingSize();
    locale.secondaryGroupSize = secondary > 0 && secondary != locale.groupSize ? secondary : 0;
    icu::UnicodeString prefix, suffix;
    decimal->getNegativePrefix(prefix);
    decimal->getNegativeSuffix(suffix);
    locale.negativeNumberMode =
        ModeOf(Picture(prefix, suffix, symbol, minus), kNegativeNumberPictures, 1);
  }

  std::unique_ptr<icu::NumberFormat> currency(
      icu::NumberFormat::createCurrencyInstance(icuLocale, status));
  Check(status, name);
  if (auto* decimal = dynamic_cast<icu::DecimalFormat*>(currency.get())) {
    locale.currencyDigits = decimal->getMaximumFractionDigits();
    locale.currencyGroupSize = std::max(decimal->getGroupingSize(), 1);
    icu::UnicodeString prefix, suffix;
    decimal->getPositivePrefix(prefix);
    decimal->getPositiveSuffix(suffix);
    const std::string positive = Picture(prefix, suffix, symbol, minus);
    locale.positiveCurrencyMode = ModeOf(positive, kPositiveCurrencyPictures, 0);
    decimal->getNegativePrefix(prefix);
    decimal->getNegativeSuffix(suffix);
    // CLDR writes most negatives as the positive pattern with a leading minus sign.
    constexpr int32_t kLeadingMinus[] = {1, 5, 9, 8};
    locale.negativeCurrencyMode =
        ModeOf(Picture(prefix, suffix, symbol, minus), kNegativeCurrencyPictures,
               kLeadingMinus[locale.positiveCurrencyMode]);
  }

  std::unique_ptr<icu::DateFormat> shortDate(
      icu::DateFormat::createDateInstance(icu::DateFormat::kShort, icuLocale));
  std::unique_ptr<icu::DateFormat> fullDate(
      icu::DateFormat::createDateInstance(icu::DateFormat::kFull, icuLocale));
  std::unique_ptr<icu::DateFormat> mediumTime(
      icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, icuLocale));
  std::unique_ptr<icu::DateFormat> shortTime(
      icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, icuLocale));
  if (!shortDate || !fullDate || !mediumTime || !shortTime) ThrowUnknown(name);
  locale.shortDatePattern = WidenYear(SimplePattern(shortDate.get()));
  locale.longDatePattern = SimplePattern(fullDate.get());
  locale.longTimePattern = SimplePattern(mediumTime.get());
  locale.shortTimePattern = SimplePattern(shortTime.get());
  locale.dateSeparator = FieldSeparator(locale.shortDatePattern, "dMy", "/");
  locale.timeSeparator = FieldSeparator(locale.longTimePattern, "hHms", ":");

  const icu::DateFormatSymbols dates(icuLocale, status);
  Check(status, name);
  using Names = icu::DateFormatSymbols;
  int32_t count = 0;
  const icu::UnicodeString* names = dates.getMonths(count, Names::FORMAT, Names::WIDE);
  CopyNames(locale.monthNames, names, count, 0);
  names = dates.getMonths(count, Names::STANDALONE, Names::ABBREVIATED);
  CopyNames(locale.abbreviatedMonthNames, names, count, 0);
  // Weekday arrays start at index 1 (Sunday).
  names = dates.getWeekdays(count, Names::FORMAT, Names::WIDE);
  CopyNames(locale.dayNames, names, count, 1);
  names = dates.getWeekdays(count, Names::STANDALONE, Names::ABBREVIATED);
  CopyNames(locale.abbreviatedDayNames, names, count, 1);
  // The classic desktop leaves the designators empty on a 24-hour clock.
  if (locale.longTimePattern.find("tt") != std::string::npos) {
    const icu::UnicodeString* amPm = dates.getAmPmStrings(count);
    if (count >= 2) {
      locale.amDesignator = Utf8(amPm[0]);
      locale.pmDesignator = Utf8(amPm[1]);
    }
  } else {
    locale.amDesignator.clear();
    locale.pmDesignator.clear();
  }

  std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(icuLocale, status));
  Check(status, name);
  locale.firstDayOfWeek = static_cast<int32_t>(calendar->getFirstDayOfWeek(status));
  Check(status, name);
  const uint8_t minimalDays = calendar->getMinimalDaysInFirstWeek();
  locale.firstWeekOfYear = minimalDays >= 7 ? 3 : minimalDays >= 4 ? 2 : 1;
  return locale;
}

}  // namespace quillet::runtime
