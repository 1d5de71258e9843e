#include "runtime/text_form.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "runtime/date_text.h"

namespace quillet::runtime {
namespace {

// The decimal digits of |value| rounded half away from zero to `significant` digits, and the
// exponent of the first digit. glibc prints the exact binary value, so 70 digits decide any
// tie at the 15th digit.
struct Decimal {
  std::string digits;  // no trailing zeros, at least one digit
  int exponent = 0;
};

Decimal RoundToSignificant(double magnitude, int significant) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%.70e", magnitude);
  std::string all;
  const char* p = buffer;
  for (; *p != 'e'; ++p)
    if (*p != '.') all += *p;
  Decimal d;
  d.exponent = std::atoi(p + 1);
  d.digits = all.substr(0, significant);
  if (all[significant] >= '5') {
    int i = significant - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.digits.pop_back();
      ++d.exponent;
    } else {
      ++d.digits[i];
    }
  }
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

}  // namespace

std::string FloatingToText(double value, int significantDigits, const Locale& locale) {
  if (value == 0 || std::isnan(value)) return "0";
  if (std::isinf(value)) return value < 0 ? "-1.#INF" : "1.#INF";
  const Decimal d = RoundToSignificant(std::fabs(value), significantDigits);
  const int count = static_cast<int>(d.digits.size());
  std::string text = value < 0 ? "-" : "";
  const bool tooLarge = d.exponent >= significantDigits;
  const bool tooSmall = d.exponent < 0 && count - 1 - d.exponent > significantDigits;
  if (tooLarge || tooSmall) {
    text += d.digits[0];
    if (count > 1) text += locale.decimalSeparator + d.digits.substr(1);
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                  std::abs(d.exponent));
    return text + exponent;
  }
  if (d.exponent < 0) {
    text += "0" + locale.decimalSeparator + std::string(-d.exponent - 1, '0') + d.digits;
  } else if (count > d.exponent + 1) {
    text += d.digits.substr(0, d.exponent + 1) + locale.decimalSeparator +
            d.digits.substr(d.exponent + 1);
  } else {
    text += d.digits + std::string(d.exponent + 1 - count, '0');
  }
  return text;
}

std::string ToText(const Variant& value, const Locale& locale) {
  switch (value.Kind()) {
    case VariantKind::kEmpty:
    case VariantKind::kNull:
      return "";
    case VariantKind::kInteger:
      return std::to_string(value.AsInteger());
    case VariantKind::kLong:
      return std::to_string(value.AsLong());
    case VariantKind::kSingle:
      return FloatingToText(value.AsSingle(), 7, locale);
    case VariantKind::kDouble:
      return FloatingToText(value.AsDouble(), 15, locale);
    case VariantKind::kString:
      return value.AsString();
    case VariantKind::kDate:
      return GeneralDateText(value.AsDateSerial(), locale);
    case VariantKind::kBoolean:
      return value.AsBoolean() ? "True" : "False";
  }
  return "";
}

}  // namespace quillet::runtime
