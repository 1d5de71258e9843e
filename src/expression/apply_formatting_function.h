#pragma once

#include <string>

#include "runtime/variant.h"

namespace quillet {

/// Applies the formatting function `pName` (compared without regard to case) to `pValue` with
/// its two arguments, in the current locale, and returns the new value, which also replaces
/// `pValue`. A name that is no formatting function, or a numeric-only function on a value that
/// is not numeric, leaves the value unchanged; any failure gives back the value as it came.
/// Never throws.
runtime::Variant ApplyFormattingFunction(runtime::Variant& pValue, const std::string& pName,
                                         const runtime::Variant& pArgument1,
                                         const runtime::Variant& pArgument2);

}  // namespace quillet
