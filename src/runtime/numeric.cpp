#include "runtime/numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "quillet/error.h"

namespace quillet::runtime {
namespace {

// Blanks the numeric test skips around a number: ASCII white space and the no-break space.
size_t BlankLength(std::string_view s, size_t at) {
  if (at >= s.size()) return 0;
  switch (s[at]) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '\f':
    case '\v':
      return 1;
    default:
      break;
  }
  if (s.compare(at, 2, "\xC2\xA0") == 0) return 2;
  return 0;
}

std::string_view TrimBlanks(std::string_view s) {
  size_t begin = 0;
  while (size_t n = BlankLength(s, begin))
    begin += n;
  size_t end = s.size();
  for (bool trimmed = true; trimmed && end > begin;) {
    trimmed = false;
    if (s[end - 1] == ' ' || (s[end - 1] >= '\t' && s[end - 1] <= '\r')) {
      --end;
      trimmed = true;
    } else if (end - begin >= 2 && s.compare(end - 2, 2, "\xC2\xA0") == 0) {
      end -= 2;
      trimmed = true;
    }
  }
  return s.substr(begin, end - begin);
}

bool Consume(std::string_view& s, std::string_view token) {
  if (token.empty() || s.substr(0, token.size()) != token) return false;
  s.remove_prefix(token.size());
  return true;
}

bool ConsumeBack(std::string_view& s, std::string_view token) {
  if (token.empty() || s.size() < token.size() || s.substr(s.size() - token.size()) != token)
    return false;
  s.remove_suffix(token.size());
  return true;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Locales whose group separator is a blank (fr-FR: U+202F or U+00A0) also take the other
// blanks people type there, the plain space included.
bool ConsumeGroupSeparator(std::string_view& s, const std::string& separator) {
  if (Consume(s, separator)) return true;
  static constexpr std::string_view kBlankSeparators[] = {"\xE2\x80\xAF", "\xC2\xA0", " "};
  bool blankSeparator = false;
  for (std::string_view blank : kBlankSeparators)
    blankSeparator |= separator == blank;
  if (!blankSeparator) return false;
  for (std::string_view blank : kBlankSeparators) {
    // A blank must be followed by a digit, or "1 e1" and "45 Help" would read on.
    if (s.size() > blank.size() && s.substr(0, blank.size()) == blank && IsDigit(s[blank.size()])) {
      s.remove_prefix(blank.size());
      return true;
    }
  }
  return false;
}

// East-Asian systems read full-width digits (U+FF10..U+FF19) as digits; others do not.
std::string NarrowDigits(std::string_view text, const Locale& locale) {
  const std::string_view language = std::string_view(locale.name).substr(0, 2);
  if (language != "ja" && language != "zh" && language != "ko") return std::string(text);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\xEF\xBC") == 0 && i + 2 < text.size() &&
        static_cast<unsigned char>(text[i + 2]) >= 0x90 &&
        static_cast<unsigned char>(text[i + 2]) <= 0x99) {
      out += static_cast<char>('0' + (static_cast<unsigned char>(text[i + 2]) - 0x90));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The power of ten of the first significant digit of "ddd.ddde[+-]dd" (0 for zero).
int64_t DecimalExponent(std::string_view normal) {
  const size_t e = normal.find('e');
  const std::string_view mantissa = normal.substr(0, e);
  int64_t exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = normal.substr(e + 1);
    const bool minus = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
      digits.remove_prefix(1);
    for (char c : digits)
      exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 1'000'000'000);
    if (minus) exponent = -exponent;
  }
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return 0;
  return exponent + (first < point ? static_cast<int64_t>(point - first) - 1
                                   : -static_cast<int64_t>(first - point));
}

// "&H1F", "&O17": the whole rest must be digits of that base, at most 32 bits.
std::optional<double> ParsePrefixedInteger(std::string_view s) {
  if (s.size() < 3 || s[0] != '&') return std::nullopt;
  const char kind = static_cast<char>(s[1] | 0x20);
  const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
  if (base == 0) return std::nullopt;
  uint64_t value = 0;
  for (char c : s.substr(2)) {
    int digit = -1;
    if (IsDigit(c))
      digit = c - '0';
    else if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
      digit = (c | 0x20) - 'a' + 10;
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  // Up to 16 bits the literal is an Integer, beyond that a Long; both wrap to negative.
  if (value <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(value));
  return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text, const Locale& locale) {
  const std::string narrowed = NarrowDigits(text, locale);
  std::string_view s = TrimBlanks(narrowed);
  if (auto prefixed = ParsePrefixedInteger(s)) return prefixed;

  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    s = TrimBlanks(s.substr(1, s.size() - 2));
  }
  // Sign and currency symbol may stand in either order in front, or behind.
  bool signSeen = negative;
  bool currencySeen = false;
  for (bool progress = true; progress;) {
    progress = false;
    if (!signSeen && !s.empty() && (s.front() == '+' || s.front() == '-')) {
      negative = s.front() == '-';
      signSeen = progress = true;
      s.remove_prefix(1);
    } else if (!currencySeen && Consume(s, locale.currencySymbol)) {
      currencySeen = progress = true;
    }
    s = TrimBlanks(s);
  }
  for (bool progress = true; progress;) {
    progress = false;
    if (!signSeen && !s.empty() && (s.back() == '+' || s.back() == '-')) {
      negative = s.back() == '-';
      signSeen = progress = true;
      s.remove_suffix(1);
    } else if (!currencySeen && ConsumeBack(s, locale.currencySymbol)) {
      currencySeen = progress = true;
    }
    s = TrimBlanks(s);
  }

  // Mantissa: integer digits with group separators (not first), then one decimal separator.
  std::string normal;
  bool anyDigit = false;
  while (!s.empty()) {
    if (IsDigit(s.front())) {
      normal += s.front();
      anyDigit = true;
      s.remove_prefix(1);
    } else if (!normal.empty() && ConsumeGroupSeparator(s, locale.groupSeparator)) {
      continue;
    } else {
      break;
    }
  }
  if (Consume(s, locale.decimalSeparator)) {
    normal += '.';
    while (!s.empty() && IsDigit(s.front())) {
      normal += s.front();
      anyDigit = true;
      s.remove_prefix(1);
    }
  }
  if (!anyDigit) return std::nullopt;
  if (!s.empty() && (s.front() == 'e' || s.front() == 'E')) {
    std::string exponent = "e";
    s.remove_prefix(1);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
      exponent += s.front();
      s.remove_prefix(1);
    }
    bool exponentDigit = false;
    while (!s.empty() && IsDigit(s.front())) {
      exponent += s.front();
      exponentDigit = true;
      s.remove_prefix(1);
    }
    if (!exponentDigit) return std::nullopt;
    normal += exponent;
  }
  if (!s.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too small reads as 0; too large is no number (an overflow, not infinity).
    if (DecimalExponent(normal) > 0) return std::nullopt;
    value = 0;
  } else if (error != std::errc() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

bool IsNumeric(const Variant& value, const Locale& locale) {
  switch (value.Kind()) {
    case VariantKind::kNull:
    case VariantKind::kDate:
      return false;
    case VariantKind::kString:
      return ParseNumber(value.AsString(), locale).has_value();
    default:
      return true;
  }
}

double ToDouble(const Variant& value, const Locale& locale) {
  if (value.IsString()) {
    if (auto number = ParseNumber(value.AsString(), locale)) return *number;
    throw Error::TypeMismatch();
  }
  return value.NumericValue();
}

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

namespace {

template <typename Int>
Int ToWhole(const Variant& value, const Locale& locale) {
  const double rounded = RoundHalfEven(ToDouble(value, locale));
  if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
    throw Error::Overflow();
  return static_cast<Int>(rounded);
}

}  // namespace

int32_t ToLong(const Variant& value, const Locale& locale) {
  return ToWhole<int32_t>(value, locale);
}

}  // namespace quillet::runtime
