#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/tables/field.h"
#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet::platform {

/// A where clause of the shape a legend asks once per class, which the platform can answer
/// from rows it already holds instead of running SQL again:
///
///     [( <definition>) AND ] <term>
///
/// where the term, in any number of enclosing parentheses, is one of
///
///     <text field> = '<text>'
///     <numeric field> <= <number>
///     <numeric field> > <number> AND <numeric field> <= <number>    (the same field)
///
/// The definition may be any expression whose parentheses pair up outside quotes and that holds
/// no comment and no semicolon; SQLite evaluates it. A field is written "NAME", [NAME] or NAME
/// (not a keyword) and must be a field of the table; numbers are SQL number literals.
struct ClassClause {
  enum class Term { kEquals, kAtMost, kAboveAtMost };

  std::string definition;  ///< empty when the clause has none
  int32_t field = -1;
  Term term = Term::kEquals;
  std::string text;  ///< kEquals
  double lower = 0;  ///< kAboveAtMost
  double upper = 0;  ///< kAtMost, kAboveAtMost
};

/// The clause's parts when it has that shape over `fields`, else nothing. The numbers are read
/// by SQLite itself (`numberValue`: the literal's value, or nothing when it is not a number
/// that compares exactly as a double).
std::optional<ClassClause> ParseClassClause(
    std::string_view clause, const Fields& fields,
    const std::function<std::optional<double>(const std::string&)>& numberValue);

/// `clause` with each number of its term (the part after the definition, as above) written in
/// `locale`'s form (`0,75`, `-1,5E+20`, groups of a separator that is not ASCII between the
/// integer digits: `1 234,5` in fr-FR) written as SQL reads it (`0.75`). The definition is SQL
/// a user wrote and is left as it stands, and so is anything in quotes.
std::string WithSqlNumbers(std::string_view clause, const runtime::Locale& locale);

/// Whether the term selects a row whose field holds `value`, as SQLite would decide it; nothing
/// when the value is of a kind whose comparison this cannot repeat exactly (text in a numeric
/// field, a number beyond 2^53, bytes, a date).
std::optional<bool> TermSelects(const ClassClause& clause, const runtime::Variant& value);

}  // namespace quillet::platform
