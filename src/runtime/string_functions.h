#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::runtime {

// The runtime's string functions on UTF-8 text. Lengths and positions count characters (code
// points), never bytes, so no character is ever cut. Callers convert their arguments first
// (a fractional length rounds half to even, as `ToLong` does; a Null argument is their
// business); the invalid values below raise the runtime's errors.

/// `Left`: the first `length` characters (all of them when the text is shorter). A negative
/// length is error 5.
std::string Left(std::string_view text, int32_t length);

/// `Right`: the last `length` characters (all of them when the text is shorter). A negative
/// length is error 5.
std::string Right(std::string_view text, int32_t length);

/// `Mid`: `length` characters from the 1-based position `start`, or the rest of the text when
/// the length is omitted or runs past the end; "" when `start` lies beyond the end. A start
/// below 1 or a negative length is error 5.
std::string Mid(std::string_view text, int32_t start, std::optional<int32_t> length = {});

/// `LTrim`, `RTrim`, `Trim`: the text without its leading, trailing or both runs of blanks
/// (U+0020 only: tabs, line breaks and no-break spaces stay).
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);
std::string Trim(std::string_view text);

/// How `Replace` compares: 0 binary (exact), 1 text (letter case ignored, by Unicode case
/// folding of single characters, so "ä" finds the "Ä" of "Ärger").
enum CompareMethod : int32_t { kBinaryCompare = 0, kTextCompare = 1 };

/// `Replace(expression, find, replacement, start, count, compare)`: the text from the 1-based
/// position `start` on (the characters before it are dropped), with at most `count` (-1: all)
/// non-overlapping occurrences of `find`, searched left to right, replaced. "" when the text
/// is empty or `start` lies beyond its end; an empty `find` or a count of 0 copies the text
/// from `start`. A start below 1, a count below -1 or a compare method other than 0 and 1 is
/// error 5. A result of more than `longest` characters is error 14, raised before the text
/// grows past it.
std::string Replace(std::string_view expression, std::string_view find,
                    std::string_view replacement, int32_t start = 1, int32_t count = -1,
                    int32_t compare = kBinaryCompare, size_t longest = SIZE_MAX);

}  // namespace quillet::runtime
