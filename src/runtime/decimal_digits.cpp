#include "runtime/decimal_digits.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillet::runtime {
namespace {

constexpr int32_t kDisplayDigits = 15;

void Trim(DecimalDigits& number) {
  while (!number.digits.empty() && number.digits.back() == '0')
    number.digits.pop_back();
  size_t leading = 0;
  while (leading < number.digits.size() && number.digits[leading] == '0')
    ++leading;
  number.digits.erase(0, leading);
  number.exponent -= static_cast<int32_t>(leading);
  if (number.digits.empty()) number.exponent = 0;
}

// Keeps the first `keep` digits (keep may be 0 or negative: nothing kept) and rounds half away
// from zero by the digit that follows.
DecimalDigits KeepDigits(const DecimalDigits& number, int64_t keep) {
  if (number.IsZero() || keep >= static_cast<int64_t>(number.digits.size())) return number;
  DecimalDigits result;
  if (keep < 0) return result;  // even the rounding digit lies beyond the number
  const bool roundUp = number.digits[static_cast<size_t>(keep)] >= '5';
  result.digits = number.digits.substr(0, static_cast<size_t>(keep));
  result.exponent = number.exponent;
  if (roundUp) {
    int64_t i = keep - 1;
    while (i >= 0 && result.digits[static_cast<size_t>(i)] == '9')
      result.digits[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
      result.digits.insert(result.digits.begin(), '1');
      ++result.exponent;
    } else {
      ++result.digits[static_cast<size_t>(i)];
    }
  }
  Trim(result);
  return result;
}

}  // namespace

std::string DecimalDigits::IntegerDigits() const {
  if (IsZero() || exponent < 0) return "";
  std::string out = digits.substr(0, static_cast<size_t>(exponent) + 1);
  out.append(static_cast<size_t>(exponent) + 1 - out.size(), '0');
  return out;
}

std::string DecimalDigits::FractionDigits(int32_t count) const {
  std::string out;
  out.reserve(static_cast<size_t>(count > 0 ? count : 0));
  for (int32_t place = 1; place <= count; ++place) {
    // The digit at 10^-place has index exponent + place in `digits`.
    const int64_t index = static_cast<int64_t>(exponent) + place;
    out += index >= 0 && index < static_cast<int64_t>(digits.size())
               ? digits[static_cast<size_t>(index)]
               : '0';
  }
  return out;
}

DecimalDigits ExactDigits(double value) {
  DecimalDigits number;
  value = std::fabs(value);
  if (value == 0 || !std::isfinite(value)) return number;
  // 767 significant digits hold any double exactly; glibc prints the exact binary value.
  char buffer[800];
  std::snprintf(buffer, sizeof buffer, "%.770e", value);
  const char* p = buffer;
  for (; *p != 'e'; ++p)
    if (*p != '.') number.digits += *p;
  number.exponent = static_cast<int32_t>(std::strtol(p + 1, nullptr, 10));
  Trim(number);
  return number;
}

DecimalDigits RoundToFraction(const DecimalDigits& number, int32_t count) {
  return KeepDigits(number, static_cast<int64_t>(number.exponent) + 1 + count);
}

DecimalDigits RoundToSignificant(const DecimalDigits& number, int32_t count) {
  return KeepDigits(number, count);
}

DecimalDigits RoundForDisplay(double value, int32_t fractionDigits) {
  const DecimalDigits exact = ExactDigits(value);
  DecimalDigits rounded = RoundToFraction(exact, fractionDigits);
  if (!rounded.IsZero() && rounded.exponent + 1 + fractionDigits > kDisplayDigits)
    rounded = RoundToSignificant(exact, kDisplayDigits);
  return rounded;
}

}  // namespace quillet::runtime
