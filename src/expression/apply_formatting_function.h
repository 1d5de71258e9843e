#pragma once

#include <string>

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet {

/// Applies the formatting function `pName` (compared without regard to case) to `pValue` with
/// its two arguments, in `locale`: the new value replaces `pValue`, which is returned. A name
/// that is no formatting function, or a numeric-only function on a value that is not numeric,
/// leaves the value unchanged; any failure (an allocation failure too) leaves `pValue` as it
/// came. Never throws: nothing is copied on the way out.
const runtime::Variant& ApplyFormattingFunction(runtime::Variant& pValue, const std::string& pName,
                                                const runtime::Variant& pArgument1,
                                                const runtime::Variant& pArgument2,
                                                const runtime::Locale& locale);

}  // namespace quillet
