#include "runtime/string_functions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

const std::string kSaoPaulo = "S\xC3\xA3o Paulo";  // "São Paulo": 9 characters, 10 bytes

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

TEST(StringFunctions, LeftRightMid) {
  struct Row {
    std::string actual, expected;
  };
  const std::vector<Row> rows = {
      {Left("Hello World", 7), "Hello W"},
      {Left("Hello World", 20), "Hello World"},
      {Left(kSaoPaulo, 2), "S\xC3\xA3"},
      {Right("Hello World", 5), "World"},
      {Right("Hello World", 11), "Hello World"},
      {Right(kSaoPaulo, 8), "\xC3\xA3o Paulo"},
      {Mid("Mid Function Demo", 14, 4), "Demo"},
      {Mid("Mid Function Demo", 5), "Function Demo"},
      {Mid("Mid Function Demo", 5, 100), "Function Demo"},
      {Mid("Mid Function Demo", 18), ""},
      {Mid(kSaoPaulo, 2, 2), "\xC3\xA3o"},
      {Mid("", 1), ""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.actual, row.expected);
  // Bytes that are no UTF-8 count one character each and pass through.
  EXPECT_EQ(Left("a\xFFz", 2), "a\xFF");
}

TEST(StringFunctions, Trim) {
  EXPECT_EQ(Trim("  <-Trim->  "), "<-Trim->");
  EXPECT_EQ(LTrim("  <-Trim->  "), "<-Trim->  ");
  EXPECT_EQ(RTrim("  <-Trim->  "), "  <-Trim->");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\t x \t"), "\t x \t");
  EXPECT_EQ(Trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");
  EXPECT_EQ(LTrim(" \n x"), "\n x");
}

TEST(StringFunctions, Replace) {
  struct Row {
    std::string actual, expected;
  };
  const std::vector<Row> rows = {
      {Replace("abcabc", "b", "X", 3), "caXc"},
      {Replace("aaaa", "a", "b", 1, 2), "bbaa"},
      {Replace("aAbA", "a", "x", 1, -1, kTextCompare), "xxbx"},
      {Replace("aAbA", "a", "x", 1, -1, kBinaryCompare), "xAbA"},
      {Replace("", "a", "b"), ""},
      {Replace("xxx", "", "y", 2), "xx"},
      {Replace("abcabc", "b", ""), "acac"},
      {Replace("abc", "a", "b", 4), ""},
      {Replace("abc", "a", "b", 1, 0), "abc"},
      {Replace("aaa", "aa", "b"), "ba"},
      {Replace("\xC3\x84rger \xC3\xA4rger", "\xC3\xA4", "ae", 1, -1, kTextCompare),
       "aerger aerger"},
      {Replace(kSaoPaulo, "o", "0", 2),
       "\xC3\xA3"
       "0 Paul0"},
      {Replace("STRASSE", "sse", "\xC3\x9F", 1, -1, kTextCompare), "STRA\xC3\x9F"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.actual, row.expected);
}

}  // namespace
}  // namespace quillet::runtime
