#include "runtime/text_form.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "runtime/date_text.h"
#include "runtime/decimal_digits.h"
#include "runtime/numeric.h"

namespace quillet::runtime {

std::string FloatingToText(double value, int significantDigits, const Locale& locale) {
  if (value == 0 || std::isnan(value)) return "0";
  if (std::isinf(value)) return value < 0 ? "-1.#INF" : "1.#INF";
  const DecimalDigits d = RoundToSignificant(ExactDigits(value), significantDigits);
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
  const std::string integer = d.IntegerDigits();
  text += integer.empty() ? "0" : integer;
  const int fraction = count - 1 - d.exponent;
  if (fraction > 0) text += locale.decimalSeparator + d.FractionDigits(fraction);
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
