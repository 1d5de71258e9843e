// Numbers: the numeric test and conversions, Abs and Round, FormatNumber and FormatCurrency.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "runtime/math_functions.h"
#include "runtime/number_format.h"
#include "runtime/numeric.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

constexpr int32_t kDefault = kTristateUseDefault;
using test::ErrorNumberOf;

struct ParseRow {
  std::string text;
  std::optional<double> expected;
};

void ExpectParsed(const std::vector<ParseRow>& rows, const Locale& locale) {
  for (const ParseRow& row : rows)
    EXPECT_EQ(ParseNumber(row.text, locale), row.expected) << "[" << row.text << "]";
}

TEST(ParseNumber, ReadsNumbersByTheRuntimeRules) {
  for (const char* text : {"", ".", "459..", "45 Help", "1 e1", ",1,000", "1e+", "+-1", "&H", "&HG",
                           "&O8", "\u0660", "1e400", "$", "1.5,0", "(-5)"})
    EXPECT_FALSE(ParseNumber(text, Locale::EnUs()).has_value()) << "[" << text << "]";
  ExpectParsed(
      {
          {"\t42\r\n", 42},
          {"\u00A042\u00A0", 42},
          {"+123", 123},
          {"459.-", -459},
          {".5", 0.5},
          {"1,234,567.5", 1234567.5},
          {"1,,000", 1000},
          {"1.5E-20", 1.5e-20},
          {"(100)", -100},
          {"-$10", -10},
          {"10$", 10},
          {"- 5", -5},
          {"&hff", 255},
          {"&O17", 15},
          // Up to 16 bits a literal is an Integer, beyond that a Long; both wrap to negative.
          {"&HFFFF", -1},
          {"&H10000", 65536},
          {"&HFFFFFFFF", -1},
          {"1e-400", 0},
      },
      Locale::EnUs());
}

TEST(ParseNumber, UsesTheLocaleCharacters) {
  ExpectParsed({{"6,90", 6.9}, {"1.234,5", 1234.5}}, Locale::FromName("de-DE"));
  // Any blank reads as the group separator of a locale that groups with a blank.
  ExpectParsed({{"1 234,5", 1234.5}, {"1\u00A0234", 1234}, {"1\u202F234", 1234}, {"1 e1", {}}},
               Locale::FromName("fr-FR"));
  // Full-width digits count only in East Asian locales.
  ExpectParsed({{"\uFF11\uFF12", 12}}, Locale::FromName("ja-JP"));
  ExpectParsed({{"\uFF11\uFF12", {}}}, Locale::EnUs());
}

TEST(ToLong, RoundsHalfToEvenWithinThe32BitRange) {
  EXPECT_EQ(ToLong(Variant::Double(0.5)), 0);
  EXPECT_EQ(ToLong(Variant::Double(1.5)), 2);
  EXPECT_EQ(ToLong(Variant::Double(-2.5)), -2);
  EXPECT_EQ(ToLong(Variant::Double(2147483647)), 2147483647);
  EXPECT_EQ(ToLong(Variant::Double(-2147483648.5)), -2147483647 - 1);
  EXPECT_EQ(ToLong(Variant(" 3.5 "), Locale::EnUs()), 4);
  const std::pair<Variant, int32_t> errors[] = {
      {Variant::Double(2147483647.5), Error::kOverflow},
      {Variant::Double(-2147483649.0), Error::kOverflow},
      {Variant::Double(std::nan("")), Error::kOverflow},
      {Variant::Null(), Error::kInvalidUseOfNull},
      {Variant("abc"), Error::kTypeMismatch},
  };
  for (const auto& [value, number] : errors)
    EXPECT_EQ(ErrorNumberOf([&] { ToLong(value); }), number) << ToText(value);
}

TEST(Abs, KeepsTheKind) {
  EXPECT_EQ(Abs(Variant::Double(-50.3)), Variant::Double(50.3));
  EXPECT_EQ(Abs(Variant::Integer(-5)), Variant::Integer(5));
  EXPECT_EQ(Abs(Variant::Single(-1.5f)), Variant::Single(1.5f));
  EXPECT_EQ(Abs(Variant::Date(-3.25)), Variant::Date(3.25));
  EXPECT_EQ(Abs(Variant::Boolean(true)), Variant::Integer(1));
  EXPECT_EQ(Abs(Variant::Empty()), Variant::Integer(0));
  EXPECT_TRUE(Abs(Variant::Null()).IsNull());
  EXPECT_EQ(Abs(Variant("-1"), Locale::EnUs()), Variant::Double(1));
  EXPECT_EQ(ErrorNumberOf([] { Abs(Variant::Integer(-32768)); }), Error::kOverflow);
}

