#pragma once

#include <string>

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet::runtime {

/// The ordinary text form of a value, as a label shows it: Empty and Null give "", whole
/// numbers their digits, a Double 15 and a Single 7 significant digits (scientific form for
/// very large or small values), a Date its short date and long time, a Boolean "True" or
/// "False", text itself. Separators and names come from `locale`.
std::string ToText(const Variant& value, const Locale& locale);

/// A floating-point number in the ordinary text form with `significantDigits` digits (15 for
/// Double, 7 for Single): rounded half away from zero on the binary value, trailing zeros
/// dropped, no grouping, the locale's decimal separator. Scientific form (`1.2E+15`,
/// `5.6789E-12`) when the first digit stands at 10^significantDigits or above, or the last
/// digit more than `significantDigits` places after the decimal point.
std::string FloatingToText(double value, int significantDigits, const Locale& locale);

}  // namespace quillet::runtime
