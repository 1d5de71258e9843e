#include "expression/evaluate_expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expression/parser_test_support.h"

namespace quillet {
namespace {

using test::FailedWith;
using test::Field;
using test::Legend;
using test::Statement;
using test::Text;

constexpr const char* kNoFields = "Expression is Valid but contains no fields!";
constexpr const char* kStatementsDone = "Successfully created formatting statement";

struct FailureRow {
  std::string expression;
  std::string message;
};

void ExpectFailures(const std::vector<FailureRow>& rows) {
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.expression);
    QuilletState state;
    std::string expression = row.expression;
    EXPECT_TRUE(FailedWith(EvaluateExpression(state, expression), state, row.message));
  }
}

struct PartsRow {
  std::string expression;
  ExpressionParts parts;
};

// Each expression succeeds with exactly these parts and leaves `message` in `mMessage`.
void ExpectParts(const std::vector<PartsRow>& rows, const std::string& message) {
  for (const PartsRow& row : rows) {
    SCOPED_TRACE(row.expression);
    QuilletState state;
    state.mLabelsValid = false;
    state.mMessage = "left by an earlier call";
    std::string expression = row.expression;
    EXPECT_TRUE(EvaluateExpression(state, expression));
    EXPECT_TRUE(state.mLabelsValid);
    EXPECT_EQ(state.mMessage, message);
    EXPECT_EQ(state.mExpressionParts, row.parts);
  }
}

// The checks on the whole text run first, in this order, whatever the scan would find.
TEST(EvaluateExpression, ChecksTheWholeTextBeforeScanning) {
  ExpectFailures({
      {"", "Expression is empty."},
      {"\r\n\t\r\n", "Expression is empty."},
      {"\n", "Expression is empty."},
      {"\r", "Expression is empty."},
      {"\t", "Expression is empty."},
      {"[A", "Missing close bracket(\"]\") on field name."},
      {"[A[B", "Missing close bracket(\"]\") on field name."},
      {"[[", "Missing close bracket(\"]\") on field name."},
      {"[A\r\n", "Missing close bracket(\"]\") on field name."},
      {"A]", "Missing open bracket(\"[\") on field name."},
      {"A]]", "Missing open bracket(\"[\") on field name."},
      {"]", "Missing open bracket(\"[\") on field name."},
      // A "[" inside what would be a statement's argument still counts.
      {"x.Format([)", "Missing close bracket(\"]\") on field name."},
  });
}

TEST(EvaluateExpression, ReportsEachBracketFaultOfTheScan) {
  ExpectFailures({
      {"[A[B]]", "Missing close bracket (\"]\") or nested field names!"},
      {"[[A]", "Missing close bracket (\"]\") or nested field names!"},
      {"[A]]", "Missing Open bracket (\"[\") or nested field names!"},
      {"A]B[C]", "Missing Open bracket (\"[\") or nested field names!"},
      {"]A[", "Missing Open bracket (\"[\") or nested field names!"},
      {"[A].Sum]", "Missing Open bracket (\"[\") or nested field names!"},
      {"[]", "Empty Field name brackets (\"[ ]\")!"},
      {"x []y", "Empty Field name brackets (\"[ ]\")!"},
      {"[A][]", "Empty Field name brackets (\"[ ]\")!"},
      {"[A] [B", "Missing close bracket (\"]\")!"},
      {"[A][", "Missing close bracket (\"]\")!"},
      {"[A].Sum [B].Sum [", "Missing close bracket (\"]\")!"},
      // The scan stops at the first fault from the left.
      {"[]]", "Empty Field name brackets (\"[ ]\")!"},
      {"[A]].Left(x)", "Missing Open bracket (\"[\") or nested field names!"},
      {"[A].Left(x) [B", "Improper \".Left(0)\" formatting statement after [A] Field!"},
  });
}

// A failing statement chain hands its message on unchanged.
TEST(EvaluateExpression, PassesOnTheMessageOfAFailedStatementChain) {
  ExpectFailures({
      {"[POP].Left(x)", "Improper \".Left(0)\" formatting statement after [POP] Field!"},
      {"[A].Sum and [B].Sum.Replace(a,b",
       "Improper \".Replace(Search,Replace))\" formatting statement after [B] Field!"},
      {"[Straße].Sum.Mid(1)", "Improper \".Mid(0,0)\" formatting statement after [Straße] Field!"},
      {"[POP].Sum.Left(3000000000)", "Unknown Error Evaluating Expression"},
      {"Total [POP].Sum.Round(2147483647.5) people", "Unknown Error Evaluating Expression"},
  });
}

