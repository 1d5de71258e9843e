#pragma once

#include <cstdint>
#include <string>

namespace quillet::runtime {

/// A non-negative number as decimal digits: `digits` without leading or trailing zeros (empty
/// for zero) and the power of ten of the first digit, so 1234.5 is {"12345", 3} and 0.05 is
/// {"5", -2}. The runtime's formatting decides every rounding on the stored binary value, so
/// the digits start out exact.
struct DecimalDigits {
  std::string digits;
  int32_t exponent = 0;

  bool IsZero() const { return digits.empty(); }
  /// The digits in front of the decimal point, without leading zeros ("" below 1).
  std::string IntegerDigits() const;
  /// The first `count` digits after the decimal point, padded with zeros.
  std::string FractionDigits(int32_t count) const;
};

/// The exact decimal value of |value| (a finite double).
DecimalDigits ExactDigits(double value);

/// Rounds half away from zero to `count` digits after the decimal point (count >= 0).
DecimalDigits RoundToFraction(const DecimalDigits& number, int32_t count);

/// Rounds half away from zero to `count` significant digits (count >= 1).
DecimalDigits RoundToSignificant(const DecimalDigits& number, int32_t count);

/// The runtime prints no more than 15 significant digits of a Double: rounds |value| half away
/// from zero to `fractionDigits` decimals, and when that keeps more than 15 significant
/// digits, to 15 (the places after them print as zeros).
DecimalDigits RoundForDisplay(double value, int32_t fractionDigits);

}  // namespace quillet::runtime
