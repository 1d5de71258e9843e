#pragma once

#include <cstdint>
#include <string>

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet::runtime {

/// The switches of `FormatNumber` and `FormatCurrency`: -1 true, 0 false,
/// -2 the regional setting (any other value counts as true).
enum Tristate : int32_t { kTristateUseDefault = -2, kTristateTrue = -1, kTristateFalse = 0 };

/// `FormatNumber(expression, digits, leadingDigit, parentheses, groupDigits)`: the number
/// rounded half away from zero to `digits` places after the decimal separator (-1: the
/// locale's count), with a leading 0 before the separator of a number below 1 when
/// `leadingDigit` is on, parentheses around a negative number when `parentheses` is on (else
/// the locale's negative-number mode), and the locale's group separator when `groupDigits` is
/// on, all defaults from the locale's number settings. `FormatNumber(1234.5678)` is
/// "1,234.57", `FormatNumber(-1, 2, 0, -1)` "(1.00)", `FormatNumber(0.5, 2, 0)` ".50".
/// Numeric text is read as a number. A Null or non-numeric expression is error 13 (Null
/// included); `digits` below -1 (or above 255) is error 5.
std::string FormatNumber(const Variant& expression, int32_t digits, int32_t leadingDigit,
                         int32_t parentheses, int32_t groupDigits, const Locale& locale);

/// `FormatCurrency`: as `FormatNumber`, with the locale's currency symbol, positive and
/// negative currency modes, currency digits, separators and grouping; only the leading-zero
/// default comes from the number settings. With `parentheses` on, the negative form is the
/// parenthesized one matching the symbol's place ("($1.1)", "(1.1 €)"); with it off, a
/// parenthesized regional mode gives way to a leading minus ("-$1,234.57").
std::string FormatCurrency(const Variant& expression, int32_t digits, int32_t leadingDigit,
                           int32_t parentheses, int32_t groupDigits, const Locale& locale);

}  // namespace quillet::runtime
