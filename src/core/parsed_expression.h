#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quillet/variant.h"

namespace quillet {

/// One dotted statement after a field reference: a summary method (`Sum`) or a formatting
/// function (`FormatNumber(0)`). `Name` is spelled as the statement vocabulary spells it;
/// arguments are "" when absent, a Long for numeric arguments, a String for text arguments.
struct FormattingStatement {
  std::string Name;
  runtime::Variant Argument1 = runtime::Variant::String("");
  runtime::Variant Argument2 = runtime::Variant::String("");

  friend bool operator==(const FormattingStatement&, const FormattingStatement&) = default;
};

/// The statements of one field reference, left to right; after a successful parse never empty
/// (a field without statements holds the one placeholder ("NONE", "", "")).
using FormattingStatements = std::vector<FormattingStatement>;

/// The name of the placeholder statement of a field reference written without statements.
inline constexpr const char* kNoStatement = "NONE";

/// What a piece of a parsed expression is.
enum class PartKind : uint8_t {
  kText,    ///< literal text
  kLegend,  ///< a pseudo-field of the legend entry: `$$VALUE` or `$$LABEL`
  kField,   ///< a field reference with its statements
};

/// One piece of a parsed label expression, in the order its text stands in the expression.
///
/// | Kind    | Value                                   | Statements        |
/// |---------|-----------------------------------------|-------------------|
/// | kText   | literal text, never empty               | empty             |
/// | kLegend | "VALUE" or "LABEL", as typed            | empty             |
/// | kField  | the field name between the brackets     | never empty       |
struct ExpressionPart {
  PartKind Kind;
  std::string Value;
  FormattingStatements Statements;

  friend bool operator==(const ExpressionPart&, const ExpressionPart&) = default;
};

/// The parsed expression.
using ExpressionParts = std::vector<ExpressionPart>;

/// The name of a part's kind as the labelling instructions print it ("TEXT", "LEGEND",
/// "FIELD").
const char* KindName(PartKind kind);

}  // namespace quillet
