#include "runtime/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "runtime/math_functions.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

using test::ErrorNumberOf;

struct ParseRow {
  std::string text;
  std::optional<double> expected;
};

void ExpectParsed(const std::vector<ParseRow>& rows, const Locale& locale) {
  for (const ParseRow& row : rows) {
    const std::optional<double> value = ParseNumber(row.text, locale);
    EXPECT_EQ(value.has_value(), row.expected.has_value()) << "[" << row.text << "]";
    if (value && row.expected) {
      EXPECT_DOUBLE_EQ(*value, *row.expected) << "[" << row.text << "]";
    }
  }
}

TEST(ParseNumber, RejectsTextThatIsNoNumber) {
  const std::vector<std::string> rejected = {
      "",           "   ", ".",    "459..",    "1.1.",  "45 Help", "abc",   "1%",   "True",
      "2015/09/16", "()",  "1 e1", ",1,000",   "1e",    "1e+",     "--1",   "+-1",  "1-2",
      "&H",         "&HG", "&O8",  "\xD9\xA0", "1e400", "$",       "1.5,0", "(-5)", "5 5"};
  for (const std::string& text : rejected)
    EXPECT_FALSE(ParseNumber(text, Locale::EnUs()).has_value()) << "[" << text << "]";
}

TEST(ParseNumber, ReadsNumbersByTheRuntimeRules) {
  const std::vector<ParseRow> rows = {
      {" 42 ", 42},
      {"\t42\r\n", 42},
      {"\xC2\xA0"
       "42",
       42},
      {"+123", 123},
      {"459.-", -459},
      {"1.", 1},
      {".5", 0.5},
      {"1,000", 1000},
      {"1,234,567.5", 1234567.5},
      {"1,,000", 1000},
      {"1e5", 1e5},
      {"1.5E-20", 1.5e-20},
      {"$10", 10},
      {"(100)", -100},
      {"-$10", -10},
      {"10$", 10},
      {"&H1F", 31},
      {"&hff", 255},
      {"&O17", 15},
      {"&HFFFF", -1},
      {"&H10000", 65536},
      {"&HFFFFFFFF", -1},
      {"6,90", 690},
      {"1e-400", 0},
      {"- 5", -5},
      {"-0", 0},
  };
  ExpectParsed(rows, Locale::EnUs());
}

TEST(ParseNumber, UsesTheLocaleCharacters) {
  ExpectParsed({{"6,90", 6.9}, {"1.234,5", 1234.5}, {"12 \xE2\x82\xAC", 12}, {"1,5,0", {}}},
               Locale::FromName("de-DE"));
  // Any blank reads as the group separator of a locale that groups with a blank.
  ExpectParsed({{"1 234,5", 1234.5},
                {"1\xC2\xA0"
                 "234",
                 1234},
                {"1\xE2\x80\xAF"
                 "234",
                 1234},
                {"1 e1", {}},
                {"45 Help", {}}},
               Locale::FromName("fr-FR"));
  // Full-width digits count only in East Asian locales; other scripts' digits never do.
  const std::string fullWidth12 = "\xEF\xBC\x91\xEF\xBC\x92";
  ExpectParsed({{fullWidth12, 12}}, Locale::FromName("ja-JP"));
  ExpectParsed({{fullWidth12 + ".5", 12.5}}, Locale::FromName("zh-CN"));
  ExpectParsed({{fullWidth12, {}}}, Locale::EnUs());
  ExpectParsed({{"\xD9\xA1", {}}}, Locale::FromName("ar-SA"));
}

TEST(ToLong, RoundsHalfToEven) {
  const std::vector<std::pair<double, int32_t>> rows = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {-2.5, -2},
      {25427.55, 25428},
      {-0.5, 0},
      {2147483647, 2147483647},
      {-2147483648.5, -2147483647 - 1},
      {-2147483647.5, -2147483647 - 1},
  };
  for (auto [value, expected] : rows)
    EXPECT_EQ(ToLong(Variant::Double(value)), expected) << value;
  EXPECT_EQ(ToLong(Variant::Boolean(true)), -1);
  EXPECT_EQ(ToLong(Variant::Empty()), 0);
  EXPECT_EQ(ToLong(Variant::Date(33996.75)), 33997);
  EXPECT_EQ(ToLong(Variant(" 3.5 "), Locale::EnUs()), 4);
}

TEST(ToLong, Errors) {
  const std::pair<Variant, int32_t> rows[] = {
      {Variant::Double(2147483648.0), Error::kOverflow},
      {Variant::Double(2147483647.5), Error::kOverflow},
      {Variant::Double(-2147483649.0), Error::kOverflow},
      {Variant::Double(std::numeric_limits<double>::infinity()), Error::kOverflow},
      {Variant::Double(std::nan("")), Error::kOverflow},
      {Variant::Null(), Error::kInvalidUseOfNull},
      {Variant("abc"), Error::kTypeMismatch},
      {Variant(""), Error::kTypeMismatch},
  };
  for (const auto& [value, number] : rows)
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
  EXPECT_EQ(ErrorNumberOf([] { Abs(Variant("abc"), Locale::EnUs()); }), Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { Abs(Variant::Integer(-32768)); }), Error::kOverflow);
  EXPECT_EQ(ErrorNumberOf([] { Abs(Variant::Long(std::numeric_limits<int32_t>::min())); }),
            Error::kOverflow);
}

TEST(Round, BankersRoundingOnTheScaledValue) {
  struct Row {
    double value;
    int32_t digits;
    double expected;
  };
  const std::vector<Row> rows = {
      {2.5, 0, 2},          {3.5, 0, 4},
      {-2.5, 0, -2},        {0.12345, 4, 0.1234},
      {0.12355, 4, 0.1236}, {0.00005, 4, 0},
      {1.005, 2, 1.0},      {1234.5678, 2, 1234.57},
      {1e300, 5, 1e300},    {123.456, 20, 123.456},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Round(Variant::Double(row.value), row.digits), Variant::Double(row.expected))
        << row.value << " " << row.digits;
}

TEST(Round, KindsAndErrors) {
  EXPECT_EQ(Round(Variant::Boolean(true)), Variant::Integer(-1));
  EXPECT_EQ(Round(Variant::Empty()), Variant::Integer(0));
  EXPECT_EQ(Round(Variant::Long(7), 2), Variant::Long(7));
  EXPECT_EQ(Round(Variant::Single(2.5f)), Variant::Single(2));
  EXPECT_EQ(Round(Variant("2.5"), 0, Locale::EnUs()), Variant::Double(2));
  EXPECT_EQ(Round(Variant::Date(1.75), 0), Variant::Date(2));
  EXPECT_TRUE(Round(Variant::Null()).IsNull());
  EXPECT_EQ(ErrorNumberOf([] { Round(Variant::Double(1.5), -1); }), Error::kInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Round(Variant("x"), 0, Locale::EnUs()); }), Error::kTypeMismatch);
}

}  // namespace
}  // namespace quillet::runtime
