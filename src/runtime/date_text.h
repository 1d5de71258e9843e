#pragma once

#include <string>
#include <string_view>

#include "quillet/locale.h"

namespace quillet::runtime {

/// Writes a date serial by a regional pattern in the system notation of `Locale` (`M/d/yyyy`,
/// `h:mm:ss tt`, `dddd, d. MMMM yyyy`...). Letters that are no token, and text in single
/// quotes, are copied as they stand.
std::string FormatSystemDatePattern(double serial, std::string_view pattern, const Locale& locale);

/// The ordinary text form of a date: short date, one blank, long time; a serial whose whole
/// part is 0 shows only the time, one without a time of day only the date.
std::string GeneralDateText(double serial, const Locale& locale);

}  // namespace quillet::runtime
