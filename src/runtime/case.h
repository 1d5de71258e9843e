#pragma once

#include <string>
#include <string_view>

namespace quillet::runtime {

/// Unicode case folding of UTF-8 text, so that "Ärger", "ärger" and "ÄRGER" fold alike.
std::string FoldCase(std::string_view text);

/// Compares two texts without regard to letter case, by Unicode case folding (ASCII text takes
/// a fast path). Used for keywords, marker tokens and collection keys.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace quillet::runtime
