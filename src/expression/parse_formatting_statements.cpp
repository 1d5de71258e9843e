#include "expression/parse_formatting_statements.h"

#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "expression/statement_vocabulary.h"
#include "quillet/error.h"
#include "runtime/numeric.h"

namespace quillet {
namespace {

constexpr std::string_view kUnknownError = "Unknown Error Evaluating Expression";
constexpr std::string_view kSucceeded = "Successfully created formatting statement";

// The text from the 1-based index `start` on: empty when it starts beyond the end.
std::string_view TextAt(std::string_view text, int64_t start) {
  if (start < 1) throw runtime::Error::InvalidProcedureCall();
  if (start > static_cast<int64_t>(text.size())) return {};
  return text.substr(static_cast<size_t>(start - 1));
}

// The 1-based index of `c` in `text`, 0 when absent.
int64_t IndexOf(std::string_view text, char c) {
  const size_t at = text.find(c);
  return at == std::string_view::npos ? 0 : static_cast<int64_t>(at) + 1;
}

// The first `count` characters of `text` (all of it when it is shorter).
std::string_view Leading(std::string_view text, int64_t count) {
  if (count < 0) throw runtime::Error::InvalidProcedureCall();
  return text.substr(0, static_cast<size_t>(count));
}

// A numeric argument: nothing when the numeric test rejects it; a value outside the 32-bit
// range throws the overflow, which ends the parse with the unknown-error message.
std::optional<int32_t> NumericArgument(std::string_view text, const runtime::Locale& locale) {
  const runtime::Variant argument = runtime::Variant::String(std::string(text));
  if (!runtime::IsNumeric(argument, locale)) return std::nullopt;
  return runtime::ToLong(argument, locale);
}

// Reads the arguments of `keyword`, whose "(" is expected at the 1-based index `q`. On success
// fills `statement` and returns the index of the ")" that ends it; on a fault returns nothing
// and leaves the message prefix in `fault`.
std::optional<int64_t> ReadArguments(std::string_view expression, int64_t q,
                                     const StatementKeyword& keyword,
                                     FormattingStatement& statement, std::string_view& fault,
                                     const runtime::Locale& locale) {
  fault = keyword.MessagePrefix;
  if (TextAt(expression, q).substr(0, 1) != "(") return std::nullopt;
  const std::string_view rest = TextAt(expression, q + 1);
  const int64_t end = IndexOf(rest, ')');
  if (end == 0) {
    fault = keyword.UnclosedMessagePrefix;
    return std::nullopt;
  }

  switch (keyword.Arguments) {
    case ArgumentKind::kNumber: {
      // The numeric test comes first; a number it accepts may still overflow the conversion.
      const std::optional<int32_t> number = NumericArgument(Leading(rest, end - 1), locale);
      if (!number) return std::nullopt;
      statement.Argument1 = runtime::Variant::Long(*number);
      break;
    }
    case ArgumentKind::kText:
      statement.Argument1 = runtime::Variant::String(std::string(Leading(rest, end - 1)));
      break;
    case ArgumentKind::kNumberPair:
    case ArgumentKind::kTextPair: {
      // The "," is looked for in all of the rest, so a first argument may run over the ")"
      // that still ends the statement.
      const int64_t comma = IndexOf(rest, ',');
      if (comma == 0) return std::nullopt;
      const std::string_view first = Leading(rest, comma - 1);
      const std::string_view after = rest.substr(static_cast<size_t>(comma));
      const bool numbers = keyword.Arguments == ArgumentKind::kNumberPair;
      const runtime::Variant firstText = runtime::Variant::String(std::string(first));
      if (numbers && !runtime::IsNumeric(firstText, locale)) return std::nullopt;
      const int64_t secondEnd = IndexOf(after, ')');
      if (secondEnd == 0) return std::nullopt;
      const runtime::Variant secondText =
          runtime::Variant::String(std::string(Leading(after, secondEnd - 1)));
      if (numbers && !runtime::IsNumeric(secondText, locale)) return std::nullopt;
      // Both are tested before either is converted, so a malformed statement gets its own
      // message even when one of its numbers is out of range.
      statement.Argument1 =
          numbers ? runtime::Variant::Long(runtime::ToLong(firstText, locale)) : firstText;
      statement.Argument2 =
          numbers ? runtime::Variant::Long(runtime::ToLong(secondText, locale)) : secondText;
      break;
    }
    case ArgumentKind::kNone:
      break;
  }
  return q + end;
}

}  // namespace

FormattingParseResult ParseFormattingStatements(const std::string& pExpression, int32_t pPosition,
                                                int32_t pOpenPosition,
                                                const runtime::Locale& locale) {
  FormattingParseResult result;
  int64_t pos = pPosition;
  const auto finish = [&](bool succeeded, std::string message) {
    result.Succeeded = succeeded;
    result.Message = std::move(message);
    result.Position = static_cast<int32_t>(pos);
    return std::move(result);
  };

  try {
    // Positions are 32-bit; a longer text cannot be indexed.
    if (pExpression.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
      throw runtime::Error::Overflow();
    const std::string_view expression = pExpression;
    const std::string_view fieldName =
        Leading(TextAt(expression, int64_t{pOpenPosition} + 1), pos - pOpenPosition - 1);

    while (const StatementKeyword* keyword = MatchStatementKeyword(TextAt(expression, pos + 1))) {
      FormattingStatement statement{std::string(keyword->Name)};
      if (keyword->Arguments == ArgumentKind::kNone) {
        result.Statements.push_back(std::move(statement));
        pos += keyword->Length;
        continue;
      }
      std::string_view fault;
      const std::optional<int64_t> end =
          ReadArguments(expression, pos + keyword->Length + 1, *keyword, statement, fault, locale);
      if (!end) return finish(false, std::string(fault) + std::string(fieldName) + "] Field!");
      result.Statements.push_back(std::move(statement));
      pos = *end;
    }
  } catch (...) {
    // Whatever went wrong, the message is the general one, without the field name.
    return finish(false, std::string(kUnknownError));
  }

  if (result.Statements.empty()) result.Statements.push_back(FormattingStatement{kNoStatement});
  return finish(true, std::string(kSucceeded));
}

}  // namespace quillet
