#include "platform/search/class_clause.h"

#include <sqlite3.h>

#include <cmath>
#include <vector>

namespace quillet::platform {
namespace {

constexpr double kExactLimit = 9007199254740992.0;  // 2^53

bool IsBlankChar(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// The end of the quoted token that starts at `at` ('...', "...", [...], `...`), or npos.
size_t SkipQuoted(std::string_view text, size_t at) {
  const char open = text[at];
  const char close = open == '[' ? ']' : open;
  for (size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] != close) continue;
    if (close != ']' && i + 1 < text.size() && text[i + 1] == close) {
      ++i;  // a doubled quote stands for itself
      continue;
    }
    return i + 1;
  }
  return std::string_view::npos;
}

bool IsQuote(char c) {
  return c == '\'' || c == '"' || c == '[' || c == '`';
}

// The position after the parenthesis that closes the one at `open`, or npos when they do not
// pair up, or a comment or a semicolon comes first.
size_t SkipParenthesized(std::string_view text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size();) {
    const char c = text[i];
    if (IsQuote(c)) {
      i = SkipQuoted(text, i);
      if (i == std::string_view::npos) return i;
      continue;
    }
    if (c == ';') return std::string_view::npos;
    if ((c == '-' || c == '/') && i + 1 < text.size() && text[i + 1] == (c == '-' ? '-' : '*'))
      return std::string_view::npos;
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return i + 1;
    ++i;
  }
  return std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back()))
    text.remove_suffix(1);
  return text;
}

struct Token {
  enum Kind { kName, kText, kNumber, kEquals, kAtMost, kAbove, kAnd, kOpen, kClose } kind;
  std::string value;
};

std::string Unquote(std::string_view quoted) {
  const char close = quoted.back();
  std::string value;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    value += quoted[i];
    if (close != ']' && quoted[i] == close) ++i;
  }
  return value;
}

std::optional<std::vector<Token>> Tokenize(std::string_view text) {
  std::vector<Token> tokens;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (IsBlankChar(c)) {
      ++i;
    } else if (IsQuote(c)) {
      const size_t end = SkipQuoted(text, i);
      if (end == std::string_view::npos) return std::nullopt;
      tokens.push_back({c == '\'' ? Token::kText : Token::kName, Unquote(text.substr(i, end - i))});
      i = end;
    } else if (c == '(' || c == ')') {
      tokens.push_back({c == '(' ? Token::kOpen : Token::kClose, ""});
      ++i;
    } else if (c == '=') {
      tokens.push_back({Token::kEquals, ""});
      i += i + 1 < text.size() && text[i + 1] == '=' ? 2 : 1;
    } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '=') {
      tokens.push_back({Token::kAtMost, ""});
      i += 2;
    } else if (c == '>' && !(i + 1 < text.size() && text[i + 1] == '=')) {
      tokens.push_back({Token::kAbove, ""});
      ++i;
    } else if (c == '-' || c == '.' || (c >= '0' && c <= '9')) {
      size_t end = i + 1;
      while (end < text.size() && (IsWordChar(text[end]) || text[end] == '.' ||
                                   ((text[end] == '+' || text[end] == '-') &&
                                    (text[end - 1] == 'e' || text[end - 1] == 'E'))))
        ++end;
      tokens.push_back({Token::kNumber, std::string(text.substr(i, end - i))});
      i = end;
    } else if (IsWordChar(c)) {
      size_t end = i;
      while (end < text.size() && IsWordChar(text[end]))
        ++end;
      const std::string word(text.substr(i, end - i));
      if (EqualsAscii(word, "AND")) {
        tokens.push_back({Token::kAnd, ""});
      } else {
        // A bare keyword is no column name.
        if (sqlite3_keyword_check(word.data(), static_cast<int>(word.size()))) return std::nullopt;
        tokens.push_back({Token::kName, word});
      }
      i = end;
    } else {
      return std::nullopt;
    }
  }
  return tokens;
}

