#include "expression/apply_formatting_function.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillet/locale.h"

namespace quillet {
namespace {

using runtime::Variant;

const Variant kNone = Variant::String("");
Variant L(int32_t value) {
  return Variant::Long(value);
}
Variant D(double value) {
  return Variant::Double(value);
}

struct Row {
  Variant value;
  std::string name;
  Variant argument1;
  Variant argument2;
  Variant expected;
};

void ExpectRows(const std::vector<Row>& rows,
                const runtime::Locale& locale = runtime::Locale::EnUs()) {
  for (const Row& row : rows) {
    Variant value = row.value;
    const Variant result =
        ApplyFormattingFunction(value, row.name, row.argument1, row.argument2, locale);
    SCOPED_TRACE(row.name + " on " + runtime::KindName(row.value.Kind()));
    EXPECT_EQ(result, row.expected);
    EXPECT_EQ(value, row.expected) << "the caller's value";
  }
}

TEST(ApplyFormattingFunction, FailuresGiveBackTheValue) {
  ExpectRows({
      {Variant("abc"), "Left", L(-1), kNone, Variant("abc")},
      {L(5), "Mid", L(-3), L(1), L(5)},
      {D(2.5), "Round", L(-1), kNone, D(2.5)},
      {D(1234.5), "FormatNumber", L(-2), kNone, D(1234.5)},
      {Variant::Integer(-32768), "Abs", kNone, kNone, Variant::Integer(-32768)},
      {D(5), "Format", Variant::Null(), kNone, D(5)},
      {Variant("abc"), "Spaces", L(2147483647), kNone, Variant("abc")},
      {Variant::Null(), "UCase", kNone, kNone, Variant::Null()},
  });
}

// Spaces and Replace may make a text of kLongestLabel characters, not one more; a text that
// is longer already may keep its length.
TEST(ApplyFormattingFunction, TextsGrowToTheLongestLabelAndNoFurther) {
  const auto blanks = [](size_t n) { return std::string(n, ' '); };
  const std::string half(32768, 'b');
  const std::string long_(70000, 'a');
  ExpectRows({
      {Variant("ab"), "Spaces", L(32767), kNone,
       Variant("a" + blanks(32767) + "b" + blanks(32767))},
      {Variant("ab"), "Spaces", L(32768), kNone, Variant("ab")},
      {Variant("aa"), "Replace", Variant("A"), Variant(half), Variant(half + half)},
      {Variant("aaa"), "Replace", Variant("A"), Variant(half), Variant("aaa")},
      {Variant(long_), "Replace", Variant("a"), Variant("c"), Variant(std::string(70000, 'c'))},
  });
}

TEST(ApplyFormattingFunction, NumericFunctionsLeaveOtherValuesAlone) {
  for (const char* name : {"Abs", "FormatCurrency", "FormatNumber", "Round"}) {
    ExpectRows({
        {Variant("n/a"), name, L(2), kNone, Variant("n/a")},
        {Variant::Null(), name, L(2), kNone, Variant::Null()},
        {Variant::Date(33996.5), name, L(2), kNone, Variant::Date(33996.5)},
    });
  }
}

TEST(ApplyFormattingFunction, NamesOutsideTheTableChangeNothing) {
  for (const char* name : {"Sum", "NONE", "", "Formats", "Spaces "})
    ExpectRows({{D(-2.5), name, L(1), kNone, D(-2.5)}});
}

TEST(ApplyFormattingFunction, NumberFunctionsAndFormat) {
  const Variant day = Variant::Date(33996.7113773148);  // 27 Jan 1993 17:04:23
  ExpectRows({
      {D(1234.56), "formatnumber", L(1), kNone, Variant("1,234.6")},
      {Variant("1234.5"), "FormatNumber", L(2), kNone, Variant("1,234.50")},
      {D(-1234.5678), "FORMATCURRENCY", kNone, kNone, Variant("($1,234.57)")},
      {D(0.12345), "Round", L(4), kNone, D(0.1234)},
      {L(-12), "abs", kNone, kNone, L(12)},
      {D(1234.5678), "Format", Variant("#,##0.00"), kNone, Variant("1,234.57")},
      // Weeks start on Sunday and week 1 holds 1 January.
      {day, "Format", Variant("ww w"), kNone, Variant("5 4")},
      {D(5), "Format", Variant(""), kNone, Variant("5")},
      {Variant::Null(), "Format", Variant("0"), kNone, Variant::Null()},
  });
}

TEST(ApplyFormattingFunction, TextFunctions) {
  ExpectRows({
      {Variant("S\xC3\xA3o"), "Spaces", L(2), kNone, Variant("S  \xC3\xA3  o  ")},
      {Variant("ABC"), "Spaces", L(0), kNone, Variant("ABC")},
      {Variant("NEW YORK county"), "TCase", kNone, kNone, Variant("New York County")},
      {Variant("Total"), "Replace", Variant("TOTAL"), Variant("Sum"), Variant("Sum")},
      {Variant("Hello World 1234"), "LCase", kNone, kNone, Variant("hello world 1234")},
      {Variant("Hello World"), "Left", L(7), kNone, Variant("Hello W")},
      {Variant("123456"), "Left", D(2.5), kNone, Variant("12")},
      {Variant("Hello World"), "Right", L(5), kNone, Variant("World")},
      {D(1234.5), "Left", L(2), kNone, Variant("12")},
      {Variant("Mid Function Demo"), "Mid", L(5), L(8), Variant("Function")},
      {Variant("  x  "), "Trim", kNone, kNone, Variant("x")},
      {Variant("  x  "), "LTrim", kNone, kNone, Variant("x  ")},
      {Variant("  x  "), "RTrim", kNone, kNone, Variant("  x")},
      {Variant::Empty(), "UCase", kNone, kNone, Variant("")},
      {Variant::Date(33996), "UCase", kNone, kNone, Variant("1/27/1993")},
  });
}

TEST(ApplyFormattingFunction, ReadsTheLocaleItIsGiven) {
  ExpectRows(
      {
          {D(1234.56), "FormatNumber", L(1), kNone, Variant("1.234,6")},
          {Variant("6,90"), "Round", L(0), kNone, D(7)},
          {Variant("1.5"), "Abs", kNone, kNone, D(15)},
          {D(-1234.5678), "FormatCurrency", kNone, kNone, Variant("-1.234,57 \xE2\x82\xAC")},
          {D(2.5), "Format", Variant("0.00"), kNone, Variant("2,50")},
          {D(2.5), "UCase", kNone, kNone, Variant("2,5")},
      },
      runtime::Locale::FromName("de-DE"));
}

}  // namespace
}  // namespace quillet
