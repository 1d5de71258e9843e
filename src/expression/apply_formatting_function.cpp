#include "expression/apply_formatting_function.h"

#include <utility>

#include "expression/statement_vocabulary.h"
#include "runtime/numeric.h"

namespace quillet {

const runtime::Variant& ApplyFormattingFunction(runtime::Variant& pValue, const std::string& pName,
                                                const runtime::Variant& pArgument1,
                                                const runtime::Variant& pArgument2,
                                                const runtime::Locale& locale) {
  try {
    const StatementKeyword* statement = FindStatementByName(pName);
    // "NONE", a summary method or any other name: nothing to apply.
    if (statement == nullptr || statement->Apply == nullptr) return pValue;
    if (statement->Operands == Operand::kNumbers && !runtime::IsNumeric(pValue, locale))
      return pValue;
    // The new value is made apart and moved in, which cannot throw: a failure anywhere before
    // leaves the caller's value whole.
    runtime::Variant result = statement->Apply(pValue, pArgument1, pArgument2, locale);
    pValue = std::move(result);
    return pValue;
  } catch (...) {
    return pValue;
  }
}

}  // namespace quillet
