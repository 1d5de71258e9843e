#include "expression/wrap_label_text.h"

#include <cstdint>
#include <string>

#include "runtime/string_functions.h"
#include "runtime/utf8.h"

namespace quillet {
namespace {

constexpr size_t kMaxLength = 32767;  // lengths are 16-bit counts
constexpr std::u32string_view kLineBreak = U"\r\n";

std::u32string Wrap(const std::u32string& text, size_t limit) {
  std::u32string output;
  size_t lineStart = 0;  // where the current line begins: after the last break inserted here
  bool atLineStart = true;
  bool lineHasBlank = false;
  size_t afterBlank = 0;  // characters since the line's last blank, the current one included
  for (const char32_t current : text) {
    const bool blank = current == U' ';
    if (blank && atLineStart) continue;
    if (blank) {
      afterBlank = 0;
      lineHasBlank = true;
    } else if (lineHasBlank) {
      ++afterBlank;
    }
    if (output.size() - lineStart + 1 <= limit) {
      output += current;
      atLineStart = false;
      continue;
    }
    if (blank) {
      // The blank itself becomes the break; blanks that follow are dropped.
      output += kLineBreak;
      lineStart = output.size();
      atLineStart = true;
    } else if (lineHasBlank) {
      // Break at the last blank: the characters after it move to the new line.
      const size_t blankAt = output.size() - afterBlank;
      const std::u32string moved = output.substr(blankAt + 1);
      output.resize(blankAt);
      output += kLineBreak;
      lineStart = output.size();
      output += moved;
      output += current;
      atLineStart = false;
    } else {
      // No blank in the line: a hyphen takes the place of its last character.
      const char32_t last = output.back();
      output.back() = U'-';
      output += kLineBreak;
      lineStart = output.size();
      output += last;
      output += current;
      atLineStart = false;
    }
    lineHasBlank = false;
    afterBlank = 0;
  }
  return output;
}

}  // namespace

std::string WrapLabelText(std::string& pText, const int16_t& pWrapLength) {
  if (pWrapLength <= 0) return pText;
  try {
    pText = runtime::Replace(pText, "$$NEWLINE", "\r\n", 1, -1, runtime::kTextCompare);
  } catch (...) {
    return pText;
  }
  try {
    const std::u32string text = runtime::ToCodePoints(pText);
    const auto limit = static_cast<size_t>(pWrapLength);
    if (text.size() > kMaxLength || text.size() <= limit) return pText;
    return runtime::FromCodePoints(Wrap(text, limit));
  } catch (...) {
    return pText;  // unwrapped, with its line breaks in place
  }
}

}  // namespace quillet
