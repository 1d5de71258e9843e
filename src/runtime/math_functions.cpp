#include "runtime/math_functions.h"

#include <cmath>
#include <limits>

#include "quillet/error.h"
#include "runtime/numeric.h"

namespace quillet::runtime {

Variant Abs(const Variant& value, const Locale& locale) {
  switch (value.Kind()) {
    case VariantKind::kNull:
      return value;
    case VariantKind::kEmpty:
      return Variant::Integer(0);
    case VariantKind::kBoolean:
      return Variant::Integer(value.AsBoolean() ? 1 : 0);
    case VariantKind::kInteger:
      if (value.AsInteger() == std::numeric_limits<int16_t>::min()) throw Error::Overflow();
      return Variant::Integer(static_cast<int16_t>(std::abs(value.AsInteger())));
    case VariantKind::kLong:
      if (value.AsLong() == std::numeric_limits<int32_t>::min()) throw Error::Overflow();
      return Variant::Long(std::abs(value.AsLong()));
    case VariantKind::kSingle:
      return Variant::Single(std::fabs(value.AsSingle()));
    case VariantKind::kDouble:
      return Variant::Double(std::fabs(value.AsDouble()));
    case VariantKind::kDate:
      return Variant::Date(std::fabs(value.AsDateSerial()));
    case VariantKind::kString:
      break;
  }
  return Variant::Double(std::fabs(ToDouble(value, locale)));
}

double RoundToDigits(double value, int32_t digits) {
  if (digits == 0) return RoundHalfEven(value);
  const double scale = std::pow(10.0, digits);
  const double scaled = value * scale;
  // Beyond 2^52 every Double is whole already; a huge scale would only lose the value.
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) return value;
  return RoundHalfEven(scaled) / scale;
}

Variant Round(const Variant& value, int32_t digits, const Locale& locale) {
  if (digits < 0) throw Error::InvalidProcedureCall();
  switch (value.Kind()) {
    case VariantKind::kNull:
    case VariantKind::kInteger:
    case VariantKind::kLong:
      return value;
    case VariantKind::kEmpty:
      return Variant::Integer(0);
    case VariantKind::kBoolean:
      return Variant::Integer(value.AsBoolean() ? -1 : 0);
    case VariantKind::kSingle:
      return Variant::Single(static_cast<float>(RoundToDigits(value.AsSingle(), digits)));
    case VariantKind::kDouble:
      return Variant::Double(RoundToDigits(value.AsDouble(), digits));
    case VariantKind::kDate:
      return Variant::Date(RoundToDigits(value.AsDateSerial(), digits));
    case VariantKind::kString:
      break;
  }
  return Variant::Double(RoundToDigits(ToDouble(value, locale), digits));
}

}  // namespace quillet::runtime
