#include "runtime/format_pattern.h"

#include <algorithm>
#include <optional>

#include "runtime/utf8.h"

namespace quillet::runtime {
namespace {

constexpr size_t kMaxSections = 4;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[at + i]) != prefix[i]) return false;
  return true;
}

// The byte length of the character at `at` (a whole UTF-8 sequence).
size_t CharLength(std::string_view text, size_t at) {
  char32_t c = 0;
  return DecodeUtf8(text, at, c);
}

// Skips a backslash escape or a quoted text starting at `at`; returns the literal text it
// stands for, or nothing when `at` starts neither.
std::optional<std::string> ReadQuoted(std::string_view text, size_t& at) {
  if (text[at] == '\\') {
    ++at;
    if (at >= text.size()) return std::string();  // a lone backslash at the end prints nothing
    const size_t length = CharLength(text, at);
    std::string literal(text.substr(at, length));
    at += length;
    return literal;
  }
  if (text[at] == '"') {
    const size_t close = text.find('"', at + 1);
    const size_t end = close == std::string_view::npos ? text.size() : close;
    std::string literal(text.substr(at + 1, end - at - 1));
    at = close == std::string_view::npos ? end : end + 1;
    return literal;
  }
  return std::nullopt;
}

std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  for (size_t at = 0; at < pattern.size();) {
    if (ReadQuoted(pattern, at)) continue;
    if (pattern[at] == ';') {
      sections.push_back(pattern.substr(start, at - start));
      start = ++at;
      continue;
    }
    ++at;
  }
  sections.push_back(pattern.substr(start));
  if (sections.size() > kMaxSections) sections.resize(kMaxSections);
  return sections;
}

// The length of a date/time token at `at` that names no other kind's character, 0 if none.
size_t DateTokenLength(std::string_view s, size_t at) {
  switch (Lower(s[at])) {
    case 'd':
    case 'm':
    case 'y':
    case 'h':
    case 'n':
    case 's':
    case 'w':
    case 'q':
    case 'c':
    case '/':
    case ':':
      return 1;
    case 't':
      return StartsWithNoCase(s, at, "ttttt") ? 5 : 0;
    case 'a':
      if (StartsWithNoCase(s, at, "am/pm")) return 5;
      if (StartsWithNoCase(s, at, "ampm") || StartsWithNoCase(s, at, "aaaa")) return 4;
      if (StartsWithNoCase(s, at, "a/p") || StartsWithNoCase(s, at, "aaa")) return 3;
      return 0;
    default:
      return 0;
  }
}

PatternKind KindOf(const std::vector<std::string_view>& sections) {
  for (std::string_view s : sections) {
    for (size_t at = 0; at < s.size();) {
      if (ReadQuoted(s, at)) continue;
      const char c = s[at];
      if (c == '0' || c == '#' || c == '.') return PatternKind::kNumber;
      if (c == '@' || c == '&' || c == '<' || c == '>' || c == '!') return PatternKind::kText;
      if (DateTokenLength(s, at) > 0) return PatternKind::kDate;
      ++at;
    }
  }
  return PatternKind::kLiterals;
}

void AddLiteral(FormatSection& section, std::string_view text) {
  if (text.empty()) return;
  if (!section.tokens.empty() && section.tokens.back().kind == TokenKind::kLiteral) {
    section.tokens.back().text += text;
  } else {
    section.tokens.push_back({TokenKind::kLiteral, std::string(text), "", 0, false});
  }
}

void Add(FormatSection& section, TokenKind kind, int32_t count = 0, bool forced = false,
         std::string text = "", std::string alternate = "") {
  section.tokens.push_back({kind, std::move(text), std::move(alternate), count, forced});
}

// Reads a literal character (a whole UTF-8 sequence) at `at`.
void AddCharacter(FormatSection& section, std::string_view s, size_t& at) {
  const size_t length = CharLength(s, at);
  AddLiteral(section, s.substr(at, length));
  at += length;
}

void ParseLiterals(std::string_view s, FormatSection& section) {
  for (size_t at = 0; at < s.size();) {
    if (auto quoted = ReadQuoted(s, at)) {
      AddLiteral(section, *quoted);
      continue;
    }
    AddCharacter(section, s, at);
  }
}

