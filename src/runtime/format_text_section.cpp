#include <string>

#include "runtime/case.h"
#include "runtime/format_sections.h"
#include "runtime/utf8.h"

namespace quillet::runtime {

std::string FormatTextSection(std::string_view text, const FormatSection& section) {
  const std::u32string characters = ToCodePoints(text);
  const auto length = static_cast<int32_t>(characters.size());
  const int32_t placeholders = section.characters;
  // Short text leaves the first placeholders empty (right-to-left fill) or the last ones (`!`).
  const int32_t emptyBefore =
      length < placeholders && !section.leftToRight ? placeholders - length : 0;

  std::u32string out;
  int32_t placeholder = 0;
  for (const FormatToken& token : section.tokens) {
    if (token.kind == TokenKind::kLiteral) {
      out += ToCodePoints(token.text);
      continue;
    }
    if (token.kind != TokenKind::kCharacter) continue;
    const int32_t taken = placeholder++ - emptyBefore;
    if (taken >= 0 && taken < length) {
      out += characters[static_cast<size_t>(taken)];
    } else if (token.forced) {
      out += U' ';
    }
  }
  // Characters beyond the placeholders follow at the very end.
  if (length > placeholders) out.append(characters, static_cast<size_t>(placeholders));

  const std::string result = FromCodePoints(out);
  if (section.lowerCase) return LCase(result);
  if (section.upperCase) return UCase(result);
  return result;
}

}  // namespace quillet::runtime
