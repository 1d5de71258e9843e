#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet {

/// What a statement means to its consumers: the statistic a field stands for, or a function
/// that transforms that value.
enum class StatementKind : uint8_t { kSummary, kFunction };

/// What follows a statement's keyword.
enum class ArgumentKind : uint8_t {
  kNone,        ///< nothing; no parentheses are read
  kNumber,      ///< `(n)`: one 32-bit integer
  kText,        ///< `(text)`: one text, taken as written
  kNumberPair,  ///< `(n,n)`: two 32-bit integers
  kTextPair,    ///< `(text,text)`: two texts, taken as written
};

/// The values a statement works on.
enum class Operand : uint8_t {
  kAnyValue,  ///< a summary of any field but geometry and blob; a function on any value
  kNumbers,   ///< a summary of numeric fields only; a function that passes other values unchanged
};

/// A formatting function's work on a value and its two arguments, in a locale. It may throw;
/// the applier then keeps the value.
using FormattingHandler = runtime::Variant (*)(const runtime::Variant& value,
                                               const runtime::Variant& argument1,
                                               const runtime::Variant& argument2,
                                               const runtime::Locale& locale);

/// One statement of the expression language: how it is written, what it takes, what it says
/// when it is written wrong, what it works on and, for a function, what it does. Parsing,
/// verification, the labelling instructions and label assembly all read this one row.
struct StatementKeyword {
  /// The keyword as matched, dot included (".FormatNumber"); matched without regard to case.
  std::string_view Keyword;
  /// Characters of `Keyword`, dot included.
  int32_t Length;
  /// The `Name` stored in a parsed statement, whatever case the expression used.
  std::string_view Name;
  StatementKind Kind;
  ArgumentKind Arguments;
  Operand Operands;
  /// A function's work; null for a summary.
  FormattingHandler Apply;
  /// The message of a malformed statement is this prefix, the field name and "] Field!".
  /// Empty for statements without arguments, which cannot be malformed.
  std::string_view MessagePrefix;
  /// The prefix used instead when no ")" follows the "(" at all.
  std::string_view UnclosedMessagePrefix;
};

/// The 25 statements in matching order: a keyword that begins with another (".FormatNumber",
/// ".Format") comes before it, so the longer one wins.
std::span<const StatementKeyword> StatementKeywords();

/// The first keyword of the table that `text` begins with, compared without regard to case;
/// nullptr when there is none (the chain of statements ends there).
const StatementKeyword* MatchStatementKeyword(std::string_view text);

/// The row whose stored `Name` equals `name` without regard to case ("NONE" has none).
const StatementKeyword* FindStatementByName(std::string_view name);

/// Whether `name` is one of the nine summary methods (".Sum", ".Average"...), by stored name.
bool IsSummaryMethod(std::string_view name);

}  // namespace quillet
