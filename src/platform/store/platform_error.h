#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "quillet/error.h"

namespace quillet::platform {

/// The platform error for an index outside 0..count-1, e.g. "Field index 5 is out of range
/// (3 in all)".
runtime::Error IndexOutOfRange(std::string_view what, int32_t index, int32_t count);

/// Fails with `IndexOutOfRange` unless 0 <= index < count.
inline void CheckIndex(std::string_view what, int32_t index, size_t count) {
  if (index < 0 || static_cast<size_t>(index) >= count)
    throw IndexOutOfRange(what, index, static_cast<int32_t>(count));
}

}  // namespace quillet::platform
