#include "runtime/case.h"

#include <unicode/unistr.h>

#include <algorithm>

namespace quillet::runtime {
namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

std::string FoldCase(std::string_view text) {
  if (IsAscii(text)) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), AsciiLower);
    return folded;
  }
  icu::UnicodeString unicode =
      icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  std::string folded;
  unicode.foldCase().toUTF8String(folded);
  return folded;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
  }
  return FoldCase(a) == FoldCase(b);
}

}  // namespace quillet::runtime
