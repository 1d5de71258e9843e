#pragma once

#include <cstdint>
#include <string>

#include "expression/formatting_statement.h"
#include "labeler/quillet_state.h"

namespace quillet {

/// Reads the chain of dotted statements that follows the "]" at `pPosition` (1-based) of a
/// field reference opened at `pOpenPosition`. Returns the statements, or the first fault's
/// message; `pPosition` ends on the last character consumed. Writes `mMessage` and
/// `mLabelsValid`. Never throws.
FormattingParseResult ParseFormattingStatements(QuilletState& state, const std::string& pExpression,
                                                int32_t& pPosition, int32_t pOpenPosition);

}  // namespace quillet
