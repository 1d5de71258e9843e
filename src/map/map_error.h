#pragma once

#include <cstdint>
#include <string>

#include "quillet/error.h"

namespace quillet::map {

/// The error number of a map document that cannot be read, used or saved.
inline constexpr int32_t kMapError = 1100;

/// An error about a map document, in one line that says where and what:
/// "maps/world.json: /layers/0/renderer/kind: unknown renderer kind "pie" (...)". `where` is a
/// JSON pointer into the document, or "" when the error concerns the file as a whole.
runtime::Error MapError(const std::string& file, const std::string& where, const std::string& what);

}  // namespace quillet::map
