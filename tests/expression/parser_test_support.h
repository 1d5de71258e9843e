#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>

#include "core/parsed_expression.h"
#include "quillet/variant.h"
#include "support/printing.h"

namespace quillet {

// Readable failure output for the parser's records.
inline void PrintTo(const FormattingStatement& statement, std::ostream* out) {
  *out << "(" << statement.Name << ", ";
  PrintTo(statement.Argument1, out);
  *out << ", ";
  PrintTo(statement.Argument2, out);
  *out << ")";
}

inline void PrintTo(const ExpressionPart& part, std::ostream* out) {
  *out << KindName(part.Kind) << " \"" << part.Value << "\"";
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
  return {PartKind::kText, std::move(value), {}};
}
inline ExpressionPart Legend(std::string value) {
  return {PartKind::kLegend, std::move(value), {}};
}
inline ExpressionPart Field(std::string name, FormattingStatements statements) {
  return {PartKind::kField, std::move(name), std::move(statements)};
}
inline ExpressionPart Field(std::string name) {
  return Field(std::move(name), {Statement("NONE")});
}

}  // namespace test
}  // namespace quillet
