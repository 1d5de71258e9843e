#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "quillet/collection.h"  // FoldCase, by which collections compare keys

namespace quillet::runtime {

/// Compares two texts without regard to letter case, by Unicode case folding (ASCII text takes
/// a fast path). Used for keywords, marker tokens and collection keys.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// The simple (one character to one character) case folding of a code point, by which
/// text comparison ignores case: 'Ä' and 'ä' fold alike.
char32_t FoldCodePoint(char32_t codePoint);

/// `UCase`: every letter in upper case by the Unicode case mapping of single characters, other
/// characters unchanged, so the text keeps its length ("São Paulo" gives "SÃO PAULO", "ß"
/// stays "ß").
std::string UCase(std::string_view text);

/// `LCase`: every letter in lower case, as `UCase` does it.
std::string LCase(std::string_view text);

/// Proper case (`StrConv(text, vbProperCase)`): the first character of every word in upper
/// case and every other one in lower case. A word starts at the beginning of the text and
/// after each NUL, tab, line feed, vertical tab, form feed, carriage return or blank, and only
/// there, so "o'brien-smith" gives "O'brien-smith".
std::string ProperCase(std::string_view text);

}  // namespace quillet::runtime
