// The formatting functions a statement applies, and wrapping a finished label.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expression/apply_formatting_function.h"
#include "expression/wrap_label_text.h"
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

// A failing function, a summary method or a name outside the table leaves the value alone.
TEST(ApplyFormattingFunction, FailuresGiveBackTheValue) {
  ExpectRows({
      {Variant::Integer(-32768), "Abs", kNone, kNone, Variant::Integer(-32768)},
      {D(5), "Format", Variant::Null(), kNone, D(5)},
      {Variant("abc"), "Spaces", L(2147483647), kNone, Variant("abc")},
      {Variant::Null(), "UCase", kNone, kNone, Variant::Null()},
      {D(-2.5), "Sum", L(1), kNone, D(-2.5)},
      {D(-2.5), "Formats", L(1), kNone, D(-2.5)},
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

// Each function by its name in any case, with its arguments in their places.
TEST(ApplyFormattingFunction, EachFunctionWithItsArguments) {
  ExpectRows({
      {D(1234.56), "formatnumber", L(1), kNone, Variant("1,234.6")},
      {Variant("1234.5"), "FormatNumber", L(2), kNone, Variant("1,234.50")},
      {D(-1234.5678), "FORMATCURRENCY", kNone, kNone, Variant("($1,234.57)")},
      {D(0.12345), "Round", L(4), kNone, D(0.1234)},
      {L(-12), "abs", kNone, kNone, L(12)},
      {D(1234.5678), "Format", Variant("#,##0.00"), kNone, Variant("1,234.57")},
      // The number functions leave what is no number alone; a date is none.
      {Variant::Date(33996.5), "FormatNumber", L(2), kNone, Variant::Date(33996.5)},
      {Variant::Date(33996.5), "FormatCurrency", kNone, kNone, Variant::Date(33996.5)},
      {Variant("S\u00E3o"), "Spaces", L(2), kNone, Variant("S  \u00E3  o  ")},
      {Variant("NEW YORK county"), "TCase", kNone, kNone, Variant("New York County")},
      {Variant("Hello World 1234"), "LCase", kNone, kNone, Variant("hello world 1234")},
      {Variant("Hello World 1234"), "UCase", kNone, kNone, Variant("HELLO WORLD 1234")},
      {Variant("Total"), "Replace", Variant("TOTAL"), Variant("Sum"), Variant("Sum")},
      {Variant("Hello World"), "Left", L(7), kNone, Variant("Hello W")},
      {Variant("Hello World"), "Right", L(5), kNone, Variant("World")},
      {Variant("Mid Function Demo"), "Mid", L(5), L(8), Variant("Function")},
      {Variant("  x  "), "Trim", kNone, kNone, Variant("x")},
      {Variant("  x  "), "LTrim", kNone, kNone, Variant("x  ")},
      {Variant("  x  "), "RTrim", kNone, kNone, Variant("  x")},
  });
}

TEST(ApplyFormattingFunction, ReadsTheLocaleItIsGiven) {
  ExpectRows(
      {
          {D(1234.56), "FormatNumber", L(1), kNone, Variant("1.234,6")},
          {Variant("6,90"), "Round", L(0), kNone, D(7)},
          {Variant("1.5"), "Abs", kNone, kNone, D(15)},
          {D(-1234.5678), "FormatCurrency", kNone, kNone, Variant("-1.234,57 \u20AC")},
          {D(2.5), "Format", Variant("0.00"), kNone, Variant("2,50")},
          // Weeks start on Sunday and week 1 holds 1 January, not the locale's ISO weeks.
          {Variant::Date(33996.5), "Format", Variant("ww w"), kNone, Variant("5 4")},
          {D(2.5), "UCase", kNone, kNone, Variant("2,5")},
      },
      runtime::Locale::FromName("de-DE"));
}

// A "|" in the expected texts stands for a CR LF line break.
std::string Breaks(std::string text) {
  std::string out;
  for (char c : text)
    out += c == '|' ? std::string("\r\n") : std::string(1, c);
  return out;
}

TEST(WrapLabelText, Examples) {
  const struct {
    std::string text;
    int16_t limit;
    std::string expected;
  } rows[] = {
      {"Supercalifragilisticexpialidocious", 10, "Supercali-|fragilist-|icexpiali-|docious"},
      {"  leading blanks here and there", 8, "leading|blanks|here and|there"},
      {"  short", 7, "  short"},  // at the limit, its blanks kept
      {"ab cd", 1, "-|ab|-|cd"},
      {"one   two three", 5, "one  |two|three"},
      {"abcd efgh", 5, "abcd|efgh"},
      {"ab cdefghij", 5, "ab|cdef-|ghij"},
      {"S\u00E3o Paulo city", 9, "S\u00E3o Paulo|city"},
      {"word   ", 4, "word|"},
      // No limit: not even the tokens change.
      {"a$$NEWLINEb and c", 0, "a$$NEWLINEb and c"},
      {"a$$NEWLINEb and c", -32768, "a$$NEWLINEb and c"},
  };
  for (const auto& row : rows) {
    std::string text = row.text;
    EXPECT_EQ(WrapLabelText(text, row.limit), Breaks(row.expected))
        << "[" << row.text << "] at " << row.limit;
  }
}

TEST(WrapLabelText, NewlineTokensAreReplacedInTheCallersText) {
  std::string text = "Total$$newline1,234$$NewLine";
  EXPECT_EQ(WrapLabelText(text, 40), "Total\r\n1,234\r\n");
  EXPECT_EQ(text, "Total\r\n1,234\r\n");
  // Existing breaks count as characters of the line; a hyphen break may move the LF.
  std::string longer = "abc$$NEWLINEdefg";
  EXPECT_EQ(WrapLabelText(longer, 5), Breaks("abc\r-|\ndefg"));
  EXPECT_EQ(longer, "abc\r\ndefg");
  std::string atCr = "abcd$$NEWLINEefgh";
  EXPECT_EQ(WrapLabelText(atCr, 5), Breaks("abcd-|\r\nef-|gh"));
}

TEST(WrapLabelText, TextsBeyondSixteenBitsStayUnwrapped) {
  std::string atLimit(32767, 'x');
  EXPECT_NE(WrapLabelText(atLimit, 100), std::string(32767, 'x'));
  std::string beyond(32768, 'x');
  EXPECT_EQ(WrapLabelText(beyond, 100), std::string(32768, 'x'));
  std::string withToken = std::string(32768, 'x') + "$$NEWLINE";
  EXPECT_EQ(WrapLabelText(withToken, 100), std::string(32768, 'x') + "\r\n");
}

}  // namespace
}  // namespace quillet
