#include "runtime/string_functions.h"

#include "quillet/error.h"
#include "runtime/case.h"
#include "runtime/utf8.h"

namespace quillet::runtime {

std::string Left(std::string_view text, int32_t length) {
  if (length < 0) throw Error::InvalidProcedureCall();
  return std::string(text.substr(0, CodePointOffset(text, static_cast<size_t>(length))));
}

std::string Right(std::string_view text, int32_t length) {
  if (length < 0) throw Error::InvalidProcedureCall();
  const size_t count = CodePointCount(text);
  if (static_cast<size_t>(length) >= count) return std::string(text);
  return std::string(text.substr(CodePointOffset(text, count - static_cast<size_t>(length))));
}

std::string Mid(std::string_view text, int32_t start, std::optional<int32_t> length) {
  if (start < 1 || (length && *length < 0)) throw Error::InvalidProcedureCall();
  const size_t from = CodePointOffset(text, static_cast<size_t>(start) - 1);
  const std::string_view rest = text.substr(from);
  if (!length) return std::string(rest);
  return std::string(rest.substr(0, CodePointOffset(rest, static_cast<size_t>(*length))));
}

std::string LTrim(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? "" : std::string(text.substr(first));
}

std::string RTrim(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? "" : std::string(text.substr(0, last + 1));
}

std::string Trim(std::string_view text) {
  return LTrim(RTrim(text));
}

std::string Replace(std::string_view expression, std::string_view find,
                    std::string_view replacement, int32_t start, int32_t count, int32_t compare,
                    size_t longest) {
  if (start < 1 || count < -1 || (compare != kBinaryCompare && compare != kTextCompare))
    throw Error::InvalidProcedureCall();
  const std::string_view rest = expression.substr(CodePointOffset(expression, start - 1));
  if (rest.empty() || find.empty() || count == 0) return std::string(rest);

  std::u32string text = ToCodePoints(rest);
  std::u32string pattern = ToCodePoints(find);
  const std::u32string original = text;
  if (compare == kTextCompare) {
    for (char32_t& c : text)
      c = FoldCodePoint(c);
    for (char32_t& c : pattern)
      c = FoldCodePoint(c);
  }
  std::u32string result;
  const std::u32string with = ToCodePoints(replacement);
  size_t at = 0;
  for (int32_t done = 0; count < 0 || done < count; ++done) {
    const size_t found = text.find(pattern, at);
    if (found == std::u32string::npos) break;
    if (result.size() + (found - at) + with.size() > longest) throw Error::OutOfStringSpace();
    result.append(original, at, found - at);
    result += with;
    at = found + pattern.size();
  }
  if (result.size() + (original.size() - at) > longest) throw Error::OutOfStringSpace();
  result.append(original, at, std::u32string::npos);
  return FromCodePoints(result);
}

}  // namespace quillet::runtime