TEST(EvaluateExpression, SplitsAnExpressionWithoutFieldsIntoTextAndPseudoFields) {
  ExpectParts(
      {
          {"Total: $$VALUE", {Text("Total: "), Legend("VALUE")}},
          {"$$label", {Legend("label")}},
          {"plain text", {Text("plain text")}},
          {"a$$NEWLINEb", {Text("a$$"), Text("NEWLINEb")}},
          {"x$$", {Text("x$$")}},
          {"$$$$VALUE", {Text("$$"), Legend("VALUE")}},
          {"$$VALUES", {Legend("VALUE"), Text("S")}},
          {"(.Sum)", {Text("(.Sum)")}},
      },
      kNoFields);
}

TEST(EvaluateExpression, SplitsFieldReferencesFromTheTextAroundThem) {
  ExpectParts(
      {
          {"Pop: [POP] people", {Text("Pop: "), Field("POP"), Text(" people")}},
          {"[A][B]", {Field("A"), Field("B")}},
          {"[A]", {Field("A")}},
          {"[A]x", {Field("A"), Text("x")}},
          {"[A] $$LABEL [B]", {Field("A"), Text(" "), Legend("LABEL"), Text(" "), Field("B")}},
          {"[ ]", {Field(" ")}},
          {"[A].Foo", {Field("A"), Text(".Foo")}},
          {"[POP] .Sum", {Field("POP"), Text(" .Sum")}},
          {"[POP].Sum.FormatNumber(0) people",
           {Field("POP", {Statement("Sum"), Statement("FormatNumber", 0)}), Text(" people")}},
          {"$$LABEL ([POP].Sum.FormatNumber(0) people)",
           {Legend("LABEL"), Text(" ("),
            Field("POP", {Statement("Sum"), Statement("FormatNumber", 0)}), Text(" people)")}},
          {"[POP].Summary", {Field("POP", {Statement("Sum")}), Text("mary")}},
          {"[POP].Sum.Bold.UCase", {Field("POP", {Statement("Sum")}), Text(".Bold.UCase")}},
          {"[POP].Sum.FormatCurrency(2)",
           {Field("POP", {Statement("Sum"), Statement("FormatCurrency")}), Text("(2)")}},
          {"[A].Replace(a),b)", {Field("A", {Statement("Replace", "a)", "b")}), Text(",b)")}},
          {"[A].Sum$$NEWLINE[B].Count",
           {Field("A", {Statement("Sum")}), Text("$$"), Text("NEWLINE"),
            Field("B", {Statement("Count")})}},
          {"[A].Sum$$value[B].Sum",
           {Field("A", {Statement("Sum")}), Legend("value"), Field("B", {Statement("Sum")})}},
          // Brackets that a statement consumed as its arguments are not brackets to the scan.
          {"[A].Format([)", {Field("A", {Statement("Format", "[")})}},
          {"[A].Replace(],[)x", {Field("A", {Statement("Replace", "]", "[")}), Text("x")}},
      },
      kStatementsDone);
}

// Field names keep their exact bytes, whatever the script.
TEST(EvaluateExpression, KeepsNonAsciiFieldNamesAndTextAsWritten) {
  ExpectParts(
      {
          {"[Bevölkerung].Sum", {Field("Bevölkerung", {Statement("Sum")})}},
          {"Größe: [Fläche].Sum km²",
           {Text("Größe: "), Field("Fläche", {Statement("Sum")}), Text(" km²")}},
          {"[人口].Average", {Field("人口", {Statement("Average")})}},
      },
      kStatementsDone);
}

TEST(ParseLiteralText, KeepsEveryOtherDollarPairAsText) {
  const std::vector<PartsRow> rows = {
      {"", {}},
      {"abc", {Text("abc")}},
      {"$$VALUE", {Legend("VALUE")}},
      {"$$VaLuE$$LABEL", {Legend("VaLuE"), Legend("LABEL")}},
      {"a $$label b", {Text("a "), Legend("label"), Text(" b")}},
      {"a$$NEWLINEb", {Text("a$$"), Text("NEWLINEb")}},
      {"x$$", {Text("x$$")}},
      {"$$", {Text("$$")}},
      {"$$$$VALUE", {Text("$$"), Legend("VALUE")}},
      {"$$$VALUE", {Text("$$"), Text("$VALUE")}},
      {"$$VALUES", {Legend("VALUE"), Text("S")}},
      {"$$VALU", {Text("$$"), Text("VALU")}},
      {"$$VALUE$$", {Legend("VALUE"), Text("$$")}},
      {"a$$$$", {Text("a$$"), Text("$$")}},
      {"$ $VALUE", {Text("$ $VALUE")}},
      {"$$SKIPPED$$LABEL", {Text("$$"), Text("SKIPPED"), Legend("LABEL")}},
  };
  for (const PartsRow& row : rows) {
    SCOPED_TRACE(row.expression);
    EXPECT_EQ(ParseLiteralText(row.expression), row.parts);
  }
}

