#include "runtime/number_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillet/error.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

constexpr int32_t kDefault = kTristateUseDefault;
using test::ErrorNumberOf;

Variant D(double value) {
  return Variant::Double(value);
}

using FormatFunction = std::string (*)(const Variant&, int32_t, int32_t, int32_t, int32_t,
                                       const Locale&);

// One of the three functions with its switches at the regional defaults unless given.
std::string Call(FormatFunction function, const Variant& value, int32_t digits = -1,
                 int32_t lead = kDefault, int32_t parens = kDefault, int32_t group = kDefault,
                 const Locale& locale = Locale::EnUs()) {
  return function(value, digits, lead, parens, group, locale);
}

struct Row {
  std::string actual, expected;
};

void ExpectRows(const std::vector<Row>& rows) {
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i].actual, rows[i].expected) << "row " << i;
}

TEST(FormatNumber, Errors) {
  EXPECT_EQ(ErrorNumberOf([] { Call(FormatNumber, D(1), -2); }), Error::kInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Call(FormatNumber, D(1), 256); }), Error::kInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Call(FormatCurrency, Variant("test")); }), Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { Call(FormatNumber, Variant::Null()); }), Error::kTypeMismatch);
}

TEST(FormatNumber, Examples) {
  const FormatFunction number = FormatNumber;
  ExpectRows({
      {Call(number, D(1234.5678)), "1,234.57"},
      {Call(number, D(-1234.5678)), "-1,234.57"},
      {Call(number, D(-1234.5678), 2, kDefault, kTristateTrue), "(1,234.57)"},
      {Call(number, Variant("-1"), 2, 0, -1, 0), "(1.00)"},
      {Call(number, D(45600), 2, kDefault, kDefault, kTristateTrue), "45,600.00"},
      {Call(number, D(1234.5678), -1, kDefault, kDefault, kTristateFalse), "1234.57"},
      {Call(number, D(0.5), 2, kTristateFalse), ".50"},
      {Call(number, D(1234.5678), 0), "1,235"},
      {Call(number, D(0)), "0.00"},
      {Call(number, D(0.4), 0, kTristateFalse), "0"},
      {Call(number, D(2.5), 0), "3"},
      {Call(number, D(0.125), 2), "0.13"},
      {Call(number, D(1.005), 2), "1.00"},  // stored below the tie
      {Call(number, D(-0.001), 2), "-0.00"},
      {Call(number, Variant::Empty()), "0.00"},
      {Call(number, Variant::Boolean(true)), "-1.00"},
      {Call(number, D(1E20), 0), "100,000,000,000,000,000,000"},
      {Call(number, D(-5), 1, kDefault, kTristateFalse), "-5.0"},
      {Call(number, D(-5), 1, kDefault, 7), "(5.0)"},  // any other value is true
  });
}

// Currency with all of en-US's defaults is checked through Format's "Currency".
TEST(FormatCurrency, Examples) {
  ExpectRows({
      {Call(FormatCurrency, D(-1234.5678), -1, kDefault, kTristateFalse), "-$1,234.57"},
      {Call(FormatCurrency, D(-1234.5678), -1, kDefault, kTristateTrue), "($1,234.57)"},
      {Call(FormatCurrency, D(-0.001)), "($0.00)"},
      {Call(FormatCurrency, D(0.5), 2, kTristateFalse), "$.50"},
      {Call(FormatCurrency, D(1234.5), 0, kDefault, kDefault, kTristateFalse), "$1235"},
  });
}

TEST(FormatNumber, SameValuesInEachLocale) {
  const Locale de = Locale::FromName("de-DE");
  const Locale fr = Locale::FromName("fr-FR");
  auto in = [](const Locale& locale, FormatFunction function, const Variant& value,
               int32_t digits = -1, int32_t parens = kDefault) {
    return function(value, digits, kDefault, parens, kDefault, locale);
  };
  const std::string euro = " \xE2\x82\xAC";
  const std::string nnbsp = "\xE2\x80\xAF";
  ExpectRows({
      {in(de, FormatNumber, D(-1234.5678)), "-1.234,57"},
      {in(fr, FormatNumber, D(-1234.5678)), "-1" + nnbsp + "234,57"},
      {in(de, FormatCurrency, D(1234.5678)), "1.234,57" + euro},
      {in(de, FormatCurrency, D(-1234.5678), -1, kTristateTrue), "(1.234,57" + euro + ")"},
      {in(fr, FormatCurrency, D(1234.5678)), "1" + nnbsp + "234,57" + euro},
      {in(de, FormatNumber, Variant("6,90")), "6,90"},
      {in(Locale::FromName("hi-IN"), FormatNumber, D(123456789), 0), "12,34,56,789"},
      {in(Locale::FromName("nl-NL"), FormatCurrency, D(-1234.5)), "\xE2\x82\xAC -1.234,50"},
      {in(Locale::FromName("ja-JP"), FormatCurrency, D(1234.5)),
       "\xEF\xBF\xA5"
       "1,235"},
  });
}

}  // namespace
}  // namespace quillet::runtime
