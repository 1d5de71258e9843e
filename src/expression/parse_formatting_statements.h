#pragma once

#include <cstdint>
#include <string>

#include "core/parsed_expression.h"
#include "quillet/locale.h"

namespace quillet {

/// The outcome of parsing the statement chain after one field reference.
struct FormattingParseResult {
  bool Succeeded = false;
  /// The fault's message, or "Successfully created formatting statement".
  std::string Message;
  /// 1-based index of the last character the chain consumed (the "]" when it is empty).
  int32_t Position = 0;
  FormattingStatements Statements;
};

/// Reads the chain of dotted statements that follows the "]" at `pPosition` (1-based) of a
/// field reference opened at `pOpenPosition`: the statements (the placeholder "NONE" when
/// there are none), or the first fault's message. Numeric arguments are read in `locale`.
/// Never throws.
FormattingParseResult ParseFormattingStatements(const std::string& pExpression, int32_t pPosition,
                                                int32_t pOpenPosition,
                                                const runtime::Locale& locale);

}  // namespace quillet
