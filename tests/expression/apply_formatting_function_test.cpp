#include "expression/apply_formatting_function.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/locale.h"

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

std::string Describe(const Row& row) {
  return row.name + " on " + runtime::KindName(row.value.Kind());
}

void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    Variant value = row.value;
    const Variant result = ApplyFormattingFunction(value, row.name, row.argument1, row.argument2);
    EXPECT_EQ(result, row.expected) << Describe(row);
    EXPECT_EQ(value, row.expected) << Describe(row) << " (the caller's value)";
  }
}

TEST(ApplyFormattingFunction, FailuresGiveBackTheValue) {
  ExpectRows({
      {Variant("abc"), "Left", L(-1), kNone, Variant("abc")},
      {Variant("abc"), "Right", L(-1), kNone, Variant("abc")},
      {Variant("abc"), "Mid", L(0), L(1), Variant("abc")},
      {Variant("abc"), "Mid", L(1), L(-1), Variant("abc")},
      {L(5), "Mid", L(-3), L(1), L(5)},
      {D(2.5), "Round", L(-1), kNone, D(2.5)},
      {D(1234.5), "FormatNumber", L(-2), kNone, D(1234.5)},
      {Variant::Integer(-32768), "Abs", kNone, kNone, Variant::Integer(-32768)},
      {D(5), "Format", Variant::Null(), kNone, D(5)},
      {Variant::Date(3e6), "Format", Variant("dd/mm/yyyy"), kNone, Variant::Date(3e6)},
      {Variant("abc"), "Left", Variant("x"), kNone, Variant("abc")},
      {Variant("abc"), "Spaces", L(2147483647), kNone, Variant("abc")},
      {Variant::Null(), "UCase", kNone, kNone, Variant::Null()},
      {Variant::Null(), "Replace", Variant("a"), Variant("b"), Variant::Null()},
      {Variant::Null(), "Spaces", L(1), kNone, Variant::Null()},
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
  for (const char* name : {"Sum", "NONE", "Count", "Bold", "", "Formats", "Spaces "})
    ExpectRows({{D(-2.5), name, L(1), kNone, D(-2.5)}});
}

TEST(ApplyFormattingFunction, NumberFunctions) {
  ExpectRows({
      {D(1234.56), "formatnumber", L(1), kNone, Variant("1,234.6")},
      {D(1234.56), "FormatNumber", L(-1), kNone, Variant("1,234.56")},
      {D(-1234.567), "FormatNumber", L(0), kNone, Variant("-1,235")},
      {Variant("1234.5"), "FormatNumber", L(2), kNone, Variant("1,234.50")},
      {D(1234.5678), "FormatCurrency", kNone, kNone, Variant("$1,234.57")},
      {D(-1234.5678), "FORMATCURRENCY", kNone, kNone, Variant("($1,234.57)")},
      {D(2.5), "Round", L(0), kNone, D(2)},
      {D(3.5), "Round", L(0), kNone, D(4)},
      {D(0.12345), "Round", L(4), kNone, D(0.1234)},
      {L(7), "Round", L(2), kNone, L(7)},
      {Variant("2.5"), "Round", L(0), kNone, D(2)},
      {Variant("-12"), "Abs", kNone, kNone, D(12)},
      {L(-12), "abs", kNone, kNone, L(12)},
      {Variant::Boolean(true), "Abs", kNone, kNone, Variant::Integer(1)},
      {Variant::Empty(), "FormatNumber", L(2), kNone, Variant("0.00")},
  });
}

TEST(ApplyFormattingFunction, Format) {
  const Variant day = Variant::Date(33996.7113773148);  // 27 Jan 1993 17:04:23
  ExpectRows({
      {D(1234.5678), "Format", Variant("#,##0.00"), kNone, Variant("1,234.57")},
      {D(0.256), "Format", Variant("0.0%"), kNone, Variant("25.6%")},
      {day, "Format", Variant("dddd d mmmm yyyy"), kNone, Variant("Wednesday 27 January 1993")},
      {day, "Format", Variant("ww w"), kNone, Variant("5 4")},
      {Variant("text"), "Format", Variant(">"), kNone, Variant("TEXT")},
      {D(5), "Format", Variant(""), kNone, Variant("5")},
      {D(5), "Format", Variant("\"0.0\""), kNone, Variant("0.0")},
      {Variant::Null(), "Format", Variant("0"), kNone, Variant::Null()},
      {Variant("n/a"), "Format", Variant("0.00"), kNone, Variant("n/a")},
      {D(5), "format", Variant("Currency"), kNone, Variant("$5.00")},
  });
}

TEST(ApplyFormattingFunction, TextFunctions) {
  ExpectRows({
      {Variant("ABC"), "Spaces", L(1), kNone, Variant("A B C ")},
      {Variant("ABC"), "Spaces", L(0), kNone, Variant("ABC")},
      {Variant("ABC"), "Spaces", L(-2), kNone, Variant("ABC")},
      {Variant("S\xC3\xA3o"), "Spaces", L(2), kNone, Variant("S  \xC3\xA3  o  ")},
      {L(12), "Spaces", L(1), kNone, Variant("1 2 ")},
      {Variant("NEW YORK county"), "TCase", kNone, kNone, Variant("New York County")},
      {Variant("o'neil-smith"), "TCase", kNone, kNone, Variant("O'neil-smith")},
      {Variant("Total"), "Replace", Variant("TOTAL"), Variant("Sum"), Variant("Sum")},
      {Variant("abc"), "Replace", Variant(""), Variant("x"), Variant("abc")},
      {Variant("\xC3\x84rger"), "Replace", Variant("\xC3\xA4"), Variant("A"), Variant("Arger")},
      {L(1000), "Replace", Variant("0"), Variant("o"), Variant("1ooo")},
      {Variant("S\xC3\xA3o Paulo"), "UCase", kNone, kNone, Variant("S\xC3\x83O PAULO")},
      {Variant("Hello World 1234"), "LCase", kNone, kNone, Variant("hello world 1234")},
      {Variant::Boolean(true), "UCase", kNone, kNone, Variant("TRUE")},
      {Variant("Hello World"), "Left", L(7), kNone, Variant("Hello W")},
      {Variant("123456"), "Left", D(2.5), kNone, Variant("12")},
      {Variant("123456"), "Left", D(1.5), kNone, Variant("12")},
      {Variant("ab"), "Spaces", D(1.5), kNone, Variant("a  b  ")},
      {Variant("Hello World"), "left", L(50), kNone, Variant("Hello World")},
      {Variant("Hello World"), "Right", L(5), kNone, Variant("World")},
      {Variant("S\xC3\xA3o Paulo"), "Left", L(2), kNone, Variant("S\xC3\xA3")},
      {D(1234.5), "Left", L(2), kNone, Variant("12")},
      {Variant("Mid Function Demo"), "Mid", L(5), L(8), Variant("Function")},
      {Variant("Mid Function Demo"), "Mid", L(14), L(10), Variant("Demo")},
      {Variant("Mid Function Demo"), "Mid", L(30), L(2), Variant("")},
      {Variant("  x  "), "Trim", kNone, kNone, Variant("x")},
      {Variant("  x  "), "LTrim", kNone, kNone, Variant("x  ")},
      {Variant("  x  "), "RTrim", kNone, kNone, Variant("  x")},
      {Variant::Empty(), "UCase", kNone, kNone, Variant("")},
      {Variant::Date(33996), "UCase", kNone, kNone, Variant("1/27/1993")},
  });
}

TEST(ApplyFormattingFunction, ReadsTheCurrentLocale) {
  const runtime::Locale saved = runtime::CurrentLocale();
  runtime::SetCurrentLocale(runtime::Locale::FromName("de-DE"));
  ExpectRows({
      {D(1234.56), "FormatNumber", L(1), kNone, Variant("1.234,6")},
      {Variant("6,90"), "Round", L(0), kNone, D(7)},
      {Variant("1.5"), "Abs", kNone, kNone, D(15)},
      {D(-1234.5678), "FormatCurrency", kNone, kNone, Variant("-1.234,57 \xE2\x82\xAC")},
      {D(2.5), "Format", Variant("0.00"), kNone, Variant("2,50")},
      {D(2.5), "UCase", kNone, kNone, Variant("2,5")},
  });
  runtime::SetCurrentLocale(saved);
}

}  // namespace
}  // namespace quillet
