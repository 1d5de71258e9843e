#pragma once

#include <string>

#include "core/parsed_expression.h"
#include "quillet/locale.h"

namespace quillet {

/// The outcome of parsing a whole label expression.
struct ExpressionParse {
  bool Succeeded = false;
  /// A diagnostic on failure; on success "Expression is Valid but contains no fields!" or the
  /// message of the last statement chain read.
  std::string Message;
  ExpressionParts Parts;
};

/// Checks the bracket structure of a label expression and splits it, left to right, into
/// parts. Removes CR LF pairs, line feeds, carriage returns and tabs from the caller's string
/// in place. Numeric arguments are read in `locale`. Never throws.
ExpressionParse EvaluateExpression(std::string& pExpression, const runtime::Locale& locale);

/// Splits literal text into Text parts and `$$VALUE`/`$$LABEL` pseudo-field parts.
ExpressionParts ParseLiteralText(std::string pText);

}  // namespace quillet
