#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::runtime {

/// Reads the code point that starts at byte `at` of UTF-8 text and returns its length in bytes
/// (at least 1, 0 only at the end). A byte that starts no valid sequence counts as one
/// character of its own: `codePoint` then holds 0xDC00 + the byte, which `AppendUtf8` writes
/// back as that byte, so text that is not valid UTF-8 passes through unchanged.
size_t DecodeUtf8(std::string_view text, size_t at, char32_t& codePoint);

/// Appends a code point as UTF-8 (0xDC80..0xDCFF: the raw byte that `DecodeUtf8` stood for).
void AppendUtf8(std::string& out, char32_t codePoint);

/// The text as code points (see `DecodeUtf8` for bytes that are not UTF-8).
std::u32string ToCodePoints(std::string_view text);
/// Code points back to UTF-8.
std::string FromCodePoints(std::u32string_view codePoints);

/// The number of characters (code points) of UTF-8 text.
size_t CodePointCount(std::string_view text);

/// The offset of the first byte that belongs to no well-formed UTF-8 character (overlong forms,
/// surrogates and values above U+10FFFF are not), or npos when the text is valid UTF-8.
size_t InvalidUtf8(std::string_view text);
/// The text with every byte that belongs to no UTF-8 character replaced by U+FFFD, so that a
/// file that must be UTF-8 can hold it.
std::string ValidUtf8(std::string_view text);

/// The byte offset at which the code point with 0-based index `index` starts; the text's size
/// when the text has no more than `index` code points.
size_t CodePointOffset(std::string_view text, size_t index);

}  // namespace quillet::runtime
