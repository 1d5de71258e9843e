#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "expression/expression_part.h"
#include "expression/formatting_statement.h"
#include "labeler/quillet_state.h"
#include "runtime/variant.h"

namespace quillet {

// Readable failure output for the parser's records.
inline void PrintTo(const runtime::Variant& value, std::ostream* out) {
  if (value.IsString())
    *out << '"' << value.AsString() << '"';
  else if (value.Kind() == runtime::VariantKind::kLong)
    *out << value.AsLong() << " (Long)";
  else
    *out << "<" << runtime::KindName(value.Kind()) << ">";
}

inline void PrintTo(const FormattingStatement& statement, std::ostream* out) {
  *out << "(" << statement.Name << ", ";
  PrintTo(statement.Argument1, out);
  *out << ", ";
  PrintTo(statement.Argument2, out);
  *out << ")";
}

inline void PrintTo(const ExpressionPart& part, std::ostream* out) {
  *out << part.Kind << " \"" << part.Value << "\"";
  for (const FormattingStatement& statement : part.Statements) {
    *out << " ";
    PrintTo(statement, out);
  }
}

namespace test {

// Statement records as the parser stores them: no arguments, numbers, or texts.
inline FormattingStatement Statement(std::string name) {
  return {std::move(name)};
}
inline FormattingStatement Statement(std::string name, int32_t first) {
  return {std::move(name), runtime::Variant::Long(first)};
}
inline FormattingStatement Statement(std::string name, int32_t first, int32_t second) {
  return {std::move(name), runtime::Variant::Long(first), runtime::Variant::Long(second)};
}
inline FormattingStatement Statement(std::string name, std::string first, std::string second = "") {
  return {std::move(name), runtime::Variant::String(std::move(first)),
          runtime::Variant::String(std::move(second))};
}

inline ExpressionPart Text(std::string value) {
  return {"Text", std::move(value), {}};
}
inline ExpressionPart Legend(std::string value) {
  return {"LEGEND", std::move(value), {}};
}
inline ExpressionPart Field(std::string name, FormattingStatements statements) {
  return {"Field", std::move(name), std::move(statements)};
}
inline ExpressionPart Field(std::string name) {
  return Field(std::move(name), {Statement("NONE")});
}

// The one check of a failure: the routine said no, the object is marked invalid, and its
// message is exactly `expected`.
inline ::testing::AssertionResult FailedWith(bool succeeded, const QuilletState& state,
                                             std::string_view expected) {
  if (succeeded)
    return ::testing::AssertionFailure() << "succeeded, expected \"" << expected << '"';
  if (state.mLabelsValid) return ::testing::AssertionFailure() << "mLabelsValid stayed true";
  if (state.mMessage != expected)
    return ::testing::AssertionFailure()
           << "mMessage is\n  \"" << state.mMessage << "\"\nexpected\n  \"" << expected << '"';
  return ::testing::AssertionSuccess();
}

}  // namespace test
}  // namespace quillet
