#pragma once

#include <cstdint>

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet::runtime {

/// `Abs(x)`: the magnitude, of the argument's kind. Null gives Null; Empty gives the Integer 0;
/// a Boolean gives an Integer (`Abs(True)` is 1); numeric text gives a Double and other text is
/// a type mismatch (error 13); a Date stays a Date. The most negative Integer or Long has no
/// magnitude of its kind: overflow (error 6).
Variant Abs(const Variant& value, const Locale& locale);

/// `Round(x, digits)`: banker's rounding at `digits` places after the decimal point, computed
/// as the runtime does it, on `x * 10^digits` in binary (so `Round(0.12345, 4)` is 0.1234 and
/// `Round(0.00005, 4)` is 0). The result keeps the argument's kind (Integer and Long are
/// unchanged); Boolean and Empty give an Integer, numeric text a Double, a Date stays a Date.
/// Null gives Null. `digits` below 0 is error 5; other text is error 13.
Variant Round(const Variant& value, int32_t digits, const Locale& locale);

/// Rounds a Double half to even at `digits` (>= 0) places, as `Round` does.
double RoundToDigits(double value, int32_t digits);

}  // namespace quillet::runtime
