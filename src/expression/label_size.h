#pragma once

#include <cstddef>

namespace quillet {

/// The most characters a label may hold, and so the most a formatting function may make a
/// text grow to: far beyond what any legend shows, and small enough that every expression labels
/// in bounded memory, whatever numbers it gives "Spaces" or "Replace". A function whose result
/// would be longer fails before it allocates (the value passes unchanged, as on any failure);
/// a label that would be longer is error 14, "Out of string space".
inline constexpr size_t kLongestLabel = 65536;

}  // namespace quillet
