#include "runtime/utf8.h"

namespace quillet::runtime {
namespace {

constexpr char32_t kRawByteBase = 0xDC00;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

bool IsRawByte(char32_t c) {
  return c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF;
}

}  // namespace

size_t DecodeUtf8(std::string_view text, size_t at, char32_t& codePoint) {
  if (at >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  }
  if (length == 0 || at + length > text.size()) {
    codePoint = kRawByteBase + lead;
    return 1;
  }
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[at + i]);
    if (!IsContinuation(byte)) {
      codePoint = kRawByteBase + lead;
      return 1;
    }
    value = (value << 6) | (byte & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are not characters.
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    codePoint = kRawByteBase + lead;
    return 1;
  }
  codePoint = value;
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (IsRawByte(c)) {
    out += static_cast<char>(c - kRawByteBase);
  } else if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::u32string ToCodePoints(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  char32_t c = 0;
  for (size_t at = 0; at < text.size();) {
    at += DecodeUtf8(text, at, c);
    out += c;
  }
  return out;
}

std::string FromCodePoints(std::u32string_view codePoints) {
  std::string out;
  out.reserve(codePoints.size());
  for (char32_t c : codePoints)
    AppendUtf8(out, c);
  return out;
}

size_t CodePointCount(std::string_view text) {
  size_t count = 0;
  char32_t c = 0;
  for (size_t at = 0; at < text.size(); ++count)
    at += DecodeUtf8(text, at, c);
  return count;
}

size_t InvalidUtf8(std::string_view text) {
  char32_t c = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t length = DecodeUtf8(text, at, c);
    if (IsRawByte(c)) return at;
    at += length;
  }
  return std::string_view::npos;
}

std::string ValidUtf8(std::string_view text) {
  const size_t first = InvalidUtf8(text);
  if (first == std::string_view::npos) return std::string(text);
  std::string out(text.substr(0, first));
  char32_t c = 0;
  for (size_t at = first; at < text.size();) {
    const size_t length = DecodeUtf8(text, at, c);
    if (IsRawByte(c))
      out += "\uFFFD";
    else
      out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

size_t CodePointOffset(std::string_view text, size_t index) {
  size_t at = 0;
  char32_t c = 0;
  for (size_t i = 0; i < index && at < text.size(); ++i)
    at += DecodeUtf8(text, at, c);
  return at;
}

}  // namespace quillet::runtime
