#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet::runtime {

/// Reads a whole text as a number by the runtime's rules: blanks around it, one sign in front
/// or behind, parentheses for a negative, the locale's currency symbol, group separators in
/// the integer part (not first), one decimal separator, an exponent `e`/`E` with optional
/// sign, and the `&H`/`&O` prefixes. Full-width digits count under a Japanese, Chinese or
/// Korean locale; digits of other scripts never do. A value beyond the Double range is no
/// number; one too small for it reads as 0. Nothing when the text is not a number.
std::optional<double> ParseNumber(std::string_view text, const Locale& locale);

/// The numeric test: numbers, Booleans and Empty are numeric; Null and dates are not; text is
/// when `ParseNumber` reads all of it.
bool IsNumeric(const Variant& value, const Locale& locale);

/// A value as a Double: numbers, dates (their serial), Booleans (-1/0), Empty (0) and numeric
/// text. Null is error 94, other text error 13.
double ToDouble(const Variant& value, const Locale& locale);

/// Rounds half to even, as the integer conversions do (looks at the binary value).
double RoundHalfEven(double value);

/// The 32-bit conversion: `ToDouble`, then rounding half to even; a result outside the Long
/// range (or infinite, or NaN) is an overflow (error 6).
int32_t ToLong(const Variant& value, const Locale& locale);

}  // namespace quillet::runtime