void ParseNumber(std::string_view s, FormatSection& section) {
  NumberLayout& layout = section.number;
  bool decimalSeen = false;
  int32_t firstZero = -1;
  std::vector<int32_t> commas;  // integer placeholders in front of each comma
  for (size_t at = 0; at < s.size();) {
    if (auto quoted = ReadQuoted(s, at)) {
      AddLiteral(section, *quoted);
      continue;
    }
    const char c = s[at];
    if (c == '0' || c == '#') {
      const bool forced = c == '0';
      if (layout.scientific) {
        if (forced) ++layout.exponentDigits;
        Add(section, TokenKind::kExponentDigit, 0, forced);
      } else if (decimalSeen) {
        ++layout.fractionDigits;
        if (forced) layout.forcedFractionDigits = layout.fractionDigits;
        Add(section, TokenKind::kFractionDigit, layout.fractionDigits, forced);
      } else {
        if (forced && firstZero < 0) firstZero = layout.integerDigits;
        ++layout.integerDigits;
        Add(section, TokenKind::kIntegerDigit, layout.integerDigits, forced);
      }
      ++at;
    } else if (c == '.' && !decimalSeen && !layout.scientific) {
      decimalSeen = true;
      Add(section, TokenKind::kDecimalPoint);
      ++at;
    } else if (c == ',') {
      if (!decimalSeen && !layout.scientific) commas.push_back(layout.integerDigits);
      ++at;
    } else if (c == '%') {
      layout.percent = true;
      Add(section, TokenKind::kPercent);
      ++at;
    } else if ((c == 'E' || c == 'e') && !layout.scientific && at + 1 < s.size() &&
               (s[at + 1] == '+' || s[at + 1] == '-')) {
      layout.scientific = true;
      Add(section, TokenKind::kExponent, 0, s[at + 1] == '+', std::string(1, c));
      at += 2;
    } else {
      AddCharacter(section, s, at);
    }
  }
  if (firstZero >= 0) layout.forcedIntegerDigits = layout.integerDigits - firstZero;
  for (int32_t before : commas) {
    if (before == 0) continue;  // no placeholder in front: no meaning
    if (before == layout.integerDigits) {
      ++layout.scaling;  // right before the decimal point or at the end of the digits
    } else {
      layout.grouping = true;
    }
  }
}

// Reads a run of one letter and splits it greedily into the token lengths it knows.
int32_t RunLength(std::string_view s, size_t at) {
  const char c = Lower(s[at]);
  size_t end = at;
  while (end < s.size() && Lower(s[end]) == c)
    ++end;
  return static_cast<int32_t>(end - at);
}

void AddRun(FormatSection& section, int32_t run, std::initializer_list<int32_t> lengths,
            TokenKind (*kindOf)(int32_t)) {
  while (run > 0) {
    for (int32_t length : lengths) {
      if (length <= run) {
        Add(section, kindOf(length), length);
        run -= length;
        break;
      }
    }
  }
}

TokenKind DayKind(int32_t n) {
  switch (n) {
    case 1:
    case 2:
      return TokenKind::kDay;
    case 3:
    case 4:
      return TokenKind::kDayName;
    case 5:
      return TokenKind::kShortDate;
    default:
      return TokenKind::kLongDate;
  }
}
TokenKind MonthKind(int32_t n) {
  return n <= 2 ? TokenKind::kMonth : TokenKind::kMonthName;
}
TokenKind YearKind(int32_t n) {
  return n == 1 ? TokenKind::kDayOfYear : TokenKind::kYear;
}
TokenKind HourKind(int32_t) {
  return TokenKind::kHour;
}
TokenKind MinuteKind(int32_t) {
  return TokenKind::kMinute;
}
TokenKind SecondKind(int32_t) {
  return TokenKind::kSecond;
}
TokenKind WeekKind(int32_t n) {
  return n == 1 ? TokenKind::kWeekday : TokenKind::kWeekOfYear;
}
TokenKind QuarterKind(int32_t) {
  return TokenKind::kQuarter;
}
TokenKind GeneralDateKind(int32_t) {
  return TokenKind::kGeneralDate;
}

