#include "runtime/case.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillet/error.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

struct Row {
  std::string text, expected;
};

TEST(Case, UpperAndLower) {
  const std::vector<Row> upper = {
      {"S\xC3\xA3o Paulo", "S\xC3\x83O PAULO"},
      {"hello world 1234", "HELLO WORLD 1234"},
      {"gro\xC3\x9Fs", "GRO\xC3\x9FS"},          // one character stays one character
      {"\xCE\xB1\xCE\xB2", "\xCE\x91\xCE\x92"},  // Greek
      {"", ""},
      {"a\xFFz", "A\xFFZ"},
  };
  for (const Row& row : upper)
    EXPECT_EQ(UCase(row.text), row.expected) << row.text;
  EXPECT_EQ(LCase("S\xC3\x83O PAULO"), "s\xC3\xA3o paulo");
}

TEST(Case, ProperCase) {
  const std::vector<Row> rows = {
      {"FRESH AIR, times square!", "Fresh Air, Times Square!"},
      {"o'brien-smith", "O'brien-smith"},
      {"a\tb\nc\vd\fe\rf g", "A\tB\nC\vD\fE\rF G"},
      {std::string("a\0b", 3), std::string("A\0B", 3)},
      {"(hello) 1ST", "(hello) 1st"},
      {"  two  blanks", "  Two  Blanks"},
      {"\xC3\xA9t\xC3\xA9 \xC3\x89T\xC3\x89", "\xC3\x89t\xC3\xA9 \xC3\x89t\xC3\xA9"},
      {"", ""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ProperCase(row.text), row.expected) << row.text;
}

TEST(Case, FoldingAndComparison) {
  EXPECT_TRUE(EqualsIgnoreCase("$$NewLine", "$$NEWLINE"));
  EXPECT_TRUE(EqualsIgnoreCase("\xC3\x84rger", "\xC3\xA4RGER"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abd"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "ab"));
  EXPECT_EQ(FoldCase("\xC3\x84rger"), "\xC3\xA4rger");
  EXPECT_EQ(FoldCodePoint(U'\u00C4'), U'\u00E4');
  EXPECT_EQ(FoldCodePoint(U'1'), U'1');
}

}  // namespace
}  // namespace quillet::runtime
