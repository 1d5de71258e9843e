#include "runtime/number_format.h"

#include <cmath>

#include "quillet/error.h"
#include "runtime/decimal_digits.h"
#include "runtime/number_modes.h"
#include "runtime/numeric.h"

namespace quillet::runtime {
namespace {

constexpr int32_t kMaxDigits = 255;

bool Resolve(int32_t tristate, bool regional) {
  return tristate == kTristateUseDefault ? regional : tristate != kTristateFalse;
}

double NumberOf(const Variant& expression, const Locale& locale) {
  if (expression.IsNull()) throw Error::TypeMismatch();
  const double value = ToDouble(expression, locale);
  if (!std::isfinite(value)) throw Error::Overflow();
  return value;
}

int32_t DigitsOf(int32_t digits, int32_t regional) {
  if (digits < -1 || digits > kMaxDigits) throw Error::InvalidProcedureCall();
  return digits == -1 ? regional : digits;
}

struct Separators {
  const std::string& decimal;
  const std::string& group;
  int32_t groupSize;
  int32_t secondaryGroupSize;
};

bool IsNegative(double value, const std::string& body) {
  if (value >= 0) return false;
  return kRoundedZeroKeepsSign || body.find_first_of("123456789") != std::string::npos;
}

// The magnitude with `digits` decimals: "1,234.57", "0.50" or ".50".
std::string Body(double magnitude, int32_t digits, bool leadingZero, bool grouping,
                 const Separators& separators) {
  const DecimalDigits rounded = RoundForDisplay(magnitude, digits);
  std::string integer = rounded.IntegerDigits();
  if (integer.empty() && (leadingZero || digits == 0)) integer = "0";
  std::string out;
  const auto length = static_cast<int32_t>(integer.size());
  for (int32_t i = 0; i < length; ++i) {
    out += integer[static_cast<size_t>(i)];
    if (grouping &&
        IsGroupBoundary(length - 1 - i, separators.groupSize, separators.secondaryGroupSize))
      out += separators.group;
  }
  if (digits > 0) out += separators.decimal + rounded.FractionDigits(digits);
  return out;
}

std::string Negative(const std::string& body, int32_t parentheses, const Locale& locale) {
  int32_t mode = locale.negativeNumberMode;
  if (parentheses != kTristateUseDefault)
    mode = parentheses != kTristateFalse ? 0 : mode == 0 ? 1 : mode;
  if (mode < 0 || mode >= static_cast<int32_t>(kNegativeNumberPictures.size())) mode = 1;
  return ApplyPicture(kNegativeNumberPictures[static_cast<size_t>(mode)], body, "");
}

}  // namespace

std::string FormatNumber(const Variant& expression, int32_t digits, int32_t leadingDigit,
                         int32_t parentheses, int32_t groupDigits, const Locale& locale) {
  const double value = NumberOf(expression, locale);
  const std::string body =
      Body(std::fabs(value), DigitsOf(digits, locale.digitsAfterDecimal),
           Resolve(leadingDigit, locale.leadingZero), Resolve(groupDigits, true),
           {locale.decimalSeparator, locale.groupSeparator, locale.groupSize,
            locale.secondaryGroupSize});
  return IsNegative(value, body) ? Negative(body, parentheses, locale) : body;
}

std::string FormatCurrency(const Variant& expression, int32_t digits, int32_t leadingDigit,
                           int32_t parentheses, int32_t groupDigits, const Locale& locale) {
  const double value = NumberOf(expression, locale);
  const std::string body =
      Body(std::fabs(value), DigitsOf(digits, locale.currencyDigits),
           Resolve(leadingDigit, locale.leadingZero), Resolve(groupDigits, true),
           {locale.currencyDecimalSeparator, locale.currencyGroupSeparator,
            locale.currencyGroupSize, locale.secondaryGroupSize});
  int32_t positive = locale.positiveCurrencyMode;
  if (positive < 0 || positive >= static_cast<int32_t>(kPositiveCurrencyPictures.size()))
    positive = 0;
  if (!IsNegative(value, body))
    return ApplyPicture(kPositiveCurrencyPictures[static_cast<size_t>(positive)], body,
                        locale.currencySymbol);

  int32_t mode = locale.negativeCurrencyMode;
  if (mode < 0 || mode >= static_cast<int32_t>(kNegativeCurrencyPictures.size())) mode = 1;
  const bool parenthesized = mode == 0 || mode == 4 || mode == 14 || mode == 15;
  if (parentheses != kTristateUseDefault && parentheses != kTristateFalse && !parenthesized) {
    // The parenthesized form that keeps the symbol where the positive mode has it.
    static constexpr int32_t kParenthesized[] = {0, 4, 14, 15};
    mode = kParenthesized[positive];
  } else if (parentheses == kTristateFalse && parenthesized) {
    static constexpr int32_t kMinusFor[] = {1, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 8};
    mode = kMinusFor[mode];
  }
  return ApplyPicture(kNegativeCurrencyPictures[static_cast<size_t>(mode)], body,
                      locale.currencySymbol);
}

}  // namespace quillet::runtime