void ParseDate(std::string_view s, FormatSection& section) {
  for (size_t at = 0; at < s.size();) {
    if (auto quoted = ReadQuoted(s, at)) {
      AddLiteral(section, *quoted);
      continue;
    }
    const size_t tokenLength = DateTokenLength(s, at);
    if (tokenLength == 0) {
      AddCharacter(section, s, at);
      continue;
    }
    const char c = Lower(s[at]);
    const int32_t run = RunLength(s, at);
    switch (c) {
      case '/':
        Add(section, TokenKind::kDateSeparator);
        ++at;
        continue;
      case ':':
        Add(section, TokenKind::kTimeSeparator);
        ++at;
        continue;
      case 't':
        Add(section, TokenKind::kLongTime);
        at += 5;
        continue;
      case 'a':
        if (tokenLength == 5) {  // AM/PM, spelt as written
          Add(section, TokenKind::kAmPm, 0, false, std::string(s.substr(at, 2)),
              std::string(s.substr(at + 3, 2)));
          section.twelveHour = true;
        } else if (tokenLength == 3 && s[at + 1] == '/') {  // A/P
          Add(section, TokenKind::kAmPm, 0, false, std::string(1, s[at]),
              std::string(1, s[at + 2]));
          section.twelveHour = true;
        } else if (StartsWithNoCase(s, at, "ampm")) {
          Add(section, TokenKind::kAmPmDesignator);
          section.twelveHour = true;
        } else {
          Add(section, TokenKind::kDayName, static_cast<int32_t>(tokenLength));
        }
        at += tokenLength;
        continue;
      case 'd':
        AddRun(section, run, {6, 5, 4, 3, 2, 1}, DayKind);
        break;
      case 'm':
        AddRun(section, run, {4, 3, 2, 1}, MonthKind);
        break;
      case 'y':
        AddRun(section, run, {4, 2, 1}, YearKind);
        break;
      case 'h':
        AddRun(section, run, {2, 1}, HourKind);
        break;
      case 'n':
        AddRun(section, run, {2, 1}, MinuteKind);
        break;
      case 's':
        AddRun(section, run, {2, 1}, SecondKind);
        break;
      case 'w':
        AddRun(section, run, {2, 1}, WeekKind);
        break;
      case 'q':
        AddRun(section, run, {1}, QuarterKind);
        break;
      default:  // 'c'
        AddRun(section, run, {1}, GeneralDateKind);
        break;
    }
    at += static_cast<size_t>(run);
  }
  // m/mm right after an hour, with only literals and separators between, is minutes.
  bool afterHour = false;
  for (FormatToken& token : section.tokens) {
    switch (token.kind) {
      case TokenKind::kLiteral:
      case TokenKind::kDateSeparator:
      case TokenKind::kTimeSeparator:
        break;
      case TokenKind::kHour:
        afterHour = true;
        break;
      case TokenKind::kMonth:
        if (afterHour) token.kind = TokenKind::kMinute;
        afterHour = false;
        break;
      default:
        afterHour = false;
        break;
    }
  }
}

void ParseText(std::string_view s, FormatSection& section) {
  for (size_t at = 0; at < s.size();) {
    if (auto quoted = ReadQuoted(s, at)) {
      AddLiteral(section, *quoted);
      continue;
    }
    switch (s[at]) {
      case '@':
      case '&':
        ++section.characters;
        Add(section, TokenKind::kCharacter, 0, s[at] == '@');
        ++at;
        break;
      case '<':
        section.lowerCase = true;
        ++at;
        break;
      case '>':
        section.upperCase = true;
        ++at;
        break;
      case '!':
        section.leftToRight = true;
        ++at;
        break;
      default:
        AddCharacter(section, s, at);
        break;
    }
  }
}

}  // namespace

FormatPattern ParseFormatPattern(std::string_view pattern) {
  const std::vector<std::string_view> raw = SplitSections(pattern);
  FormatPattern parsed;
  parsed.kind = KindOf(raw);
  for (std::string_view text : raw) {
    FormatSection section;
    section.empty = text.empty();
    switch (parsed.kind) {
      case PatternKind::kNumber:
        ParseNumber(text, section);
        break;
      case PatternKind::kDate:
        ParseDate(text, section);
        break;
      case PatternKind::kText:
        ParseText(text, section);
        break;
      case PatternKind::kLiterals:
        ParseLiterals(text, section);
        break;
    }
    parsed.sections.push_back(std::move(section));
  }
  return parsed;
}

}  // namespace quillet::runtime
