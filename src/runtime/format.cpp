#include "runtime/format.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "quillet/error.h"
#include "runtime/case.h"
#include "runtime/date.h"
#include "runtime/date_parse.h"
#include "runtime/date_text.h"
#include "runtime/format_pattern.h"
#include "runtime/format_sections.h"
#include "runtime/number_format.h"
#include "runtime/numeric.h"
#include "runtime/text_form.h"

namespace quillet::runtime {
namespace {

enum class Named {
  kGeneralNumber,
  kCurrency,
  kFixed,
  kStandard,
  kPercent,
  kScientific,
  kYesNo,
  kTrueFalse,
  kOnOff,
  kGeneralDate,
  kLongDate,
  kMediumDate,
  kShortDate,
  kLongTime,
  kMediumTime,
  kShortTime,
};

struct NamedFormat {
  std::string_view name;
  Named which;
};

constexpr std::array<NamedFormat, 16> kNamedFormats = {{
    {"General Number", Named::kGeneralNumber},
    {"Currency", Named::kCurrency},
    {"Fixed", Named::kFixed},
    {"Standard", Named::kStandard},
    {"Percent", Named::kPercent},
    {"Scientific", Named::kScientific},
    {"Yes/No", Named::kYesNo},
    {"True/False", Named::kTrueFalse},
    {"On/Off", Named::kOnOff},
    {"General Date", Named::kGeneralDate},
    {"Long Date", Named::kLongDate},
    {"Medium Date", Named::kMediumDate},
    {"Short Date", Named::kShortDate},
    {"Long Time", Named::kLongTime},
    {"Medium Time", Named::kMediumTime},
    {"Short Time", Named::kShortTime},
}};

std::optional<Named> FindNamed(std::string_view pattern) {
  for (const NamedFormat& named : kNamedFormats)
    if (EqualsIgnoreCase(pattern, named.name)) return named.which;
  return std::nullopt;
}

// The first section of a named format's pattern, parsed once for the life of the process.
const FormatSection& NamedSection(std::string_view name) {
  static const std::vector<std::pair<std::string_view, FormatPattern>> parsed = [] {
    std::vector<std::pair<std::string_view, FormatPattern>> all;
    for (std::string_view text : {"0.00", "#,##0.00", "0.00%", "0.00E+00", "dd-mmm-yy",
                                  "hh:nn AMPM", "hh:nn AM/PM", "hh:nn"})
      all.emplace_back(text, ParseFormatPattern(text));
    return all;
  }();
  for (const auto& [text, pattern] : parsed)
    if (text == name) return pattern.sections.front();
  throw Error::Undescribed();
}

// A value as a number (a date as its serial); text that reads as neither a number nor a date
// gives nothing. Null is not asked for here.
std::optional<double> NumberOf(const Variant& value, const Locale& locale) {
  if (value.IsString()) {
    if (auto number = ParseNumber(value.AsString(), locale)) return number;
    return ParseDate(value.AsString(), locale);
  }
  return value.NumericValue();
}

std::string DateText(double serial, std::string_view systemPattern, const Locale& locale) {
  if (!IsValidDateSerial(serial)) throw Error::InvalidProcedureCall();
  return FormatSystemDatePattern(serial, systemPattern, locale);
}

Variant FormatNamed(Named which, const Variant& value, int32_t firstDay, int32_t firstWeek,
                    const Locale& locale) {
  if (value.IsNull()) return value;
  const std::optional<double> number = NumberOf(value, locale);
  if (!number) return value;
  const double x = *number;
  auto section = [&](std::string_view pattern) {
    return FormatNumberSection(x, NamedSection(pattern), true, locale);
  };
  auto dateSection = [&](std::string_view pattern) {
    return FormatDateSection(x, NamedSection(pattern), firstDay, firstWeek, locale);
  };
  switch (which) {
    case Named::kGeneralNumber:
      if (value.Kind() == VariantKind::kSingle) return FloatingToText(x, 7, locale);
      return FloatingToText(x, 15, locale);
    case Named::kCurrency:
      return FormatCurrency(Variant::Double(x), -1, kTristateUseDefault, kTristateUseDefault,
                            kTristateUseDefault, locale);
    case Named::kFixed:
      return section("0.00");
    case Named::kStandard:
      return section("#,##0.00");
    case Named::kPercent:
      return section("0.00%");
    case Named::kScientific:
      return section("0.00E+00");
    case Named::kYesNo:
      return x != 0 ? "Yes" : "No";
    case Named::kTrueFalse:
      return x != 0 ? "True" : "False";
    case Named::kOnOff:
      return x != 0 ? "On" : "Off";
    case Named::kGeneralDate:
      if (!IsValidDateSerial(x)) throw Error::InvalidProcedureCall();
      return GeneralDateText(x, locale);
    case Named::kLongDate:
      return DateText(x, locale.longDatePattern, locale);
    case Named::kShortDate:
      return DateText(x, locale.shortDatePattern, locale);
    case Named::kLongTime:
      return DateText(x, locale.longTimePattern, locale);
    case Named::kMediumDate:
      // The host language's medium date (English: dd-mmm-yy), with the locale's month names.
      return dateSection("dd-mmm-yy");
    case Named::kMediumTime:
      // 12-hour clock; a locale without designators gets the English ones.
      return dateSection(locale.amDesignator.empty() && locale.pmDesignator.empty() ? "hh:nn AM/PM"
                                                                                    : "hh:nn AMPM");
    case Named::kShortTime:
      return dateSection("hh:nn");
  }
  return value;
}

// The section for a value: negative numbers take the second, zero the third, when they are
// there and not empty; the first section stands in for the others and then writes the sign.
const FormatSection& SectionFor(const FormatPattern& pattern, double value, bool& withSign) {
  const std::vector<FormatSection>& sections = pattern.sections;
  withSign = false;
  if (value < 0 && sections.size() >= 2 && !sections[1].empty) return sections[1];
  if (value == 0 && sections.size() >= 3 && !sections[2].empty) return sections[2];
  withSign = value < 0;
  return sections[0];
}

Variant FormatText(const Variant& value, const FormatPattern& pattern, const Locale& locale) {
  const std::vector<FormatSection>& sections = pattern.sections;
  const bool second = sections.size() >= 2 && !sections[1].empty;
  if (value.IsNull()) return second ? Variant(FormatTextSection("", sections[1])) : value;
  const std::string text = ToText(value, locale);
  return FormatTextSection(text, text.empty() && second ? sections[1] : sections[0]);
}

std::string FormatByKind(PatternKind kind, double value, const FormatSection& section,
                         bool withSign, int32_t firstDay, int32_t firstWeek, const Locale& locale) {
  if (kind == PatternKind::kDate)
    return FormatDateSection(value, section, firstDay, firstWeek, locale);
  return FormatNumberSection(value, section, withSign, locale);
}

}  // namespace

Variant Format(const Variant& expression, std::string_view pattern, int32_t firstDayOfWeek,
               int32_t firstWeekOfYear, const Locale& locale) {
  if (firstDayOfWeek < 0 || firstDayOfWeek > 7 || firstWeekOfYear < 0 || firstWeekOfYear > 3)
    throw Error::InvalidProcedureCall();
  const int32_t firstDay = firstDayOfWeek == 0 ? locale.firstDayOfWeek : firstDayOfWeek;
  const int32_t firstWeek = firstWeekOfYear == 0 ? locale.firstWeekOfYear : firstWeekOfYear;
  if (expression.IsEmpty()) return Variant::String("");
  if (pattern.empty())
    return expression.IsNull() ? expression : Variant(ToText(expression, locale));
  if (const std::optional<Named> named = FindNamed(pattern))
    return FormatNamed(*named, expression, firstDay, firstWeek, locale);

  const FormatPattern parsed = ParseFormatPattern(pattern);
  if (parsed.kind == PatternKind::kText ||
      (parsed.kind == PatternKind::kLiterals && expression.IsString()))
    return FormatText(expression, parsed, locale);

  if (expression.IsNull()) {
    if (parsed.sections.size() < 4 || parsed.sections[3].empty) return expression;
    return FormatByKind(parsed.kind, 0, parsed.sections[3], false, firstDay, firstWeek, locale);
  }
  const std::optional<double> number = NumberOf(expression, locale);
  if (!number) return expression;
  bool withSign = false;
  const FormatSection& section = SectionFor(parsed, *number, withSign);
  return FormatByKind(parsed.kind, *number, section, withSign, firstDay, firstWeek, locale);
}

}  // namespace quillet::runtime
