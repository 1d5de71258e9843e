#include "platform/store/sql_text.h"

#include <charconv>

namespace quillet::platform {
namespace {

std::string Enclose(std::string_view text, char mark) {
  std::string quoted(1, mark);
  for (const char c : text) {
    quoted += c;
    if (c == mark) quoted += mark;
  }
  quoted += mark;
  return quoted;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string QuoteIdentifier(std::string_view name) {
  return Enclose(name, '"');
}

std::string QuoteText(std::string_view text) {
  return Enclose(text, '\'');
}

std::string NumberLiteral(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

bool IsNumberLiteral(std::string_view text) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  size_t digits = 0;
  while (at < text.size() && IsDigit(text[at]))
    ++at, ++digits;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && IsDigit(text[at]))
      ++at, ++digits;
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    const size_t start = at;
    while (at < text.size() && IsDigit(text[at]))
      ++at;
    if (at == start) return false;
  }
  return at == text.size();
}

}  // namespace quillet::platform
