#include "expression/evaluate_expression.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <string_view>
#include <utility>

#include "expression/parse_formatting_statements.h"
#include "labeler/error_handler.h"
#include "runtime/case.h"
#include "runtime/error.h"

namespace quillet {
namespace {

constexpr std::string_view kFallback = "Unknown Error in EvaluateExpression!";

enum class Bracket { kNone, kOpen, kClose };

void AppendLiteral(ExpressionParts& parts, std::string_view text) {
  ExpressionParts literal = ParseLiteralText(std::string(text));
  parts.insert(parts.end(), std::make_move_iterator(literal.begin()),
               std::make_move_iterator(literal.end()));
}

// The characters from the 1-based index `first` through `last`; empty when `last` < `first`.
std::string_view Between(std::string_view text, int32_t first, int32_t last) {
  if (last < first) return {};
  return text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

bool Scan(QuilletState& state, const std::string& expression) {
  const std::string_view text = expression;
  const auto length = static_cast<int32_t>(text.size());
  ExpressionParts& parts = state.mExpressionParts;
  Bracket bracket = Bracket::kNone;
  int32_t lastOpen = 1;
  int32_t lastFieldEnd = 1;

  for (int32_t position = 1; position <= length; ++position) {
    const char c = text[static_cast<size_t>(position - 1)];
    if (c == '[') {
      if (bracket == Bracket::kOpen)
        return Fail(state, "Missing close bracket (\"]\") or nested field names!", kFallback);
      if (bracket == Bracket::kClose)
        AppendLiteral(parts, Between(text, lastFieldEnd + 1, position - 1));
      if (bracket == Bracket::kNone && position > 1)
        AppendLiteral(parts, Between(text, 1, position - 1));
      bracket = Bracket::kOpen;
      lastOpen = position;
    } else if (c == ']') {
      if (bracket != Bracket::kOpen)
        return Fail(state, "Missing Open bracket (\"[\") or nested field names!", kFallback);
      if (position == lastOpen + 1)
        return Fail(state, "Empty Field name brackets (\"[ ]\")!", kFallback);
      std::string fieldName(Between(text, lastOpen + 1, position - 1));
      int32_t chainEnd = position;
      FormattingParseResult chain =
          ParseFormattingStatements(state, expression, chainEnd, lastOpen);
      if (!chain.Succeeded) return Fail(state, std::move(chain.Message), kFallback);
      // A successful chain always holds at least its placeholder; anything else is a parser
      // fault that must not reach the label makers as a field without a summary.
      if (chain.Statements.empty())
        return Fail(state, "Unknown error evaluating expression!", kFallback);
      position = chain.Position;
      parts.push_back(ExpressionPart{"Field", std::move(fieldName), std::move(chain.Statements)});
      bracket = Bracket::kClose;
      lastFieldEnd = position;
    }
    if (position == length && bracket == Bracket::kClose && position > lastFieldEnd)
      AppendLiteral(parts, Between(text, lastFieldEnd + 1, length));
  }

  if (bracket == Bracket::kOpen) return Fail(state, "Missing close bracket (\"]\")!", kFallback);
  state.mLabelsValid = true;
  return true;
}

}  // namespace

bool EvaluateExpression(QuilletState& state, std::string& pExpression) {
  return UnderErrorHandler(state, kFallback, [&] {
    state.mExpressionParts = ExpressionParts{};
    // Removing CR LF pairs, then lone LFs, then lone CRs, then tabs leaves exactly the text
    // without any of the three characters.
    std::erase_if(pExpression, [](char c) { return c == '\r' || c == '\n' || c == '\t'; });

    if (pExpression.empty()) return Fail(state, "Expression is empty.", kFallback);
    const bool hasOpen = pExpression.find('[') != std::string::npos;
    const bool hasClose = pExpression.find(']') != std::string::npos;
    if (!hasOpen && !hasClose) {
      state.mExpressionParts = ParseLiteralText(pExpression);
      state.mMessage = "Expression is Valid but contains no fields!";
      state.mLabelsValid = true;
      return true;
    }
    if (!hasClose) return Fail(state, "Missing close bracket(\"]\") on field name.", kFallback);
    if (!hasOpen) return Fail(state, "Missing open bracket(\"[\") on field name.", kFallback);
    // Positions are 32-bit; a longer text cannot be indexed.
    if (pExpression.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
      throw runtime::Error::Overflow();
    return Scan(state, pExpression);
  });
}

ExpressionParts ParseLiteralText(std::string pText) {
  ExpressionParts parts;
  std::string_view rest = pText;
  for (size_t at = rest.find("$$"); at != std::string_view::npos; at = rest.find("$$")) {
    const std::string_view token = rest.substr(at + 2, 5);
    if (runtime::EqualsIgnoreCase(token, "VALUE") || runtime::EqualsIgnoreCase(token, "LABEL")) {
      if (at > 0) parts.push_back(ExpressionPart{"Text", std::string(rest.substr(0, at)), {}});
      parts.push_back(ExpressionPart{"LEGEND", std::string(token), {}});
      rest.remove_prefix(at + 7);
    } else {
      // Any other "$$" stays literal text; the search goes on right after it.
      parts.push_back(ExpressionPart{"Text", std::string(rest.substr(0, at + 2)), {}});
      rest.remove_prefix(at + 2);
    }
  }
  if (!rest.empty()) parts.push_back(ExpressionPart{"Text", std::string(rest), {}});
  return parts;
}

}  // namespace quillet
