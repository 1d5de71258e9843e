#include "qgis/subset_string.h"

#include <algorithm>
#include <cctype>

#include "platform/store/sql_text.h"
#include "runtime/case.h"

namespace quillet::qgis {
namespace {

bool IsNameStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool IsNamePart(char c) {
  return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$';
}

// The end of the text quoted by `quote` that starts at `at`, a doubled quote standing for one.
size_t QuotedEnd(std::string_view text, size_t at, char quote) {
  for (size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] != quote) continue;
    if (i + 1 < text.size() && text[i + 1] == quote) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return text.size();
}

char NextVisible(std::string_view text, size_t at) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
    ++at;
  return at < text.size() ? text[at] : '\0';
}

char LastVisible(const std::string& text) {
  for (auto c = text.rbegin(); c != text.rend(); ++c)
    if (!std::isspace(static_cast<unsigned char>(*c))) return *c;
  return '\0';
}

}  // namespace

std::string UnquotedName(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::string(text);
  std::string name;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '"' && text[i + 1] == '"') ++i;
    name += text[i];
  }
  return name;
}

std::string QualifyOwnFields(std::string_view filter, std::string_view table,
                             const std::vector<std::string>& ownFields) {
  const auto isOwn = [&](const std::string& name) {
    return std::any_of(ownFields.begin(), ownFields.end(), [&](const std::string& field) {
      return runtime::EqualsIgnoreCase(field, name);
    });
  };
  std::string result;
  for (size_t at = 0; at < filter.size();) {
    const char c = filter[at];
    size_t end = at + 1;
    if (c == '\'') {
      end = QuotedEnd(filter, at, '\'');
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      // A number, exponent and all (1e-5), is never a name.
      while (end < filter.size() && (IsNamePart(filter[end]) || filter[end] == '.' ||
                                     ((filter[end] == '-' || filter[end] == '+') &&
                                      (filter[end - 1] == 'e' || filter[end - 1] == 'E'))))
        ++end;
    } else if (c == '"' || IsNameStart(c)) {
      const bool quoted = c == '"';
      if (quoted) {
        end = QuotedEnd(filter, at, '"');
      } else {
        while (end < filter.size() && IsNamePart(filter[end]))
          ++end;
      }
      const std::string_view token = filter.substr(at, end - at);
      const std::string name = UnquotedName(token);
      const char next = NextVisible(filter, end);
      const bool qualified = LastVisible(result) == '.' || next == '.';
      const bool function = !quoted && next == '(';
      if (!qualified && !function && isOwn(name)) result += platform::QuoteIdentifier(table) + ".";
    }
    result += filter.substr(at, end - at);
    at = end;
  }
  return result;
}

}  // namespace quillet::qgis
