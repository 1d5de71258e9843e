#include "runtime/numeric.h"

#include <cmath>
#include <limits>
#include <string>

#include "runtime/error.h"

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
  while (size_t n = BlankLength(s, begin)) begin += n;
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "&H1F", "&O17": the whole rest must be digits of that base, at most 32 bits.
std::optional<double> ParsePrefixedInteger(std::string_view s) {
  if (s.size() < 3 || s[0] != '&') return std::nullopt;
  const char kind = static_cast<char>(s[1] | 0x20);
  const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
  if (base == 0) return std::nullopt;
  uint64_t value = 0;
  for (char c : s.substr(2)) {
    int digit = -1;
    if (IsDigit(c)) digit = c - '0';
    else if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') digit = (c | 0x20) - 'a' + 10;
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
  std::string_view s = TrimBlanks(text);
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
    } else if (!normal.empty() && Consume(s, locale.groupSeparator)) {
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
  const double value = std::strtod(normal.c_str(), nullptr);
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

int16_t ToInteger(const Variant& value, const Locale& locale) {
  return ToWhole<int16_t>(value, locale);
}

}  // namespace quillet::runtime
