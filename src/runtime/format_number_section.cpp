#include <algorithm>
#include <cmath>
#include <string>

#include "runtime/decimal_digits.h"
#include "runtime/format_sections.h"
#include "runtime/number_modes.h"

namespace quillet::runtime {
namespace {

constexpr int32_t kDisplayDigits = 15;

// The digits a section prints, before they are laid out over its placeholders.
struct Digits {
  std::string integer;   // no leading zeros; "" when the integer part is 0
  std::string fraction;  // exactly fractionDigits long
  int32_t exponent = 0;
};

Digits Scientific(double magnitude, const NumberLayout& layout) {
  Digits out;
  const DecimalDigits exact = ExactDigits(magnitude);
  const int32_t keep = layout.integerDigits + layout.fractionDigits;
  if (exact.IsZero()) {
    out.fraction.assign(static_cast<size_t>(layout.fractionDigits), '0');
    return out;
  }
  const DecimalDigits rounded = RoundToSignificant(exact, std::clamp(keep, 1, kDisplayDigits));
  std::string mantissa = rounded.digits;
  mantissa.resize(static_cast<size_t>(std::max(keep, 1)), '0');
  if (layout.integerDigits > 0) {
    out.integer = mantissa.substr(0, static_cast<size_t>(layout.integerDigits));
    out.exponent = rounded.exponent - (layout.integerDigits - 1);
  } else {
    out.exponent = rounded.exponent + 1;
  }
  out.fraction = mantissa.substr(static_cast<size_t>(layout.integerDigits),
                                 static_cast<size_t>(layout.fractionDigits));
  out.fraction.resize(static_cast<size_t>(layout.fractionDigits), '0');
  return out;
}

Digits Fixed(double magnitude, const NumberLayout& layout) {
  const DecimalDigits rounded = RoundForDisplay(magnitude, layout.fractionDigits);
  return {rounded.IntegerDigits(), rounded.FractionDigits(layout.fractionDigits), 0};
}

class Writer {
 public:
  Writer(const Digits& digits, const NumberLayout& layout, const Locale& locale)
      : digits_(digits), layout_(layout), locale_(locale) {
    const auto length = static_cast<int32_t>(digits.integer.size());
    width_ = std::max(length, layout.forcedIntegerDigits);
  }

  // Writes the integer digits at positions `from` down to `to` (0 = units).
  void IntegerPositions(std::string& out, int32_t from, int32_t to) const {
    const auto length = static_cast<int32_t>(digits_.integer.size());
    for (int32_t position = from; position >= to; --position) {
      out += position < length ? digits_.integer[static_cast<size_t>(length - 1 - position)] : '0';
      if (layout_.grouping &&
          IsGroupBoundary(position, locale_.groupSize, locale_.secondaryGroupSize))
        out += locale_.groupSeparator;
    }
  }

  // The placeholder `index` (1-based, from the left) of `integerDigits`: the first takes every
  // digit beyond the placeholders too.
  void IntegerPlaceholder(std::string& out, int32_t index) const {
    const int32_t position = layout_.integerDigits - index;
    if (index == 1) {
      IntegerPositions(out, width_ - 1, position);
    } else if (position < width_) {
      IntegerPositions(out, position, position);
    }
  }

  int32_t width() const { return width_; }

 private:
  const Digits& digits_;
  const NumberLayout& layout_;
  const Locale& locale_;
  int32_t width_ = 0;
};

}  // namespace

std::string FormatNumberSection(double value, const FormatSection& section, bool withSign,
                                const Locale& locale) {
  const NumberLayout& layout = section.number;
  double magnitude = std::fabs(value);
  if (layout.percent) magnitude *= 100;
  for (int32_t i = 0; i < layout.scaling; ++i)
    magnitude /= 1000;
  const Digits digits =
      layout.scientific ? Scientific(magnitude, layout) : Fixed(magnitude, layout);

  // Fraction digits up to the last `0` placeholder always print; later zeros are dropped.
  auto keptFraction = static_cast<int32_t>(digits.fraction.size());
  while (keptFraction > layout.forcedFractionDigits &&
         digits.fraction[static_cast<size_t>(keptFraction - 1)] == '0')
    --keptFraction;

  const Writer writer(digits, layout, locale);
  const bool zero =
      digits.integer.empty() && digits.fraction.find_first_not_of('0') == std::string::npos;
  std::string out = withSign && value < 0 && (kRoundedZeroKeepsSign || !zero) ? "-" : "";
  for (const FormatToken& token : section.tokens) {
    switch (token.kind) {
      case TokenKind::kIntegerDigit:
        writer.IntegerPlaceholder(out, token.count);
        break;
      case TokenKind::kDecimalPoint:
        // Without integer placeholders the integer digits stand right before the point.
        if (layout.integerDigits == 0) writer.IntegerPositions(out, writer.width() - 1, 0);
        out += locale.decimalSeparator;
        break;
      case TokenKind::kFractionDigit:
        if (token.count <= keptFraction)
          out += digits.fraction[static_cast<size_t>(token.count - 1)];
        break;
      case TokenKind::kExponent: {
        out += token.text;
        if (digits.exponent < 0) {
          out += '-';
        } else if (token.forced) {
          out += '+';
        }
        std::string number = std::to_string(std::abs(digits.exponent));
        const auto width = static_cast<size_t>(std::max(layout.exponentDigits, 1));
        if (number.size() < width) number.insert(0, width - number.size(), '0');
        out += number;
        break;
      }
      case TokenKind::kPercent:
        out += '%';
        break;
      case TokenKind::kLiteral:
        out += token.text;
        break;
      default:  // exponent placeholders print through the exponent mark
        break;
    }
  }
  return out;
}

}  // namespace quillet::runtime