TEST(Round, BankersRoundingOnTheScaledValueKindsAndErrors) {
  struct Row {
    double value;
    int32_t digits;
    double expected;
  };
  const std::vector<Row> rows = {
      {2.5, 0, 2},     {0.12345, 4, 0.1234}, {0.12355, 4, 0.1236},
      {1.005, 2, 1.0}, {1e300, 5, 1e300},    {123.456, 20, 123.456},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Round(Variant::Double(row.value), row.digits), Variant::Double(row.expected))
        << row.value << " " << row.digits;
  EXPECT_EQ(Round(Variant::Boolean(true)), Variant::Integer(-1));
  EXPECT_EQ(Round(Variant::Empty()), Variant::Integer(0));
  EXPECT_EQ(Round(Variant::Long(7), 2), Variant::Long(7));
  EXPECT_EQ(Round(Variant::Single(2.5f)), Variant::Single(2));
  EXPECT_EQ(Round(Variant("2.5"), 0, Locale::EnUs()), Variant::Double(2));
  EXPECT_EQ(Round(Variant::Date(1.75), 0), Variant::Date(2));
  EXPECT_TRUE(Round(Variant::Null()).IsNull());
  EXPECT_EQ(ErrorNumberOf([] { Round(Variant::Double(1.5), -1); }), Error::kInvalidProcedureCall);
}

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

TEST(FormatNumberAndCurrency, Examples) {
  EXPECT_EQ(ErrorNumberOf([] { Call(FormatNumber, D(1), -2); }), Error::kInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Call(FormatNumber, D(1), 256); }), Error::kInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Call(FormatNumber, Variant::Null()); }), Error::kTypeMismatch);
  EXPECT_EQ(Call(FormatNumber, D(1234.5678)), "1,234.57");
  EXPECT_EQ(Call(FormatNumber, D(-1234.5678), 2, kDefault, kTristateTrue), "(1,234.57)");
  EXPECT_EQ(Call(FormatNumber, D(1234.5678), -1, kDefault, kDefault, kTristateFalse), "1234.57");
  EXPECT_EQ(Call(FormatNumber, D(0.5), 2, kTristateFalse), ".50");
  EXPECT_EQ(Call(FormatNumber, D(0.4), 0, kTristateFalse), "0");
  EXPECT_EQ(Call(FormatNumber, D(-0.001), 2), "-0.00");
  EXPECT_EQ(Call(FormatNumber, Variant::Empty()), "0.00");
  EXPECT_EQ(Call(FormatNumber, D(-5), 1, kDefault, kTristateFalse), "-5.0");
  EXPECT_EQ(Call(FormatNumber, D(-5), 1, kDefault, 7), "(5.0)");  // any other value is true
  // Currency with all of en-US's defaults is checked through Format's "Currency".
  EXPECT_EQ(Call(FormatCurrency, D(-1234.5678), -1, kDefault, kTristateFalse), "-$1,234.57");
  EXPECT_EQ(Call(FormatCurrency, D(-0.001)), "($0.00)");
  EXPECT_EQ(Call(FormatCurrency, D(0.5), 2, kTristateFalse), "$.50");
  EXPECT_EQ(Call(FormatCurrency, D(1234.5), 0, kDefault, kDefault, kTristateFalse), "$1235");
}

TEST(FormatNumberAndCurrency, SameValuesInEachLocale) {
  const Locale de = Locale::FromName("de-DE");
  auto in = [](const Locale& locale, FormatFunction function, const Variant& value,
               int32_t digits = -1, int32_t parens = kDefault) {
    return function(value, digits, kDefault, parens, kDefault, locale);
  };
  EXPECT_EQ(in(de, FormatNumber, D(-1234.5678)), "-1.234,57");
  EXPECT_EQ(in(de, FormatCurrency, D(1234.5678)), "1.234,57 \u20AC");
  EXPECT_EQ(in(de, FormatCurrency, D(-1234.5678), -1, kTristateTrue), "(1.234,57 \u20AC)");
  EXPECT_EQ(in(de, FormatNumber, Variant("6,90")), "6,90");
  EXPECT_EQ(in(Locale::FromName("hi-IN"), FormatNumber, D(123456789), 0), "12,34,56,789");
  EXPECT_EQ(in(Locale::FromName("nl-NL"), FormatCurrency, D(-1234.5)), "\u20AC -1.234,50");
  EXPECT_EQ(in(Locale::FromName("ja-JP"), FormatCurrency, D(1234.5)),
            "\uFFE51,235");  // full-width yen
}

}  // namespace
}  // namespace quillet::runtime
