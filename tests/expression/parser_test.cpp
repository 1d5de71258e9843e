// The expression language: brackets, literal text and the statement chain after each field.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "expression/evaluate_expression.h"
#include "expression/parse_formatting_statements.h"
#include "support/printing.h"

namespace quillet {

// Readable failure output for the parser's records.
void PrintTo(const FormattingStatement& statement, std::ostream* out) {
  *out << statement.Name << "(" << ::testing::PrintToString(statement.Argument1) << ", "
       << ::testing::PrintToString(statement.Argument2) << ")";
}

namespace {

// Statement records as the parser stores them: no arguments, numbers (Longs), or texts.
FormattingStatement Statement(std::string name, runtime::Variant first = "",
                              runtime::Variant second = "") {
  return {std::move(name), std::move(first), std::move(second)};
}
runtime::Variant L(int32_t value) {
  return runtime::Variant::Long(value);
}

ExpressionPart Text(std::string value) {
  return {PartKind::kText, std::move(value), {}};
}
ExpressionPart Legend(std::string value) {
  return {PartKind::kLegend, std::move(value), {}};
}
ExpressionPart Field(std::string name, FormattingStatements statements = {Statement("NONE")}) {
  return {PartKind::kField, std::move(name), std::move(statements)};
}

constexpr const char* kStatementsDone = "Successfully created formatting statement";

// One call for the first field reference of `expression`: "]" is its first "]", "[" the last
// "[" before it.
FormattingParseResult Parse(const std::string& expression) {
  const size_t close = expression.find(']');
  const size_t open = expression.rfind('[', close);
  return ParseFormattingStatements(expression, static_cast<int32_t>(close + 1),
                                   static_cast<int32_t>(open + 1), runtime::Locale::EnUs());
}

struct ChainRow {
  std::string expression;
  FormattingStatements statements;
  int32_t position;
};

void ExpectChains(const std::vector<ChainRow>& rows) {
  for (const ChainRow& row : rows) {
    SCOPED_TRACE(row.expression);
    const FormattingParseResult chain = Parse(row.expression);
    EXPECT_TRUE(chain.Succeeded);
    EXPECT_EQ(chain.Statements, row.statements);
    EXPECT_EQ(chain.Position, row.position);
    EXPECT_EQ(chain.Message, kStatementsDone);
  }
}

TEST(ParseFormattingStatements, ReadsKeywordsInAnyCaseUpToTheFirstTextThatIsNoKeyword) {
  ExpectChains({
      // Every keyword without arguments, stored under the table's name; the keywords with
      // arguments have their rows below. Order and repeats are the verifier's business.
      {"[F].average.COUNT.First.last.MAXIMUM.minimum.stddev.SUM.vAriance.Sum",
       {Statement("Average"), Statement("Count"), Statement("First"), Statement("Last"),
        Statement("Maximum"), Statement("Minimum"), Statement("StdDev"), Statement("Sum"),
        Statement("Variance"), Statement("Sum")},
       68},
      {"[F].abs.formatcurrency.lcase.ltrim.rtrim.tcase.TRIM.ucase",
       {Statement("Abs"), Statement("FormatCurrency"), Statement("LCase"), Statement("LTrim"),
        Statement("RTrim"), Statement("TCase"), Statement("Trim"), Statement("UCase")},
       57},
      // Nothing usable after the "]": the placeholder, and Position stays on the "]".
      {"[POP]", {Statement("NONE")}, 5},
      {"[POP] .Sum", {Statement("NONE")}, 5},
      {"[POP].Su", {Statement("NONE")}, 5},
      // The chain stops at the last character of a keyword or at the ")" of its arguments.
      {"[POP].Sum.Bold.UCase", {Statement("Sum")}, 9},
      {"[POP].Sum.FormatCurrency(2)", {Statement("Sum"), Statement("FormatCurrency")}, 24},
  });
}

// Numbers become Longs by the runtime's conversion.
TEST(ParseFormattingStatements, ReadsNumericAndTextArguments) {
  ExpectChains({
      {"[A].LEFT( 3 )", {Statement("Left", L(3))}, 13},
      {"[A].round(2.5)", {Statement("Round", L(2))}, 14},
      {"[A].Mid(2.5,3.5)", {Statement("Mid", L(2), L(4))}, 16},
      // Text arguments keep every character as written, with no quoting or nesting; without its
      // own ")" an argument runs to the next ")" and the chain goes on there.
      {"[A].Sum.Format(0.0.Left(3).UCase",
       {Statement("Sum"), Statement("Format", "0.0.Left(3"), Statement("UCase")},
       32},
      {"[A].Replace( a ,'b')", {Statement("Replace", " a ", "'b'")}, 20},
      {"[A].Replace(a,b,c)", {Statement("Replace", "a", "b,c")}, 18},
      // The search text runs to the first "," even over a ")", which still ends the statement.
      {"[A].Replace(x).Sum,y)", {Statement("Replace", "x).Sum", "y"), Statement("Sum")}, 18},
  });
}

// Each way a statement's arguments can be wrong, after a ".Sum" that was parsed whole.
TEST(ParseFormattingStatements, ReportsEachArgumentFaultWithItsStatementsMessage) {
  const struct {
    std::string expression;
    std::string statement;  // as the message names it; "" for the general message
  } rows[] = {
      // No "(" right after the keyword.
      {"[POP].Sum.FormatNumber", ".FormatNumber(0)"},
      {"[POP].Sum.FormatCurrenc(2)", ".Format(Instructions)"},
      // No ")": the unclosed message, which only ".Replace" words differently.
      {"[POP].Sum.Right(3", ".Right(0)"},
      {"[POP].Sum.Replace(a,b", ".Replace(Search,Replace))"},
      // Not a number.
      {"[POP].Sum.Left(x)", ".Left(0)"},
      {"[POP].Sum.Round(1.2.3)", ".Round(0)"},
      {"[POP].Sum.Spaces(3 4)", ".Spaces(0)"},
      // ".Mid": no ",", start, length.
      {"[POP].Sum.Mid(2)", ".Mid(0,0)"},
      {"[POP].Sum.Mid(x,3)", ".Mid(0,0)"},
      {"[POP].Sum.Mid(2,)", ".Mid(0,0)"},
      // ".Replace": no ")" after the ",".
      {"[POP].Sum.Replace(a),b", ".Replace(Search,Replace)"},
      // Both numbers are tested before either is converted.
      {"[POP].Sum.Mid(3000000000,x)", ".Mid(0,0)"},
      // A number that passes the numeric test but lies outside 32 bits ends the parse with
      // the message set on entry, without the field name.
      {"[POP].Sum.Right(2147483648)", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expression);
    const FormattingParseResult chain = Parse(row.expression);
    EXPECT_FALSE(chain.Succeeded);
    EXPECT_EQ(chain.Message,
              row.statement.empty()
                  ? "Unknown Error Evaluating Expression"
                  : "Improper \"" + row.statement + "\" formatting statement after [POP] Field!");
    EXPECT_EQ(chain.Position, 9);  // after ".Sum"
  }
}

struct PartsRow {
  std::string expression;
  ExpressionParts parts;
};

// The checks on the whole text run first, in this order, whatever the scan would find; then
// the scan stops at the first fault from the left. A failing statement chain hands its
// message on unchanged.
TEST(EvaluateExpression, ReportsTheFirstFault) {
  const std::string kEmpty = "Empty Field name brackets (\"[ ]\")!";
  const struct {
    std::string expression;
    std::string message;
  } rows[] = {
      {"\n\r\t", "Expression is empty."},  // once its breaks and tabs are gone
      {"[A\r\n[B", "Missing close bracket(\"]\") on field name."},
      {"A]]", "Missing open bracket(\"[\") on field name."},
      {"[[A]", "Missing close bracket (\"]\") or nested field names!"},
      {"[A]]", "Missing Open bracket (\"[\") or nested field names!"},
      {"[]", kEmpty},
      {"a [B] c [D", "Missing close bracket (\"]\")!"},
      {"[]]", kEmpty},
      {"[A].Left(x) [B", "Improper \".Left(0)\" formatting statement after [A] Field!"},
      // The field is named by exactly the bytes between its brackets.
      {"x[ Straße 2000 ].Round",
       "Improper \".Round(0)\" formatting statement after [ Straße 2000 ] Field!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expression);
    std::string expression = row.expression;
    const ExpressionParse parse = EvaluateExpression(expression, runtime::Locale::EnUs());
    EXPECT_FALSE(parse.Succeeded);
    EXPECT_EQ(parse.Message, row.message);
    EXPECT_EQ(expression.find_first_of("\r\n\t"), std::string::npos);
  }
}

// A text without fields is valid with its own message; otherwise the message is the last
// statement chain's. CR LF, LF, CR and tab leave the caller's own string first; nothing else
// in it changes.
TEST(EvaluateExpression, SplitsFieldReferencesFromTheTextAroundThem) {
  const std::vector<PartsRow> rows = {
      {"Total: $$VALUE", {Text("Total: "), Legend("VALUE")}},
      {"(.\r\rSum\n\n)", {Text("(.Sum)")}},
      {"a \f\vb\u00A0", {Text("a \f\vb\u00A0")}},
      {"[A][B]", {Field("A"), Field("B")}},
      {"[ ]", {Field(" ")}},
      {"[A]\r\n.Sum $$label\t [B]",
       {Field("A", {Statement("Sum")}), Text(" "), Legend("label"), Text(" "), Field("B")}},
      {"$$LABEL ([POP].Sum.FormatNumber(0) people)",
       {Legend("LABEL"), Text(" ("),
        Field("POP", {Statement("Sum"), Statement("FormatNumber", L(0))}), Text(" people)")}},
      {"[POP].Summary", {Field("POP", {Statement("Sum")}), Text("mary")}},
      // Brackets that a statement consumed as its arguments are not brackets to the scan.
      {"[A].Replace(],[)x", {Field("A", {Statement("Replace", "]", "[")}), Text("x")}},
      // Every other "$$" pair is text.
      {"$$VaLuE$$LABEL", {Legend("VaLuE"), Legend("LABEL")}},
      {"a$$NEWLINEb", {Text("a$$"), Text("NEWLINEb")}},
      {"$$$$VALUE", {Text("$$"), Legend("VALUE")}},
      {"$$$VALUE", {Text("$$"), Text("$VALUE")}},
      {"$$VALUES", {Legend("VALUE"), Text("S")}},
      {"$$VALU", {Text("$$"), Text("VALU")}},
  };
  for (const PartsRow& row : rows) {
    SCOPED_TRACE(row.expression);
    std::string expression = row.expression;
    const ExpressionParse parse = EvaluateExpression(expression, runtime::Locale::EnUs());
    const bool fields =
        std::any_of(row.parts.begin(), row.parts.end(),
                    [](const ExpressionPart& part) { return part.Kind == PartKind::kField; });
    EXPECT_TRUE(parse.Succeeded);
    EXPECT_EQ(parse.Message,
              fields ? kStatementsDone : "Expression is Valid but contains no fields!");
    EXPECT_EQ(parse.Parts, row.parts);
    EXPECT_EQ(expression.find_first_of("\r\n\t"), std::string::npos);
  }
}

}  // namespace
}  // namespace quillet
