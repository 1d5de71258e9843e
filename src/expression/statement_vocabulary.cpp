#include "expression/statement_vocabulary.h"

#include <array>

#include "expression/formatting_functions.h"
#include "runtime/case.h"

namespace quillet {
namespace {

constexpr StatementKind kSummary = StatementKind::kSummary;
constexpr StatementKind kFunction = StatementKind::kFunction;
constexpr ArgumentKind kNone = ArgumentKind::kNone;
constexpr ArgumentKind kNumber = ArgumentKind::kNumber;
constexpr ArgumentKind kText = ArgumentKind::kText;
constexpr ArgumentKind kNumberPair = ArgumentKind::kNumberPair;
constexpr ArgumentKind kTextPair = ArgumentKind::kTextPair;
constexpr Operand kAny = Operand::kAnyValue;
constexpr Operand kNumbers = Operand::kNumbers;

// clang-format off
// keyword           length  name            kind       arguments     operands  function
//     message of a malformed statement; of one with no ")" when that differs
constexpr std::array<StatementKeyword, 25> kKeywords = {{
    {".Average",         8, "Average",       kSummary,  kNone,        kNumbers, nullptr, "", ""},
    {".Count",           6, "Count",         kSummary,  kNone,        kAny,     nullptr, "", ""},
    {".First",           6, "First",         kSummary,  kNone,        kAny,     nullptr, "", ""},
    {".Last",            5, "Last",          kSummary,  kNone,        kAny,     nullptr, "", ""},
    {".Maximum",         8, "Maximum",       kSummary,  kNone,        kNumbers, nullptr, "", ""},
    {".Minimum",         8, "Minimum",       kSummary,  kNone,        kNumbers, nullptr, "", ""},
    {".StdDev",          7, "StdDev",        kSummary,  kNone,        kNumbers, nullptr, "", ""},
    {".Sum",             4, "Sum",           kSummary,  kNone,        kNumbers, nullptr, "", ""},
    {".Variance",        9, "Variance",      kSummary,  kNone,        kNumbers, nullptr, "", ""},
    {".Abs",             4, "Abs",           kFunction, kNone,        kNumbers, formatting::Abs, "", ""},
    {".FormatCurrency", 15, "FormatCurrency", kFunction, kNone,        kNumbers, formatting::FormatCurrency, "", ""},
    {".FormatNumber",   13, "FormatNumber",  kFunction, kNumber,      kNumbers, formatting::FormatNumber,
     "Improper \".FormatNumber(0)\" formatting statement after [",
     "Improper \".FormatNumber(0)\" formatting statement after ["},
    {".Format",          7, "Format",        kFunction, kText,        kAny,     formatting::Format,
     "Improper \".Format(Instructions)\" formatting statement after [",
     "Improper \".Format(Instructions)\" formatting statement after ["},
    {".LCase",           6, "LCase",         kFunction, kNone,        kAny,     formatting::LCase, "", ""},
    {".Left",            5, "Left",          kFunction, kNumber,      kAny,     formatting::Left,
     "Improper \".Left(0)\" formatting statement after [",
     "Improper \".Left(0)\" formatting statement after ["},
    {".LTrim",           6, "LTrim",         kFunction, kNone,        kAny,     formatting::LTrim, "", ""},
    {".Mid",             4, "Mid",           kFunction, kNumberPair,  kAny,     formatting::Mid,
     "Improper \".Mid(0,0)\" formatting statement after [",
     "Improper \".Mid(0,0)\" formatting statement after ["},
    {".Replace",         8, "Replace",       kFunction, kTextPair,    kAny,     formatting::Replace,
     "Improper \".Replace(Search,Replace)\" formatting statement after [",
     "Improper \".Replace(Search,Replace))\" formatting statement after ["},
    {".Right",           6, "Right",         kFunction, kNumber,      kAny,     formatting::Right,
     "Improper \".Right(0)\" formatting statement after [",
     "Improper \".Right(0)\" formatting statement after ["},
    {".Round",           6, "Round",         kFunction, kNumber,      kNumbers, formatting::Round,
     "Improper \".Round(0)\" formatting statement after [",
     "Improper \".Round(0)\" formatting statement after ["},
    {".RTrim",           6, "RTrim",         kFunction, kNone,        kAny,     formatting::RTrim, "", ""},
    {".Spaces",          7, "Spaces",        kFunction, kNumber,      kAny,     formatting::Spaces,
     "Improper \".Spaces(0)\" formatting statement after [",
     "Improper \".Spaces(0)\" formatting statement after ["},
    {".TCase",           6, "TCase",         kFunction, kNone,        kAny,     formatting::TCase, "", ""},
    {".Trim",            5, "Trim",          kFunction, kNone,        kAny,     formatting::Trim, "", ""},
    {".UCase",           6, "UCase",         kFunction, kNone,        kAny,     formatting::UCase, "", ""},
}};
// clang-format on

constexpr bool RowsAreConsistent() {
  for (const StatementKeyword& row : kKeywords) {
    if (row.Length != static_cast<int32_t>(row.Keyword.size())) return false;
    if (row.Keyword.substr(1) != row.Name || row.Keyword.front() != '.') return false;
    if ((row.Arguments == kNone) != row.MessagePrefix.empty()) return false;
    if ((row.Arguments == kNone) != row.UnclosedMessagePrefix.empty()) return false;
  }
  return true;
}
static_assert(RowsAreConsistent(), "a keyword row disagrees with itself");

// A keyword must be tried before any keyword that it begins with.
constexpr bool LongerKeywordsComeFirst() {
  for (size_t i = 0; i < kKeywords.size(); ++i)
    for (size_t j = i + 1; j < kKeywords.size(); ++j)
      if (kKeywords[j].Keyword.starts_with(kKeywords[i].Keyword)) return false;
  return true;
}
static_assert(LongerKeywordsComeFirst(), "a keyword is hidden by a shorter one before it");

}  // namespace

std::span<const StatementKeyword> StatementKeywords() {
  return kKeywords;
}

const StatementKeyword* MatchStatementKeyword(std::string_view text) {
  // Every keyword begins with the dot; most chains end at a character that is no dot.
  if (text.empty() || text.front() != '.') return nullptr;
  for (const StatementKeyword& row : kKeywords) {
    if (text.size() >= row.Keyword.size() &&
        runtime::EqualsIgnoreCase(text.substr(0, row.Keyword.size()), row.Keyword))
      return &row;
  }
  return nullptr;
}

const StatementKeyword* FindStatementByName(std::string_view name) {
  for (const StatementKeyword& row : kKeywords)
    if (runtime::EqualsIgnoreCase(name, row.Name)) return &row;
  return nullptr;
}

bool IsSummaryMethod(std::string_view name) {
  const StatementKeyword* row = FindStatementByName(name);
  return row != nullptr && row->Kind == StatementKind::kSummary;
}

}  // namespace quillet
