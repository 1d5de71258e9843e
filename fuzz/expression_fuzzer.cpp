// Runs the whole expression parse on arbitrary bytes and aborts when a result breaks what the
// label makers rely on. Crashes, leaks, undefined behaviour and hangs are libFuzzer's to catch.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "expression/evaluate_expression.h"
#include "expression/statement_vocabulary.h"
#include "fuzz_check.h"
#include "quillet/variant.h"
#include "runtime/case.h"

namespace {

using quillet::ArgumentKind;
using quillet::ExpressionPart;
using quillet::FormattingStatement;
using quillet::StatementKeyword;

bool StartsAt(std::string_view text, size_t at, std::string_view piece) {
  return at <= text.size() && text.substr(at, piece.size()) == piece;
}

// Walks one statement record over the expression from `cursor`, which must stand on its
// keyword; moves `cursor` past the statement.
void WalkStatement(std::string_view expression, size_t& cursor,
                   const FormattingStatement& statement) {
  const StatementKeyword* row = quillet::FindStatementByName(statement.Name);
  CHECK(row != nullptr);
  CHECK(statement.Name == row->Name);
  CHECK(quillet::runtime::EqualsIgnoreCase(expression.substr(cursor, row->Keyword.size()),
                                           row->Keyword));
  cursor += row->Keyword.size();
  const auto& first = statement.Argument1;
  const auto& second = statement.Argument2;
  if (row->Arguments == ArgumentKind::kNone) {
    CHECK(first.IsString() && first.AsString().empty());
    CHECK(second.IsString() && second.AsString().empty());
    return;
  }
  CHECK(StartsAt(expression, cursor, "("));
  const size_t close = expression.find(')', cursor);
  CHECK(close != std::string_view::npos);
  switch (row->Arguments) {
    case ArgumentKind::kNumber:
      CHECK(first.Kind() == quillet::runtime::VariantKind::kLong);
      CHECK(second.IsString() && second.AsString().empty());
      break;
    case ArgumentKind::kNumberPair:
      CHECK(first.Kind() == quillet::runtime::VariantKind::kLong);
      CHECK(second.Kind() == quillet::runtime::VariantKind::kLong);
      break;
    case ArgumentKind::kText:
      CHECK(first.IsString() &&
            first.AsString() == expression.substr(cursor + 1, close - cursor - 1));
      CHECK(second.IsString() && second.AsString().empty());
      break;
    case ArgumentKind::kTextPair:
      // The search text runs to the first ",", the replacement from there to the next ")".
      CHECK(first.IsString() && second.IsString());
      CHECK(first.AsString().find(',') == std::string::npos);
      CHECK(second.AsString().find(')') == std::string::npos);
      CHECK(StartsAt(expression, cursor + 1, first.AsString() + "," + second.AsString() + ")"));
      break;
    case ArgumentKind::kNone:
      break;
  }
  cursor = close + 1;
}

// The parts stand in the expression one after the other, each where the one before ended;
// returns where the last one ends.
size_t WalkParts(std::string_view expression, const quillet::ExpressionParts& parts) {
  size_t cursor = 0;
  for (const ExpressionPart& part : parts) {
    if (part.Kind == quillet::PartKind::kText) {
      CHECK(!part.Value.empty());
      CHECK(part.Statements.empty());
      CHECK(StartsAt(expression, cursor, part.Value));
      cursor += part.Value.size();
    } else if (part.Kind == quillet::PartKind::kLegend) {
      CHECK(quillet::runtime::EqualsIgnoreCase(part.Value, "VALUE") ||
            quillet::runtime::EqualsIgnoreCase(part.Value, "LABEL"));
      CHECK(part.Statements.empty());
      CHECK(StartsAt(expression, cursor, "$$" + part.Value));
      cursor += 2 + part.Value.size();
    } else {
      CHECK(part.Kind == quillet::PartKind::kField);
      CHECK(!part.Value.empty());
      CHECK(part.Value.find_first_of("[]") == std::string::npos);
      CHECK(!part.Statements.empty());
      CHECK(StartsAt(expression, cursor, "[" + part.Value + "]"));
      cursor += part.Value.size() + 2;
      if (part.Statements.size() == 1 && part.Statements[0].Name == "NONE") {
        CHECK(part.Statements[0] == FormattingStatement{"NONE"});
      } else {
        for (const FormattingStatement& statement : part.Statements)
          WalkStatement(expression, cursor, statement);
      }
      // The chain ended because nothing after it is a statement.
      CHECK(quillet::MatchStatementKeyword(expression.substr(cursor)) == nullptr);
    }
  }
  return cursor;
}

bool IsStatementMessage(std::string_view message) {
  if (message.size() < 8 || message.substr(message.size() - 8) != "] Field!") return false;
  for (const StatementKeyword& row : quillet::StatementKeywords()) {
    if (row.Arguments == ArgumentKind::kNone) continue;
    if (message.starts_with(row.MessagePrefix) || message.starts_with(row.UnclosedMessagePrefix))
      return true;
  }
  return false;
}

bool IsBracketMessage(std::string_view message) {
  for (std::string_view known : {
           "Missing close bracket(\"]\") on field name.",
           "Missing open bracket(\"[\") on field name.",
           "Missing close bracket (\"]\") or nested field names!",
           "Missing Open bracket (\"[\") or nested field names!",
           "Empty Field name brackets (\"[ ]\")!",
           "Missing close bracket (\"]\")!",
           "Unknown Error Evaluating Expression",
       })
    if (message == known) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::string expression = original;
  const quillet::runtime::Locale& locale = quillet::runtime::Locale::EnUs();
  const quillet::ExpressionParse parse = quillet::EvaluateExpression(expression, locale);
  const bool succeeded = parse.Succeeded;

  // The caller's string lost exactly its CR, LF and tab characters.
  std::string stripped = original;
  std::erase_if(stripped, [](char c) { return c == '\r' || c == '\n' || c == '\t'; });
  CHECK(expression == stripped);

  CHECK(!parse.Message.empty());
  const size_t end = WalkParts(expression, parse.Parts);

  const bool hasBracket = expression.find_first_of("[]") != std::string::npos;
  if (succeeded) {
    CHECK(end == expression.size());
    CHECK(parse.Message == (hasBracket ? "Successfully created formatting statement"
                                       : "Expression is Valid but contains no fields!"));
  } else if (expression.empty()) {
    CHECK(parse.Message == "Expression is empty.");
  } else {
    CHECK(hasBracket);
    CHECK(IsBracketMessage(parse.Message) || IsStatementMessage(parse.Message));
  }

  // A second parse of the cleaned text finds the same.
  std::string copy = expression;
  const quillet::ExpressionParse again = quillet::EvaluateExpression(copy, locale);
  CHECK(again.Succeeded == succeeded);
  CHECK(copy == expression);
  CHECK(again.Message == parse.Message);
  CHECK(again.Parts == parse.Parts);
  return 0;
}
