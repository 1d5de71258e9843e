#pragma once

#include <string>
#include <vector>

#include "expression/formatting_statement.h"

namespace quillet {

/// One piece of a parsed label expression, in the order its text stands in the expression.
///
/// | Kind      | Value                                   | Statements        |
/// |-----------|-----------------------------------------|-------------------|
/// | "Text"    | literal text, never empty               | empty             |
/// | "LEGEND"  | "VALUE" or "LABEL", as typed            | empty             |
/// | "Field"   | the field name between the brackets     | never empty       |
struct ExpressionPart {
  std::string Kind;
  std::string Value;
  FormattingStatements Statements;

  friend bool operator==(const ExpressionPart&, const ExpressionPart&) = default;
};

/// The parsed expression.
using ExpressionParts = std::vector<ExpressionPart>;

}  // namespace quillet
