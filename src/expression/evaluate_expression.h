#pragma once

#include <string>

#include "expression/expression_part.h"
#include "labeler/quillet_state.h"

namespace quillet {

/// Checks the bracket structure of a label expression and splits it, left to right, into
/// `state.mExpressionParts`. Removes CR LF pairs, line feeds, carriage returns and tabs from
/// the caller's string in place. Sets `mLabelsValid` to the result and leaves its message in
/// `mMessage` (a diagnostic on failure, a status text on success). Never throws.
bool EvaluateExpression(QuilletState& state, std::string& pExpression);

/// Splits literal text into Text parts and `$$VALUE`/`$$LABEL` pseudo-field parts.
ExpressionParts ParseLiteralText(std::string pText);

}  // namespace quillet
