#include "runtime/case.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

#include "quillet/error.h"
#include "runtime/utf8.h"

namespace quillet::runtime {
namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool IsWordSeparator(char32_t c) {
  return c == 0 || (c >= 9 && c <= 13) || c == ' ';
}

// Maps every code point; bytes that are no UTF-8 pass through (they decode outside the
// Unicode letters, so the mapping leaves them alone).
template <typename Map>
std::string MapCodePoints(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  char32_t c = 0;
  for (size_t at = 0; at < text.size();) {
    at += DecodeUtf8(text, at, c);
    AppendUtf8(out, map(c));
  }
  return out;
}

}  // namespace

std::string FoldCase(std::string_view text) {
  if (IsAscii(text)) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), AsciiLower);
    return folded;
  }
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  std::string folded;
  unicode.foldCase().toUTF8String(folded);
  return folded;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return AsciiLower(x) == AsciiLower(y);
           });
  }
  return FoldCase(a) == FoldCase(b);
}

char32_t FoldCodePoint(char32_t c) {
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

std::string UCase(std::string_view text) {
  return MapCodePoints(text,
                       [](char32_t c) { return static_cast<char32_t>(u_toupper(UChar32(c))); });
}

std::string LCase(std::string_view text) {
  return MapCodePoints(text,
                       [](char32_t c) { return static_cast<char32_t>(u_tolower(UChar32(c))); });
}

std::string ProperCase(std::string_view text) {
  bool wordStart = true;
  return MapCodePoints(text, [&wordStart](char32_t c) {
    const auto mapped =
        static_cast<char32_t>(wordStart ? u_toupper(UChar32(c)) : u_tolower(UChar32(c)));
    wordStart = IsWordSeparator(c);
    return mapped;
  });
}

}  // namespace quillet::runtime
