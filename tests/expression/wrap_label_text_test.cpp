#include "expression/wrap_label_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quillet {
namespace {

// A "|" in the expected texts stands for a CR LF line break.
std::string Breaks(std::string text) {
  std::string out;
  for (char c : text)
    out += c == '|' ? std::string("\r\n") : std::string(1, c);
  return out;
}

std::string Wrap(std::string text, int16_t limit) {
  return WrapLabelText(text, limit);
}

struct Row {
  std::string text;
  int16_t limit;
  std::string expected;
};

TEST(WrapLabelText, Examples) {
  const std::vector<Row> rows = {
      {"Supercalifragilisticexpialidocious", 10, "Supercali-|fragilist-|icexpiali-|docious"},
      {"  leading blanks here and there", 8, "leading|blanks|here and|there"},
      {"  short", 7, "  short"},  // at the limit, its blanks kept
      {"exactly 10", 10, "exactly 10"},
      {"abc", 1, "-|a-|bc"},
      {"ab cd", 1, "-|ab|-|cd"},
      {"a b", 2, "a|b"},
      {"one  two", 4, "one |two"},
      {"one   two three", 5, "one  |two|three"},
      {"abcd efgh", 5, "abcd|efgh"},
      {"ab cdefghij", 5, "ab|cdef-|ghij"},
      {"S\xC3\xA3o Paulo city", 9, "S\xC3\xA3o Paulo|city"},
      {"\xC3\xA3\xC3\xA3\xC3\xA3\xC3\xA3", 3, "\xC3\xA3\xC3\xA3-|\xC3\xA3\xC3\xA3"},
      {"word   ", 4, "word|"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Wrap(row.text, row.limit), Breaks(row.expected))
        << "[" << row.text << "] at " << row.limit;
}

TEST(WrapLabelText, LimitZeroOrLessLeavesEverything) {
  for (int16_t limit : {int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
    std::string text = "a$$NEWLINEb and a long tail of words";
    EXPECT_EQ(WrapLabelText(text, limit), "a$$NEWLINEb and a long tail of words");
    EXPECT_EQ(text, "a$$NEWLINEb and a long tail of words");
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
  EXPECT_NE(Wrap(atLimit, 100), atLimit);
  std::string beyond(32768, 'x');
  EXPECT_EQ(Wrap(beyond, 100), beyond);
  std::string withToken = std::string(32768, 'x') + "$$NEWLINE";
  EXPECT_EQ(WrapLabelText(withToken, 100), std::string(32768, 'x') + "\r\n");
}

TEST(WrapLabelText, EveryLineHoldsTheLimit) {
  const std::string text =
      "The quick brown fox jumps over the lazy dog while extraordinarilylongwords wait";
  for (int16_t limit = 2; limit <= 20; ++limit) {
    const std::string wrapped = Wrap(text, limit);
    size_t start = 0;
    while (start <= wrapped.size()) {
      const size_t end = std::min(wrapped.find("\r\n", start), wrapped.size());
      EXPECT_LE(end - start, static_cast<size_t>(limit)) << wrapped << " at " << limit;
      start = end + 2;
    }
  }
}

}  // namespace
}  // namespace quillet
