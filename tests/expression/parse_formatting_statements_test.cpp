#include "expression/parse_formatting_statements.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "expression/parser_test_support.h"
#include "expression/statement_keywords.h"

namespace quillet {
namespace {

using test::FailedWith;
using test::Statement;

constexpr const char* kUnknown = "Unknown Error Evaluating Expression";

// One call for the first field reference of `expression`: "]" is its first "]", "[" the last
// "[" before it.
struct Chain {
  QuilletState state;
  int32_t position = 0;
  FormattingParseResult result;
};

Chain Parse(const std::string& expression) {
  Chain chain;
  chain.state.mLabelsValid = false;
  chain.state.mMessage = "left by an earlier call";
  const size_t close = expression.find(']');
  const size_t open = expression.rfind('[', close);
  chain.position = static_cast<int32_t>(close + 1);
  chain.result = ParseFormattingStatements(chain.state, expression, chain.position,
                                           static_cast<int32_t>(open + 1));
  return chain;
}

struct ChainRow {
  std::string expression;
  FormattingStatements statements;
  int32_t position;
};

void ExpectChains(const std::vector<ChainRow>& rows) {
  for (const ChainRow& row : rows) {
    SCOPED_TRACE(row.expression);
    const Chain chain = Parse(row.expression);
    EXPECT_TRUE(chain.result.Succeeded);
    EXPECT_EQ(chain.result.Statements, row.statements);
    EXPECT_EQ(chain.result.Position, row.position);
    EXPECT_EQ(chain.position, row.position);
    EXPECT_EQ(chain.result.Message, "Successfully created formatting statement");
    EXPECT_EQ(chain.state.mMessage, "Successfully created formatting statement");
    EXPECT_TRUE(chain.state.mLabelsValid);
  }
}

TEST(ParseFormattingStatements, ReadsEveryKeywordWhateverItsCaseAndStoresTheTableName) {
  ExpectChains({
      {"[F].average", {Statement("Average")}, 11},
      {"[F].COUNT", {Statement("Count")}, 9},
      {"[F].First", {Statement("First")}, 9},
      {"[F].last", {Statement("Last")}, 8},
      {"[F].MAXIMUM", {Statement("Maximum")}, 11},
      {"[F].minimum", {Statement("Minimum")}, 11},
      {"[F].stddev", {Statement("StdDev")}, 10},
      {"[F].SUM", {Statement("Sum")}, 7},
      {"[F].vAriance", {Statement("Variance")}, 12},
      {"[F].abs", {Statement("Abs")}, 7},
      {"[F].formatcurrency", {Statement("FormatCurrency")}, 18},
      {"[F].FORMATNUMBER(2)", {Statement("FormatNumber", 2)}, 19},
      {"[F].format(0.0)", {Statement("Format", "0.0")}, 15},
      {"[F].lcase", {Statement("LCase")}, 9},
      {"[F].LEFT(3)", {Statement("Left", 3)}, 11},
      {"[F].ltrim", {Statement("LTrim")}, 9},
      {"[F].mid(2,3)", {Statement("Mid", 2, 3)}, 12},
      {"[F].REPLACE(a,b)", {Statement("Replace", "a", "b")}, 16},
      {"[F].right(4)", {Statement("Right", 4)}, 12},
      {"[F].round(1)", {Statement("Round", 1)}, 12},
      {"[F].rtrim", {Statement("RTrim")}, 9},
      {"[F].spaces(5)", {Statement("Spaces", 5)}, 13},
      {"[F].tcase", {Statement("TCase")}, 9},
      {"[F].TRIM", {Statement("Trim")}, 8},
      {"[F].ucase", {Statement("UCase")}, 9},
  });
}

TEST(ParseFormattingStatements, EndsTheChainAtTheFirstTextThatIsNoKeyword) {
  ExpectChains({
      // Nothing usable after the "]": the placeholder, and Position stays on the "]".
      {"[POP]", {Statement("NONE")}, 5},
      {"[POP] .Sum", {Statement("NONE")}, 5},
      {"[POP][B]", {Statement("NONE")}, 5},
      {"[POP]Sum", {Statement("NONE")}, 5},
      {"[POP].Foo", {Statement("NONE")}, 5},
      {"[POP]. Sum", {Statement("NONE")}, 5},
      {"[POP].", {Statement("NONE")}, 5},
      {"[POP].Su", {Statement("NONE")}, 5},
      {"x[POP]", {Statement("NONE")}, 6},
      // The chain stops at the last character of a keyword or at the ")" of its arguments.
      {"[POP].sum.formatnumber(2)", {Statement("Sum"), Statement("FormatNumber", 2)}, 25},
      {"[POP].Sum.FormatNumber(0) people", {Statement("Sum"), Statement("FormatNumber", 0)}, 25},
      {"[POP].Sum.Bold.UCase", {Statement("Sum")}, 9},
      {"[POP].Sum .UCase", {Statement("Sum")}, 9},
      // Any order, repeats included; meaning is checked elsewhere.
      {"[POP].UCase.Sum", {Statement("UCase"), Statement("Sum")}, 15},
      {"[POP].Sum.Count.Sum", {Statement("Sum"), Statement("Count"), Statement("Sum")}, 19},
  });
}

// A keyword is matched over its own length only; what follows it is not looked at.
TEST(ParseFormattingStatements, MatchesTheFirstKeywordThatTheTextBeginsWith) {
  ExpectChains({
      {"[POP].Summary", {Statement("Sum")}, 9},
      {"[POP].Trimmed", {Statement("Trim")}, 10},
      {"[POP].Counts.Sum", {Statement("Count")}, 11},
      {"[POP].Sum.FormatCurrency(2)", {Statement("Sum"), Statement("FormatCurrency")}, 24},
      {"[POP].Sum.FormatCurrencyX", {Statement("Sum"), Statement("FormatCurrency")}, 24},
      {"[POP].Sum.Abs(2)", {Statement("Sum"), Statement("Abs")}, 13},
      {"[POP].Sum.FormatNumber(1).Format(x)",
       {Statement("Sum"), Statement("FormatNumber", 1), Statement("Format", "x")},
       35},
  });
}

TEST(ParseFormattingStatements, ConvertsNumericArgumentsToLongsRoundingHalfToEven) {
  ExpectChains({
      {"[A].Left( 3 )", {Statement("Left", 3)}, 13},
      {"[A].Left(+7)", {Statement("Left", 7)}, 12},
      {"[A].Left(-1)", {Statement("Left", -1)}, 12},
      {"[A].Spaces(0)", {Statement("Spaces", 0)}, 13},
      {"[A].Right(1e3)", {Statement("Right", 1000)}, 14},
      {"[A].Round(1.5)", {Statement("Round", 2)}, 14},
      {"[A].Round(2.5)", {Statement("Round", 2)}, 14},
      {"[A].Round(3.5)", {Statement("Round", 4)}, 14},
      {"[A].Round(-2.5)", {Statement("Round", -2)}, 15},
      {"[A].Round(2.51)", {Statement("Round", 3)}, 15},
      {"[A].FormatNumber(2147483647)", {Statement("FormatNumber", 2147483647)}, 28},
      {"[A].FormatNumber(-2147483648)", {Statement("FormatNumber", INT32_MIN)}, 29},
      {"[A].FormatNumber(-2147483648.5)", {Statement("FormatNumber", INT32_MIN)}, 31},
      {"[A].Mid(2,3)", {Statement("Mid", 2, 3)}, 12},
      {"[A].Mid( 2 , 3 )", {Statement("Mid", 2, 3)}, 16},
      {"[A].Mid(2.5,3.5)", {Statement("Mid", 2, 4)}, 16},
      {"[A].Mid(-1,0)", {Statement("Mid", -1, 0)}, 13},
  });
}

// Text arguments keep every character as written; there is no quoting or nesting.
TEST(ParseFormattingStatements, TakesTextArgumentsUpToTheFirstClosingParenthesis) {
  ExpectChains({
      {"[A].Format()", {Statement("Format", "")}, 12},
      {"[A].Format(\"0.0\")", {Statement("Format", "\"0.0\"")}, 17},
      {"[A].Format(#,##0.00)", {Statement("Format", "#,##0.00")}, 20},
      {"[A].Format( 0 )", {Statement("Format", " 0 ")}, 15},
      {"[A].Format((0))", {Statement("Format", "(0")}, 14},
      // Without its own ")" the instructions run to the next ")" and the chain goes on there.
      {"[A].Sum.Format(0.0.Left(3).UCase",
       {Statement("Sum"), Statement("Format", "0.0.Left(3"), Statement("UCase")},
       32},
      {"[A].Replace(,)", {Statement("Replace", "", "")}, 14},
      {"[A].Replace( a ,'b')", {Statement("Replace", " a ", "'b'")}, 20},
      {"[A].Replace(a,b,c)", {Statement("Replace", "a", "b,c")}, 18},
      // The search text runs to the first "," even over a ")", which still ends the statement.
      {"[A].Replace(a),b)", {Statement("Replace", "a)", "b")}, 14},
      {"[A].Replace(x).Sum,y)", {Statement("Replace", "x).Sum", "y"), Statement("Sum")}, 18},
  });
}

struct FaultRow {
  std::string expression;
  std::string message;
};

// Every fault of every statement with arguments, after a ".Sum" that was parsed whole: the
// parse stops there with the records so far, no placeholder, and Position after ".Sum".
TEST(ParseFormattingStatements, ReportsEachArgumentFaultWithItsStatementsMessage) {
  const std::vector<FaultRow> rows = {
      {"[POP].Sum.FormatNumber",
       "Improper \".FormatNumber(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.FormatNumberX",
       "Improper \".FormatNumber(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.FormatNumber (0)",
       "Improper \".FormatNumber(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.FormatNumber(0",
       "Improper \".FormatNumber(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.FormatNumber(x)",
       "Improper \".FormatNumber(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.FormatNumber()",
       "Improper \".FormatNumber(0)\" formatting statement after [POP] Field!"},

      {"[POP].Sum.Format",
       "Improper \".Format(Instructions)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Formatx",
       "Improper \".Format(Instructions)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.FormatCurrenc(2)",
       "Improper \".Format(Instructions)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Format(0.0",
       "Improper \".Format(Instructions)\" formatting statement after [POP] Field!"},

      {"[POP].Sum.Left", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Leftover", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Left(3", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Left(x)", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Left()", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Left( )", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Left(3 4)", "Improper \".Left(0)\" formatting statement after [POP] Field!"},

      {"[POP].Sum.Right", "Improper \".Right(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Right(3", "Improper \".Right(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Right(x)", "Improper \".Right(0)\" formatting statement after [POP] Field!"},

      {"[POP].Sum.Round", "Improper \".Round(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Round(3", "Improper \".Round(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Round(1.2.3)", "Improper \".Round(0)\" formatting statement after [POP] Field!"},

      {"[POP].Sum.Spaces", "Improper \".Spaces(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Spaces(3", "Improper \".Spaces(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Spaces(x)", "Improper \".Spaces(0)\" formatting statement after [POP] Field!"},

      // ".Mid": "(", ")", ",", start, ")" after the ",", length.
      {"[POP].Sum.Mid", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Midnight", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(2,3", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(2)", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(x,3)", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(2) x,3)", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid((2),3", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(2,x)", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(2,)", "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},

      // ".Replace": "(", then any ")" (its own message), then ",", then ")" after the ",".
      {"[POP].Sum.Replace",
       "Improper \".Replace(Search,Replace)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Replaced(a,b)",
       "Improper \".Replace(Search,Replace)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Replace(a,b",
       "Improper \".Replace(Search,Replace))\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Replace(ab",
       "Improper \".Replace(Search,Replace))\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Replace(ab)",
       "Improper \".Replace(Search,Replace)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Replace(a),b",
       "Improper \".Replace(Search,Replace)\" formatting statement after [POP] Field!"},

      // Numbers are tested before any is converted: an out-of-range number in a malformed
      // statement still gets the statement's message.
      {"[POP].Sum.Left(3000000000",
       "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(3000000000,x)",
       "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      {"[POP].Sum.Mid(3000000000,1",
       "Improper \".Mid(0,0)\" formatting statement after [POP] Field!"},
      // Only the first fault counts.
      {"[POP].Sum.Left(x).Mid", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
  };
  for (const FaultRow& row : rows) {
    SCOPED_TRACE(row.expression);
    const Chain chain = Parse(row.expression);
    EXPECT_TRUE(FailedWith(chain.result.Succeeded, chain.state, row.message));
    EXPECT_EQ(chain.result.Message, row.message);
    EXPECT_EQ(chain.result.Statements, FormattingStatements{Statement("Sum")});
    EXPECT_EQ(chain.result.Position, 9);
    EXPECT_EQ(chain.position, 9);
  }
}

// The field name in the message is exactly what stands between the brackets.
TEST(ParseFormattingStatements, NamesTheFieldAsWrittenAndKeepsNothingOnAFirstFault) {
  const std::vector<FaultRow> rows = {
      {"[POP].Left(x)", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"x[ Pop 2000 ].Round",
       "Improper \".Round(0)\" formatting statement after [ Pop 2000 ] Field!"},
      {"[Straße].Mid(1)", "Improper \".Mid(0,0)\" formatting statement after [Straße] Field!"},
      {"[a.b].Format",
       "Improper \".Format(Instructions)\" formatting statement after [a.b] Field!"},
  };
  for (const FaultRow& row : rows) {
    SCOPED_TRACE(row.expression);
    const Chain chain = Parse(row.expression);
    EXPECT_TRUE(FailedWith(chain.result.Succeeded, chain.state, row.message));
    EXPECT_TRUE(chain.result.Statements.empty());
    EXPECT_EQ(chain.result.Position, static_cast<int32_t>(row.expression.find(']') + 1));
  }
}

// A number that passes the numeric test but lies outside 32 bits ends the parse with the
// message set on entry, without the field name.
TEST(ParseFormattingStatements, FailsWithTheUnknownErrorWhenANumberOverflows32Bits) {
  for (const std::string expression : {
           "[POP].Sum.Left(3000000000)",
           "[POP].Sum.Right(2147483648)",
           "[POP].Sum.Round(2147483647.5)",
           "[POP].Sum.Spaces(-2147483649)",
           "[POP].Sum.FormatNumber(1e10)",
           "[POP].Sum.Mid(3000000000,1)",
           "[POP].Sum.Mid(1,-3000000000)",
       }) {
    SCOPED_TRACE(expression);
    const Chain chain = Parse(expression);
    EXPECT_TRUE(FailedWith(chain.result.Succeeded, chain.state, kUnknown));
    EXPECT_EQ(chain.result.Message, kUnknown);
    EXPECT_EQ(chain.result.Statements, FormattingStatements{Statement("Sum")});
    EXPECT_EQ(chain.result.Position, 9);
    EXPECT_EQ(chain.position, 9);
  }
}

// The verifier asks the keyword table which first statements name a statistic.
TEST(StatementKeywords, SeparatesTheNineSummaryMethodsFromTheFunctions) {
  for (const char* name : {"Average", "Count", "First", "Last", "Maximum", "Minimum", "StdDev",
                           "Sum", "Variance", "sum", "STDDEV"})
    EXPECT_TRUE(IsSummaryMethod(name)) << name;
  for (const char* name : {"NONE", "UCase", "FormatNumber", "Abs", "Su", "Summary", ""})
    EXPECT_FALSE(IsSummaryMethod(name)) << name;
  EXPECT_EQ(StatementKeywords().size(), 25u);
}

}  // namespace
}  // namespace quillet
