#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "quillet/locale.h"
#include "runtime/format_pattern.h"

namespace quillet::runtime {

// The formatters of one parsed section, one per pattern kind. `Format` picks the section.

/// Writes a number by a number (or literals) section. The value is rounded half away from zero
/// on its binary value (no more than 15 significant digits are printed; the places after them
/// are zeros). A negative value gets a "-" in front of the whole section's output when
/// `withSign` is true; the negative section of a pattern passes the magnitude without sign.
std::string FormatNumberSection(double value, const FormatSection& section, bool withSign,
                                const Locale& locale);

/// Writes a date serial by a date section. `firstDayOfWeek` (1 = Sunday ... 7) and
/// `firstWeekOfYear` (1..3) are already resolved. A serial outside the date range is error 5.
std::string FormatDateSection(double serial, const FormatSection& section, int32_t firstDayOfWeek,
                              int32_t firstWeekOfYear, const Locale& locale);

/// Writes text by a text section: the placeholders take the characters (right to left, or
/// left to right after `!`), characters left over follow at the very end, and `<` / `>` turn
/// the whole result to lower / upper case.
std::string FormatTextSection(std::string_view text, const FormatSection& section);

}  // namespace quillet::runtime
