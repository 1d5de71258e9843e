#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/variant.h"

namespace quillet {

/// One dotted statement after a field reference: a summary method (`Sum`) or a formatting
/// function (`FormatNumber(0)`). `Name` is spelled as the keyword table spells it; arguments
/// are "" when absent, a Long for numeric arguments, a String for text arguments.
struct FormattingStatement {
  std::string Name;
  runtime::Variant Argument1 = runtime::Variant::String("");
  runtime::Variant Argument2 = runtime::Variant::String("");

  friend bool operator==(const FormattingStatement&, const FormattingStatement&) = default;
};

/// The statements of one field reference, left to right; after a successful parse never empty
/// (a field without statements holds the one placeholder ("NONE", "", "")).
using FormattingStatements = std::vector<FormattingStatement>;

/// The outcome of parsing the statement chain after one field reference.
struct FormattingParseResult {
  bool Succeeded = false;
  std::string Message;
  /// 1-based index of the last character the chain consumed (the "]" when it is empty).
  int32_t Position = 0;
  FormattingStatements Statements;
};

}  // namespace quillet
