#pragma once

// The text services in the classic en-US profile, which most runtime tests read; a test of
// another locale passes it.

#include <cstdint>
#include <string>
#include <string_view>

#include "quillet/locale.h"
#include "quillet/variant.h"
#include "runtime/format.h"
#include "runtime/math_functions.h"
#include "runtime/numeric.h"
#include "runtime/text_form.h"

namespace quillet::runtime {

inline std::string ToText(const Variant& value) {
  return ToText(value, Locale::EnUs());
}
inline int32_t ToLong(const Variant& value) {
  return ToLong(value, Locale::EnUs());
}
inline Variant Abs(const Variant& value) {
  return Abs(value, Locale::EnUs());
}
inline Variant Round(const Variant& value, int32_t digits = 0) {
  return Round(value, digits, Locale::EnUs());
}
inline Variant Format(const Variant& value, std::string_view pattern = "",
                      int32_t firstDayOfWeek = 1, int32_t firstWeekOfYear = 1) {
  return Format(value, pattern, firstDayOfWeek, firstWeekOfYear, Locale::EnUs());
}

}  // namespace quillet::runtime
