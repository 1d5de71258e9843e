// Case mapping and the string functions, counting characters, not bytes.
#include <gtest/gtest.h>

#include <string>

#include "quillet/error.h"
#include "runtime/case.h"
#include "runtime/string_functions.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

const std::string kSaoPaulo = "S\u00E3o Paulo";  // 9 characters, 10 bytes

TEST(Case, UpperLowerProperAndFolded) {
  EXPECT_EQ(UCase(kSaoPaulo), "S\u00C3O PAULO");
  EXPECT_EQ(UCase("gro\u00DFs"), "GRO\u00DFS");  // one character stays one character
  EXPECT_EQ(UCase("a\xFFz"), "A\xFFZ");          // bytes that are no UTF-8 pass through
  EXPECT_EQ(ProperCase("o'brien-smith"), "O'brien-smith");
  EXPECT_EQ(ProperCase("a\tb\nc\vd\fe\rf g"), "A\tB\nC\vD\fE\rF G");
  EXPECT_EQ(ProperCase(std::string("a\0b", 3)), std::string("A\0B", 3));
  EXPECT_EQ(ProperCase("\u00E9t\u00E9 \u00C9T\u00C9"), "\u00C9t\u00E9 \u00C9t\u00E9");
  EXPECT_TRUE(EqualsIgnoreCase("$$NewLine", "$$NEWLINE"));
  EXPECT_TRUE(EqualsIgnoreCase("\u00C4rger", "\u00E4RGER"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abd"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "ab"));
  EXPECT_EQ(FoldCase("\u00C4rger"), "\u00E4rger");
}

TEST(StringFunctions, InvalidArguments) {
  using test::ErrorNumberOf;
  constexpr int32_t kInvalid = Error::kInvalidProcedureCall;
  EXPECT_EQ(ErrorNumberOf([] { Left("abc", -1); }), kInvalid);
  EXPECT_EQ(ErrorNumberOf([] { Right("abc", -1); }), kInvalid);
  EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 0); }), kInvalid);
  EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 1, -1); }), kInvalid);
  EXPECT_EQ(ErrorNumberOf([] { Replace("abc", "a", "b", 0); }), kInvalid);
  EXPECT_EQ(ErrorNumberOf([] { Replace("abc", "a", "b", 1, -2); }), kInvalid);
  EXPECT_EQ(ErrorNumberOf([] { Replace("abc", "a", "b", 1, -1, 8); }), kInvalid);
}

TEST(StringFunctions, LeftRightMidTrimReplace) {
  EXPECT_EQ(Left("Hello World", 20), "Hello World");
  EXPECT_EQ(Left(kSaoPaulo, 2), "S\u00E3");
  EXPECT_EQ(Left("a\xFFz", 2), "a\xFF");  // bytes that are no UTF-8 count one character each
  EXPECT_EQ(Right("Hello World", 11), "Hello World");
  EXPECT_EQ(Right(kSaoPaulo, 8), "\u00E3o Paulo");
  EXPECT_EQ(Mid("Mid Function Demo", 5), "Function Demo");
  EXPECT_EQ(Mid("Mid Function Demo", 18), "");
  EXPECT_EQ(Mid(kSaoPaulo, 2, 2), "\u00E3o");
  // Only the plain blank is trimmed (the formatting functions show each trim at work).
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(Trim("\t x \t"), "\t x \t");
  EXPECT_EQ(Trim("\u00A0x\u00A0"), "\u00A0x\u00A0");
  EXPECT_EQ(Replace("abcabc", "b", "X", 3), "caXc");
  EXPECT_EQ(Replace("aaaa", "a", "b", 1, 2), "bbaa");
  EXPECT_EQ(Replace("aAbA", "a", "x", 1, -1, kTextCompare), "xxbx");
  EXPECT_EQ(Replace("aAbA", "a", "x", 1, -1, kBinaryCompare), "xAbA");
  EXPECT_EQ(Replace("xxx", "", "y", 2), "xx");
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Replace(kSaoPaulo, "o", "0", 2), "\u00E30 Paul0");
}

}  // namespace
}  // namespace quillet::runtime
