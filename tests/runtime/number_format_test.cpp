#include "runtime/number_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

constexpr int32_t kDefault = kTristateUseDefault;
const Locale& En() {
  return Locale::EnUs();
}
Variant D(double value) {
  return Variant::Double(value);
}

using test::ErrorNumberOf;

struct Row {
  std::string actual, expected;
};

TEST(FormatNumber, Errors) {
  EXPECT_EQ(ErrorNumberOf([] { FormatNumber(D(1), -2, kDefault, kDefault, kDefault, En()); }),
            Error::kInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { FormatPercent(D(1), -5, kDefault, kDefault, kDefault, En()); }),
            Error::kInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf(
                [] { FormatCurrency(Variant("test"), -1, kDefault, kDefault, kDefault, En()); }),
            Error::kTypeMismatch);
  EXPECT_EQ(
      ErrorNumberOf([] { FormatNumber(Variant::Null(), -1, kDefault, kDefault, kDefault, En()); }),
      Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { FormatNumber(D(1), 256, kDefault, kDefault, kDefault, En()); }),
            Error::kInvalidProcedureCall);
}

TEST(FormatNumber, Examples) {
  auto number = [](const Variant& v, int32_t digits = -1, int32_t lead = kDefault,
                   int32_t parens = kDefault, int32_t group = kDefault) {
    return FormatNumber(v, digits, lead, parens, group, En());
  };
  const std::vector<Row> rows = {
      {number(D(1234.5678)), "1,234.57"},
      {number(D(-1234.5678)), "-1,234.57"},
      {number(D(-1234.5678), 2, kDefault, kTristateTrue), "(1,234.57)"},
      {number(Variant("-1"), 2, 0, -1, 0), "(1.00)"},
      {number(D(45600), 2, kDefault, kDefault, kTristateTrue), "45,600.00"},
      {number(D(1234.5678), -1, kDefault, kDefault, kTristateFalse), "1234.57"},
      {number(D(0.5)), "0.50"},
      {number(D(0.5), 2, kTristateFalse), ".50"},
      {number(D(1234.5678), 0), "1,235"},
      {number(Variant("1")), "1.00"},
      {number(D(0)), "0.00"},
      {number(D(0), 2, kTristateFalse), ".00"},
      {number(D(0.4), 0, kTristateFalse), "0"},
      {number(D(2.5), 0), "3"},
      {number(D(-2.5), 0), "-3"},
      {number(D(0.125), 2), "0.13"},
      {number(D(1.005), 2), "1.00"},  // stored below the tie
      {number(D(-0.001), 2), "-0.00"},
      {number(D(1234567.891), 3), "1,234,567.891"},
      {number(Variant::Empty()), "0.00"},
      {number(Variant::Boolean(true)), "-1.00"},
      {number(Variant::Date(1.5)), "1.50"},
      {number(D(1E20), 0), "100,000,000,000,000,000,000"},
      {number(D(-5), 1, kDefault, kTristateFalse), "-5.0"},
      {number(D(5), 1, kDefault, 7), "5.0"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.actual, row.expected);
}

TEST(FormatCurrency, Examples) {
  auto currency = [](const Variant& v, int32_t digits = -1, int32_t lead = kDefault,
                     int32_t parens = kDefault, int32_t group = kDefault,
                     const Locale& locale = En()) {
    return FormatCurrency(v, digits, lead, parens, group, locale);
  };
  const std::vector<Row> rows = {
      {currency(D(1234.5678)), "$1,234.57"},
      {currency(D(-1234.5678)), "($1,234.57)"},
      {currency(D(-1234.5678), -1, kDefault, kTristateFalse), "-$1,234.57"},
      {currency(D(-1234.5678), -1, kDefault, kTristateTrue), "($1,234.57)"},
      {currency(D(0)), "$0.00"},
      {currency(D(-0.001)), "($0.00)"},
      {currency(D(0.5), 2, kTristateFalse), "$.50"},
      {currency(D(1234.5), 0, kDefault, kDefault, kTristateFalse), "$1235"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.actual, row.expected);
}

TEST(FormatPercent, Examples) {
  auto percent = [](const Variant& v, int32_t digits = -1, int32_t lead = kDefault,
                    int32_t parens = kDefault) {
    return FormatPercent(v, digits, lead, parens, kDefault, En());
  };
  const std::vector<Row> rows = {
      {percent(D(0.123456)), "12.35%"},
      {percent(D(-0.5)), "-50.00%"},
      {percent(D(12.345)), "1,234.50%"},
      {percent(D(-0.5), 0, kDefault, kTristateTrue), "(50%)"},
      {percent(D(0.001), 2, kTristateFalse), ".10%"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.actual, row.expected);
}

TEST(FormatNumber, SameValuesInEachLocale) {
  const Locale de = Locale::FromName("de-DE");
  const Locale fr = Locale::FromName("fr-FR");
  const std::string euro = " \xE2\x82\xAC";
  const std::string nnbsp = "\xE2\x80\xAF";
  const std::vector<Row> rows = {
      {FormatNumber(D(-1234.5678), -1, kDefault, kDefault, kDefault, de), "-1.234,57"},
      {FormatNumber(D(-1234.5678), -1, kDefault, kDefault, kDefault, fr), "-1" + nnbsp + "234,57"},
      {FormatCurrency(D(1234.5678), -1, kDefault, kDefault, kDefault, de), "1.234,57" + euro},
      {FormatCurrency(D(-1234.5678), -1, kDefault, kDefault, kDefault, de), "-1.234,57" + euro},
      {FormatCurrency(D(-1234.5678), -1, kDefault, kTristateTrue, kDefault, de),
       "(1.234,57" + euro + ")"},
      {FormatCurrency(D(1234.5678), -1, kDefault, kDefault, kDefault, fr),
       "1" + nnbsp + "234,57" + euro},
      {FormatPercent(D(0.5), -1, kDefault, kDefault, kDefault, de), "50,00%"},
      {FormatNumber(Variant("6,90"), -1, kDefault, kDefault, kDefault, de), "6,90"},
      {FormatNumber(D(123456789), 0, kDefault, kDefault, kDefault, Locale::FromName("hi-IN")),
       "12,34,56,789"},
      {FormatCurrency(D(-1234.5), -1, kDefault, kDefault, kDefault, Locale::FromName("nl-NL")),
       "\xE2\x82\xAC -1.234,50"},
      {FormatCurrency(D(1234.5), -1, kDefault, kDefault, kDefault, Locale::FromName("ja-JP")),
       "\xEF\xBF\xA5"
       "1,235"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.actual, row.expected);
}

}  // namespace
}  // namespace quillet::runtime
