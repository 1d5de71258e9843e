#pragma once

#include <string>
#include <string_view>

namespace quillet::platform {

// The pieces of SQL text that the platform writes itself: where clauses of renderer classes,
// the queries behind tables and joins.

/// An identifier in double quotes, inner double quotes doubled: `"POP"`, `"parcels.POP"`.
std::string QuoteIdentifier(std::string_view name);

/// A text literal in apostrophes, inner apostrophes doubled: `'O''Brien'`.
std::string QuoteText(std::string_view text);

/// The shortest text that reads back as the same double (`100`, `0.1`, `-2.5e-07`).
std::string NumberLiteral(double value);

/// Whether a text holds nothing but blanks, tabs and line breaks (an empty where clause).
bool IsBlank(std::string_view text);

/// Whether a text is a plain SQL number (optional sign, digits, optional fraction, optional
/// exponent), safe to write into SQL as it stands.
bool IsNumberLiteral(std::string_view text);

}  // namespace quillet::platform
