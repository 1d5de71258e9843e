#pragma once

#include <cstdint>
#include <string>

namespace quillet {

/// Breaks a label into lines of at most `pWrapLength` characters, at blanks where it can and
/// with a hyphen inside a word where it must. With a limit above 0, "$$NEWLINE" (any case) is
/// first replaced by CR LF, in the caller's string too. Never throws: on a failure the text
/// comes back unwrapped.
std::string WrapLabelText(std::string& pText, const int16_t& pWrapLength);

}  // namespace quillet
