#pragma once

#include <cstdint>

namespace quillet::runtime {

/// The 16-bit Boolean of the component's public boundary: true is -1 (all bits set), false is
/// 0, and any non-zero value handed in by a caller counts as true. Inside Quillet plain `bool`
/// is used; these helpers convert at the boundary.
using ComBool = int16_t;

inline constexpr ComBool kComTrue = -1;
inline constexpr ComBool kComFalse = 0;

/// -1 for true, 0 for false.
constexpr ComBool ToComBool(bool value) {
  return value ? kComTrue : kComFalse;
}
/// Any non-zero value is true.
constexpr bool FromComBool(ComBool value) {
  return value != 0;
}

}  // namespace quillet::runtime
