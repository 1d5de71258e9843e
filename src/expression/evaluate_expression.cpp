#include "expression/evaluate_expression.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <string_view>
#include <utility>

#include "core/error_handler.h"
#include "core/markers.h"
#include "expression/parse_formatting_statements.h"
#include "quillet/error.h"
#include "runtime/case.h"

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

ExpressionParse Failed(std::string message) {
  return ExpressionParse{false, std::move(message), {}};
}

ExpressionParse Scan(const std::string& expression, const runtime::Locale& locale) {
  const std::string_view text = expression;
  const auto length = static_cast<int32_t>(text.size());
  ExpressionParse parse;
  ExpressionParts& parts = parse.Parts;
  Bracket bracket = Bracket::kNone;
  int32_t lastOpen = 1;
  int32_t lastFieldEnd = 1;

  for (int32_t position = 1; position <= length; ++position) {
    const char c = text[static_cast<size_t>(position - 1)];
    if (c == '[') {
      if (bracket == Bracket::kOpen)
        return Failed("Missing close bracket (\"]\") or nested field names!");
      if (bracket == Bracket::kClose)
        AppendLiteral(parts, Between(text, lastFieldEnd + 1, position - 1));
      if (bracket == Bracket::kNone && position > 1)
        AppendLiteral(parts, Between(text, 1, position - 1));
      bracket = Bracket::kOpen;
      lastOpen = position;
    } else if (c == ']') {
      if (bracket != Bracket::kOpen)
        return Failed("Missing Open bracket (\"[\") or nested field names!");
      if (position == lastOpen + 1) return Failed("Empty Field name brackets (\"[ ]\")!");
      std::string fieldName(Between(text, lastOpen + 1, position - 1));
      FormattingParseResult chain =
          ParseFormattingStatements(expression, position, lastOpen, locale);
      if (!chain.Succeeded) return Failed(std::move(chain.Message));
      // A successful chain always holds at least its placeholder; anything else is a parser
      // fault that must not reach the label makers as a field without a summary.
      if (chain.Statements.empty()) return Failed("Unknown error evaluating expression!");
      position = chain.Position;
      parse.Message = std::move(chain.Message);
      parts.push_back(
          ExpressionPart{PartKind::kField, std::move(fieldName), std::move(chain.Statements)});
      bracket = Bracket::kClose;
      lastFieldEnd = position;
    }
    if (position == length && bracket == Bracket::kClose && position > lastFieldEnd)
      AppendLiteral(parts, Between(text, lastFieldEnd + 1, length));
  }

  if (bracket == Bracket::kOpen) return Failed("Missing close bracket (\"]\")!");
  parse.Succeeded = true;
  return parse;
}

}  // namespace

ExpressionParse EvaluateExpression(std::string& pExpression, const runtime::Locale& locale) {
  try {
    // Removing CR LF pairs, then lone LFs, then lone CRs, then tabs leaves exactly the text
    // without any of the three characters.
    std::erase_if(pExpression, [](char c) { return c == '\r' || c == '\n' || c == '\t'; });

    if (pExpression.empty()) return Failed("Expression is empty.");
    const bool hasOpen = pExpression.find('[') != std::string::npos;
    const bool hasClose = pExpression.find(']') != std::string::npos;
    if (!hasOpen && !hasClose)
      return {true, "Expression is Valid but contains no fields!", ParseLiteralText(pExpression)};
    if (!hasClose) return Failed("Missing close bracket(\"]\") on field name.");
    if (!hasOpen) return Failed("Missing open bracket(\"[\") on field name.");
    // Positions are 32-bit; a longer text cannot be indexed.
    if (pExpression.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
      throw runtime::Error::Overflow();
    return Scan(pExpression, locale);
  } catch (...) {
    const std::string description = DescriptionOf(std::current_exception());
    return Failed(description.empty() ? std::string(kFallback) : description);
  }
}

ExpressionParts ParseLiteralText(std::string pText) {
  ExpressionParts parts;
  std::string_view rest = pText;
  for (size_t at = rest.find("$$"); at != std::string_view::npos; at = rest.find("$$")) {
    const std::string_view token = rest.substr(at + 2, 5);
    if (runtime::EqualsIgnoreCase(token, kValuePseudoField) ||
        runtime::EqualsIgnoreCase(token, kLabelPseudoField)) {
      if (at > 0)
        parts.push_back(ExpressionPart{PartKind::kText, std::string(rest.substr(0, at)), {}});
      parts.push_back(ExpressionPart{PartKind::kLegend, std::string(token), {}});
      rest.remove_prefix(at + 7);
    } else {
      // Any other "$$" stays literal text; the search goes on right after it.
      parts.push_back(ExpressionPart{PartKind::kText, std::string(rest.substr(0, at + 2)), {}});
      rest.remove_prefix(at + 2);
    }
  }
  if (!rest.empty()) parts.push_back(ExpressionPart{PartKind::kText, std::string(rest), {}});
  return parts;
}

}  // namespace quillet
