#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/store/cell.h"
#include "platform/store/sqlite_connection.h"
#include "quillet/variant.h"

namespace quillet::platform {

// How values live in the store and how they come back as runtime values. docs/platform.md
// gives the user's view of the same rules.

/// The text a date is stored as: `YYYY-MM-DD`, or `YYYY-MM-DD HH:MM:SS` when it has a time of
/// day (to the second). Text sorts like the dates, so `D >= '1990-01-01'` works in SQL.
std::string FormatStoredDate(double serial);

/// Reads `YYYY-MM-DD`, optionally followed by `T` or a blank and `HH:MM`, `HH:MM:SS` or
/// `HH:MM:SS.fff` (the fraction dropped), and optionally a zone (`Z`, `+hh:mm`, `-hh:mm`,
/// ignored), into a date serial. Nothing when the text is no such date (or no such day, as
/// 2021-02-30).
std::optional<double> ParseStoredDate(std::string_view text);

/// A 64-bit integer as a runtime value: a Long when it fits in 32 bits, else a Double (exact
/// up to 2^53), so a large count or id never wraps around.
runtime::Variant WholeNumberValue(int64_t value);

/// The value of a column of the statement's current row, read as a field of type
/// `fieldType` (`gis::FieldType`).
runtime::Variant ReadStoredValue(const SqliteStatement& statement, int column, int32_t fieldType);

/// Binds a cell as the value of a field of type `fieldType`: dates (and text that reads as a
/// date, in a date field) become the stored date text, bytes a blob, null NULL.
void BindStoredValue(SqliteStatement& statement, int parameter, const Cell& cell,
                     int32_t fieldType);

}  // namespace quillet::platform