int32_t FindField(const Fields& fields, const std::string& name) {
  const auto& definitions = fields.Definitions();
  for (size_t i = 0; i < definitions.size(); ++i)
    if (EqualsAscii(definitions[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

bool IsComparableNumberField(int32_t type) {
  // Singles read back rounded to float, dates as serials of their text: both compare
  // differently in SQLite.
  return type == gis::kFieldSmallInteger || type == gis::kFieldInteger ||
         type == gis::kFieldDouble || type == gis::kFieldObjectId;
}

// The term, with any enclosing parentheses taken off.
// The tokens without the parentheses that enclose them all.
std::vector<Token> Unenclosed(std::vector<Token> tokens) {
  while (tokens.size() >= 2 && tokens.front().kind == Token::kOpen &&
         tokens.back().kind == Token::kClose) {
    int depth = 0;
    bool enclosesAll = true;
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
      depth += tokens[i].kind == Token::kOpen ? 1 : tokens[i].kind == Token::kClose ? -1 : 0;
      if (depth == 0) enclosesAll = false;
    }
    if (!enclosesAll) break;
    tokens = std::vector<Token>(tokens.begin() + 1, tokens.end() - 1);
  }
  return tokens;
}

// Whether the tokens are a class's range: F <= N, or F > N AND F <= N.
bool IsRange(const std::vector<Token>& tokens) {
  const auto kinds = [&](std::initializer_list<Token::Kind> expected) {
    if (tokens.size() != expected.size()) return false;
    size_t i = 0;
    for (const Token::Kind kind : expected)
      if (tokens[i++].kind != kind) return false;
    return true;
  };
  using K = Token::Kind;
  return kinds({K::kName, K::kAtMost, K::kNumber}) ||
         kinds({K::kName, K::kAbove, K::kNumber, K::kAnd, K::kName, K::kAtMost, K::kNumber});
}

std::optional<ClassClause> ParseTerm(
    std::vector<Token> tokens, const Fields& fields,
    const std::function<std::optional<double>(const std::string&)>& numberValue) {
  tokens = Unenclosed(std::move(tokens));
  auto is = [&](size_t i, Token::Kind kind) { return i < tokens.size() && tokens[i].kind == kind; };
  if (!is(0, Token::kName)) return std::nullopt;
  ClassClause clause;
  clause.field = FindField(fields, tokens[0].value);
  if (clause.field < 0) return std::nullopt;
  const int32_t type = fields.Definitions()[static_cast<size_t>(clause.field)].type;
  auto number = [&](size_t i) -> std::optional<double> {
    if (!is(i, Token::kNumber)) return std::nullopt;
    return numberValue(tokens[i].value);
  };

  if (tokens.size() == 3 && is(1, Token::kEquals) && is(2, Token::kText) &&
      type == gis::kFieldString) {
    clause.term = ClassClause::Term::kEquals;
    clause.text = tokens[2].value;
    return clause;
  }
  if (!IsComparableNumberField(type)) return std::nullopt;
  if (tokens.size() == 3 && is(1, Token::kAtMost)) {
    const auto upper = number(2);
    if (!upper) return std::nullopt;
    clause.term = ClassClause::Term::kAtMost;
    clause.upper = *upper;
    return clause;
  }
  if (tokens.size() == 7 && is(1, Token::kAbove) && is(3, Token::kAnd) && is(4, Token::kName) &&
      FindField(fields, tokens[4].value) == clause.field && is(5, Token::kAtMost)) {
    const auto lower = number(2);
    const auto upper = number(6);
    if (!lower || !upper) return std::nullopt;
    clause.term = ClassClause::Term::kAboveAtMost;
    clause.lower = *lower;
    clause.upper = *upper;
    return clause;
  }
  return std::nullopt;
}

// Where the term of a trimmed clause begins: after "( <definition>) AND", else at 0; npos
// when the parentheses of a definition do not pair up.
size_t TermStart(std::string_view clause) {
  if (clause.empty() || clause.front() != '(') return 0;
  const size_t end = SkipParenthesized(clause, 0);
  if (end == std::string_view::npos) return end;
  size_t at = end;
  while (at < clause.size() && IsBlankChar(clause[at]))
    ++at;
  const std::string_view rest = clause.substr(at);
  if (rest.size() > 4 && EqualsAscii(rest.substr(0, 3), "AND") && !IsWordChar(rest[3]))
    return at + 3;
  return 0;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The length of the number in `locale`'s form that `text` starts with, and its SQL form; 0
// when it starts with none.
size_t LocaleNumber(std::string_view text, const runtime::Locale& locale, std::string& sql) {
  const auto starts = [&](size_t at, const std::string& mark) {
    return !mark.empty() && text.substr(at).rfind(mark, 0) == 0;
  };
  // A group separator of SQL's own characters (the point of de-DE) cannot be told from SQL.
  const bool groups = !locale.groupSeparator.empty() &&
                      static_cast<unsigned char>(locale.groupSeparator[0]) >= 0x80;
  size_t at = 0;
  sql.clear();
  if (at < text.size() && text[at] == '-') sql += text[at++];
  if (at >= text.size() || !IsDigit(text[at])) return 0;
  while (at < text.size()) {
    if (IsDigit(text[at])) {
      sql += text[at++];
    } else if (groups && starts(at, locale.groupSeparator) &&
               at + locale.groupSeparator.size() < text.size() &&
               IsDigit(text[at + locale.groupSeparator.size()])) {
      at += locale.groupSeparator.size();
    } else {
      break;
    }
  }
  if (starts(at, locale.decimalSeparator) && at + locale.decimalSeparator.size() < text.size() &&
      IsDigit(text[at + locale.decimalSeparator.size()])) {
    sql += '.';
    at += locale.decimalSeparator.size();
    while (at < text.size() && IsDigit(text[at]))
      sql += text[at++];
  }
  if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
    size_t end = at + 1;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
    if (end < text.size() && IsDigit(text[end])) {
      while (end < text.size() && IsDigit(text[end]))
        ++end;
      sql += text.substr(at, end - at);
      at = end;
    }
  }
  return at;
}

}  // namespace

std::string WithSqlNumbers(std::string_view clause, const runtime::Locale& locale) {
  const std::string_view trimmed = Trim(clause);
  const size_t start = TermStart(trimmed);
  if (trimmed.empty() || start == std::string_view::npos) return std::string(clause);
  // Offsets of the trimmed clause in the whole.
  const size_t lead = static_cast<size_t>(trimmed.data() - clause.data());
  std::string term;
  std::string sql;
  for (size_t i = lead + start; i < clause.size();) {
    const char c = clause[i];
    if (IsQuote(c)) {
      const size_t end = SkipQuoted(clause, i);
      if (end == std::string_view::npos) return std::string(clause);
      term.append(clause.substr(i, end - i));
      i = end;
      continue;
    }
    // A number stands after a blank, a parenthesis or an operator, never inside a name.
    const bool apart = i == 0 || !(IsWordChar(clause[i - 1]) || clause[i - 1] == '.' ||
                                   static_cast<unsigned char>(clause[i - 1]) >= 0x80);
    const size_t length = apart ? LocaleNumber(clause.substr(i), locale, sql) : 0;
    const size_t end = i + length;
    if (length > 0 && (end == clause.size() || !(IsWordChar(clause[end]) || clause[end] == '.'))) {
      term += sql;
      i = end;
    } else {
      term += c;
      ++i;
    }
  }
  // Only a class's range is read so: anything else may be SQL of the user's, where a comma
  // between digits separates arguments.
  const auto tokens = Tokenize(term);
  if (!tokens || !IsRange(Unenclosed(*tokens))) return std::string(clause);
  return std::string(clause.substr(0, lead + start)) + term;
}

std::optional<ClassClause> ParseClassClause(
    std::string_view clause, const Fields& fields,
    const std::function<std::optional<double>(const std::string&)>& numberValue) {
  clause = Trim(clause);
  std::string definition;
  std::string_view term = clause;
  const size_t start = TermStart(clause);
  if (start == std::string_view::npos) return std::nullopt;
  if (start > 0) {
    const size_t end = SkipParenthesized(clause, 0);
    definition = std::string(Trim(clause.substr(1, end - 2)));
    term = clause.substr(start);
  }
  // The term's text, too, must hold no comment or second statement.
  for (size_t i = 0; i + 1 < term.size(); ++i)
    if ((term[i] == '-' && term[i + 1] == '-') || (term[i] == '/' && term[i + 1] == '*'))
      return std::nullopt;
  auto tokens = Tokenize(term);
  if (!tokens) return std::nullopt;
  auto parsed = ParseTerm(std::move(*tokens), fields, numberValue);
  if (parsed) parsed->definition = std::move(definition);
  return parsed;
}

std::optional<bool> TermSelects(const ClassClause& clause, const runtime::Variant& value) {
  if (value.IsNull()) return false;
  if (clause.term == ClassClause::Term::kEquals) {
    if (!value.IsString()) return std::nullopt;
    return value.AsString() == clause.text;
  }
  if (!value.IsNumber() || value.Kind() == runtime::VariantKind::kSingle) return std::nullopt;
  const double number = value.NumericValue();
  if (!(std::fabs(number) < kExactLimit)) return std::nullopt;
  if (clause.term == ClassClause::Term::kAtMost) return number <= clause.upper;
  return number > clause.lower && number <= clause.upper;
}

}  // namespace quillet::platform