// CR LF, LF, CR and tab leave the caller's own string; nothing else in it changes.
TEST(EvaluateExpression, RemovesLineBreaksAndTabsFromTheCallersString) {
  struct Row {
    std::string expression;
    std::string cleaned;
    bool succeeds;
    ExpressionParts parts;
  };
  const std::vector<Row> rows = {
      {"[A]\r\n.Sum", "[A].Sum", true, {Field("A", {Statement("Sum")})}},
      {"[A].Left(\t3\n)", "[A].Left(3)", true, {Field("A", {Statement("Left", 3)})}},
      {"a\tb", "ab", true, {Text("ab")}},
      {"x\r\ry\n\nz", "xyz", true, {Text("xyz")}},
      {"Total:\r\n $$VALUE", "Total: $$VALUE", true, {Text("Total: "), Legend("VALUE")}},
      {"Total: $$VALUE", "Total: $$VALUE", true, {Text("Total: "), Legend("VALUE")}},
      {"a \f\vb\xC2\xA0", "a \f\vb\xC2\xA0", true, {Text("a \f\vb\xC2\xA0")}},
      {"$$VAL\r\nUE", "$$VALUE", true, {Legend("VALUE")}},
      {"\n\r\t", "", false, {}},
      {"[A\r\n", "[A", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expression);
    QuilletState state;
    std::string expression = row.expression;
    EXPECT_EQ(EvaluateExpression(state, expression), row.succeeds);
    EXPECT_EQ(expression, row.cleaned);
    EXPECT_EQ(state.mExpressionParts, row.parts);
  }
}

TEST(EvaluateExpression, ReplacesThePartsOfAnEarlierExpression) {
  QuilletState state;
  std::string first = "[A] and [B]";
  ASSERT_TRUE(EvaluateExpression(state, first));
  std::string second = "x";
  ASSERT_TRUE(EvaluateExpression(state, second));
  EXPECT_EQ(state.mExpressionParts, ExpressionParts{Text("x")});
  std::string empty;
  EXPECT_FALSE(EvaluateExpression(state, empty));
  EXPECT_TRUE(state.mExpressionParts.empty());
}

// The parts found before a fault stay; no caller reads them, but nothing removes them.
TEST(EvaluateExpression, KeepsThePartsFoundBeforeAFault) {
  struct Row {
    std::string expression;
    std::string message;
    ExpressionParts parts;
  };
  const std::vector<Row> rows = {
      {"a [B] c [D", "Missing close bracket (\"]\")!", {Text("a "), Field("B"), Text(" c ")}},
      {"$$VALUE [B].Sum [C].Left(x)",
       "Improper \".Left(0)\" formatting statement after [C] Field!",
       {Legend("VALUE"), Text(" "), Field("B", {Statement("Sum")}), Text(" ")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expression);
    QuilletState state;
    std::string expression = row.expression;
    EXPECT_TRUE(FailedWith(EvaluateExpression(state, expression), state, row.message));
    EXPECT_EQ(state.mExpressionParts, row.parts);
  }
}

// A success after a failure makes the object valid again and leaves the status message.
TEST(EvaluateExpression, MarksTheObjectValidAgainAfterAFailure) {
  QuilletState state;
  std::string bad = "[A";
  ASSERT_FALSE(EvaluateExpression(state, bad));
  std::string good = "[A].Sum";
  EXPECT_TRUE(EvaluateExpression(state, good));
  EXPECT_TRUE(state.mLabelsValid);
  EXPECT_EQ(state.mMessage, kStatementsDone);
  ASSERT_FALSE(EvaluateExpression(state, bad));
  std::string fieldless = "$$VALUE";
  EXPECT_TRUE(EvaluateExpression(state, fieldless));
  EXPECT_TRUE(state.mLabelsValid);
  EXPECT_EQ(state.mMessage, kNoFields);
}

}  // namespace
}  // namespace quillet
