// Case mapping and the string functions, counting characters, not bytes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "runtime/case.h"
#include "runtime/string_functions.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

const std::string kSaoPaulo = "S\u00E3o Paulo";  // 9 characters, 10 bytes

struct Row {
  std::string actual, expected;
};

void ExpectRows(const std::vector<Row>& rows) {
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i].actual, rows[i].expected) << "row " << i;
}

TEST(Case, UpperLowerAndProper) {
  ExpectRows({
      {UCase(kSaoPaulo), "S\u00C3O PAULO"},
      {UCase("gro\u00DFs"), "GRO\u00DFS"},  // one character stays one character
      {UCase("a\xFFz"), "A\xFFZ"},          // bytes that are no UTF-8 pass through
      {ProperCase("o'brien-smith"), "O'brien-smith"},
      {ProperCase("a\tb\nc\vd\fe\rf g"), "A\tB\nC\vD\fE\rF G"},
      {ProperCase(std::string("a\0b", 3)), std::string("A\0B", 3)},
      {ProperCase("\u00E9t\u00E9 \u00C9T\u00C9"), "\u00C9t\u00E9 \u00C9t\u00E9"},
  });
}

TEST(Case, FoldingAndComparison) {
  EXPECT_TRUE(EqualsIgnoreCase("$$NewLine", "$$NEWLINE"));
  EXPECT_TRUE(EqualsIgnoreCase("\u00C4rger", "\u00E4RGER"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abd"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "ab"));
  EXPECT_EQ(FoldCase("\u00C4rger"), "\u00E4rger");
}

void ExpectInvalidCall(const std::function<void()>& call, const char* what) {
  const Error error = test::ErrorOf(call);
  EXPECT_EQ(error.Number(), Error::kInvalidProcedureCall) << what;
  EXPECT_EQ(error.Description(), "Invalid procedure call or argument") << what;
}

TEST(StringFunctions, InvalidArguments) {
  ExpectInvalidCall([] { Left("abc", -1); }, "Left -1");
  ExpectInvalidCall([] { Right("abc", -1); }, "Right -1");
  ExpectInvalidCall([] { Mid("abc", 0); }, "Mid start 0");
  ExpectInvalidCall([] { Mid("abc", 1, -1); }, "Mid length -1");
  ExpectInvalidCall([] { Replace("abc", "a", "b", 0); }, "Replace start 0");
  ExpectInvalidCall([] { Replace("abc", "a", "b", 1, -2); }, "Replace count -2");
  ExpectInvalidCall([] { Replace("abc", "a", "b", 1, -1, 8); }, "Replace compare 8");
}

TEST(StringFunctions, LeftRightMidTrim) {
  ExpectRows({
      {Left("Hello World", 20), "Hello World"},
      {Left(kSaoPaulo, 2), "S\u00E3"},
      {Left("a\xFFz", 2), "a\xFF"},  // bytes that are no UTF-8 count one character each
      {Right("Hello World", 11), "Hello World"},
      {Right(kSaoPaulo, 8), "\u00E3o Paulo"},
      {Mid("Mid Function Demo", 5), "Function Demo"},
      {Mid("Mid Function Demo", 5, 100), "Function Demo"},
      {Mid("Mid Function Demo", 18), ""},
      {Mid(kSaoPaulo, 2, 2), "\u00E3o"},
      // Only the plain blank is trimmed (the formatting functions show each trim at work).
      {Trim("    "), ""},
      {Trim("\t x \t"), "\t x \t"},
      {Trim("\u00A0x\u00A0"), "\u00A0x\u00A0"},
  });
}

TEST(StringFunctions, Replace) {
  ExpectRows({
      {Replace("abcabc", "b", "X", 3), "caXc"},
      {Replace("aaaa", "a", "b", 1, 2), "bbaa"},
      {Replace("aAbA", "a", "x", 1, -1, kTextCompare), "xxbx"},
      {Replace("aAbA", "a", "x", 1, -1, kBinaryCompare), "xAbA"},
      {Replace("xxx", "", "y", 2), "xx"},
      {Replace("aaa", "aa", "b"), "ba"},
      {Replace(kSaoPaulo, "o", "0", 2), "\u00E30 Paul0"},
  });
}

}  // namespace
}  // namespace quillet::runtime
