#include "expression/parse_formatting_statements.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "expression/parser_test_support.h"

namespace quillet {
namespace {

using test::Statement;

// Each message once, exactly; the rows below name them.
constexpr const char* kUnknown = "Unknown Error Evaluating Expression";
constexpr const char* kFormatNumber =
    "Improper \".FormatNumber(0)\" formatting statement after [POP] Field!";
constexpr const char* kFormat =
    "Improper \".Format(Instructions)\" formatting statement after [POP] Field!";
constexpr const char* kLeft = "Improper \".Left(0)\" formatting statement after [POP] Field!";
constexpr const char* kRight = "Improper \".Right(0)\" formatting statement after [POP] Field!";
constexpr const char* kRound = "Improper \".Round(0)\" formatting statement after [POP] Field!";
constexpr const char* kSpaces = "Improper \".Spaces(0)\" formatting statement after [POP] Field!";
constexpr const char* kMid = "Improper \".Mid(0,0)\" formatting statement after [POP] Field!";
constexpr const char* kReplace =
    "Improper \".Replace(Search,Replace)\" formatting statement after [POP] Field!";
constexpr const char* kReplaceUnclosed =
    "Improper \".Replace(Search,Replace))\" formatting statement after [POP] Field!";

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
    EXPECT_EQ(chain.Message, "Successfully created formatting statement");
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
      {"[POP].", {Statement("NONE")}, 5},
      {"[POP].Su", {Statement("NONE")}, 5},
      // The chain stops at the last character of a keyword or at the ")" of its arguments.
      {"[POP].Sum.FormatNumber(0) people", {Statement("Sum"), Statement("FormatNumber", 0)}, 25},
      {"[POP].Sum.Bold.UCase", {Statement("Sum")}, 9},
      // A keyword is matched over its own length only; what follows it is not looked at.
      {"[POP].Summary", {Statement("Sum")}, 9},
      {"[POP].Sum.FormatCurrency(2)", {Statement("Sum"), Statement("FormatCurrency")}, 24},
      {"[POP].Sum.FormatNumber(1).Format(x)",
       {Statement("Sum"), Statement("FormatNumber", 1), Statement("Format", "x")},
       35},
  });
}

// Numbers become Longs by the runtime's conversion.
TEST(ParseFormattingStatements, ReadsNumericAndTextArguments) {
  ExpectChains({
      {"[A].LEFT( 3 )", {Statement("Left", 3)}, 13},
      {"[A].Left(-1)", {Statement("Left", -1)}, 12},
      {"[A].round(2.5)", {Statement("Round", 2)}, 14},
      {"[A].mid( 2 , 3 )", {Statement("Mid", 2, 3)}, 16},
      {"[A].Mid(2.5,3.5)", {Statement("Mid", 2, 4)}, 16},
      // Text arguments keep every character as written; there is no quoting or nesting, and
      // an argument runs to the first ")".
      {"[A].format()", {Statement("Format", "")}, 12},
      {"[A].Format( \"0\" )", {Statement("Format", " \"0\" ")}, 17},
      {"[A].Format(#,##0.00)", {Statement("Format", "#,##0.00")}, 20},
      {"[A].Format((0))", {Statement("Format", "(0")}, 14},
      // Without its own ")" the instructions run to the next ")" and the chain goes on there.
      {"[A].Sum.Format(0.0.Left(3).UCase",
       {Statement("Sum"), Statement("Format", "0.0.Left(3"), Statement("UCase")},
       32},
      {"[A].replace(,)", {Statement("Replace", "", "")}, 14},
      {"[A].Replace( a ,'b')", {Statement("Replace", " a ", "'b'")}, 20},
      {"[A].Replace(a,b,c)", {Statement("Replace", "a", "b,c")}, 18},
      // The search text runs to the first "," even over a ")", which still ends the statement.
      {"[A].Replace(a),b)", {Statement("Replace", "a)", "b")}, 14},
      {"[A].Replace(x).Sum,y)", {Statement("Replace", "x).Sum", "y"), Statement("Sum")}, 18},
  });
}

// Each way a statement's arguments can be wrong, after a ".Sum" that was parsed whole: the
// parse stops there with the records so far, no placeholder, and Position after ".Sum".
TEST(ParseFormattingStatements, ReportsEachArgumentFaultWithItsStatementsMessage) {
  const struct {
    std::string expression;
    const char* message;
  } rows[] = {
      // No "(" right after the keyword.
      {"[POP].Sum.FormatNumber", kFormatNumber},
      {"[POP].Sum.FormatCurrenc(2)", kFormat},
      // No ")": the unclosed message, which only ".Replace" words differently.
      {"[POP].Sum.Right(3", kRight},
      {"[POP].Sum.Replace(a,b", kReplaceUnclosed},
      // Not a number.
      {"[POP].Sum.Left(x)", kLeft},
      {"[POP].Sum.Round(1.2.3)", kRound},
      {"[POP].Sum.Spaces(3 4)", kSpaces},
      // ".Mid": no ",", start, length.
      {"[POP].Sum.Mid(2)", kMid},
      {"[POP].Sum.Mid(x,3)", kMid},
      {"[POP].Sum.Mid(2,)", kMid},
      // ".Replace": no ",", then no ")" after the ",".
      {"[POP].Sum.Replace(ab)", kReplace},
      {"[POP].Sum.Replace(a),b", kReplace},
      // Numbers are tested before any is converted: an out-of-range number in a malformed
      // statement still gets the statement's message.
      {"[POP].Sum.Mid(3000000000,x)", kMid},
      // Only the first fault counts.
      {"[POP].Sum.Left(x).Mid", kLeft},
      // A number that passes the numeric test but lies outside 32 bits ends the parse with
      // the message set on entry, without the field name.
      {"[POP].Sum.Right(2147483648)", kUnknown},
      {"[POP].Sum.Mid(3000000000,1)", kUnknown},
      {"[POP].Sum.Mid(1,-3000000000)", kUnknown},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expression);
    const FormattingParseResult chain = Parse(row.expression);
    EXPECT_FALSE(chain.Succeeded);
    EXPECT_EQ(chain.Message, row.message);
    EXPECT_EQ(chain.Statements, FormattingStatements{Statement("Sum")});
    EXPECT_EQ(chain.Position, 9);
  }
}

// The field name in the message is exactly the bytes between the brackets; a fault in the
// first statement leaves no record, not even the placeholder.
TEST(ParseFormattingStatements, NamesTheFieldAsWrittenAndKeepsNothingOnAFirstFault) {
  const FormattingParseResult chain = Parse("x[ Straße 2000 ].Round");
  EXPECT_FALSE(chain.Succeeded);
  EXPECT_EQ(chain.Message,
            "Improper \".Round(0)\" formatting statement after [ Straße 2000 ] Field!");
  EXPECT_TRUE(chain.Statements.empty());
  EXPECT_EQ(chain.Position, 17);
}

}  // namespace
}  // namespace quillet
