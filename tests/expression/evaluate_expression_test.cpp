#include "expression/evaluate_expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expression/parser_test_support.h"

namespace quillet {
namespace {

using test::Field;
using test::Legend;
using test::Statement;
using test::Text;

constexpr const char* kNoFields = "Expression is Valid but contains no fields!";
constexpr const char* kStatementsDone = "Successfully created formatting statement";

struct PartsRow {
  std::string expression;
  ExpressionParts parts;
};

ExpressionParse Evaluate(std::string expression) {
  return EvaluateExpression(expression, runtime::Locale::EnUs());
}

// Each expression succeeds with exactly these parts and this message.
void ExpectParts(const std::vector<PartsRow>& rows, const std::string& message) {
  for (const PartsRow& row : rows) {
    SCOPED_TRACE(row.expression);
    const ExpressionParse parse = Evaluate(row.expression);
    EXPECT_TRUE(parse.Succeeded);
    EXPECT_EQ(parse.Message, message);
    EXPECT_EQ(parse.Parts, row.parts);
  }
}

// The checks on the whole text run first, in this order, whatever the scan would find; then
// the scan stops at the first fault from the left. A failing statement chain hands its
// message on unchanged.
TEST(EvaluateExpression, ReportsTheFirstFault) {
  const std::string kNested = "Missing close bracket (\"]\") or nested field names!";
  const std::string kNoOpen = "Missing Open bracket (\"[\") or nested field names!";
  const std::string kEmpty = "Empty Field name brackets (\"[ ]\")!";
  const std::string kNoClose = "Missing close bracket (\"]\")!";
  const struct {
    std::string expression;
    std::string message;
  } rows[] = {
      {"", "Expression is empty."},
      {"\n\r\t", "Expression is empty."},
      {"[A[B", "Missing close bracket(\"]\") on field name."},
      // A "[" inside what would be a statement's argument still counts.
      {"x.Format([)", "Missing close bracket(\"]\") on field name."},
      {"A]]", "Missing open bracket(\"[\") on field name."},
      {"[[A]", kNested},
      {"]A[", kNoOpen},
      {"[A]]", kNoOpen},
      {"[]", kEmpty},
      {"[A][]", kEmpty},
      {"a [B] c [D", kNoClose},
      {"[]]", kEmpty},
      {"[A]].Left(x)", kNoOpen},
      {"[A].Left(x) [B", "Improper \".Left(0)\" formatting statement after [A] Field!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expression);
    const ExpressionParse parse = Evaluate(row.expression);
    EXPECT_FALSE(parse.Succeeded);
    EXPECT_EQ(parse.Message, row.message);
  }
}

TEST(EvaluateExpression, SplitsFieldReferencesFromTheTextAroundThem) {
  ExpectParts(
      {{"Total: $$VALUE", {Text("Total: "), Legend("VALUE")}}, {"(.Sum)", {Text("(.Sum)")}}},
      kNoFields);
  ExpectParts(
      {
          {"Pop: [POP] people", {Text("Pop: "), Field("POP"), Text(" people")}},
          {"[A][B]", {Field("A"), Field("B")}},
          {"[ ]", {Field(" ")}},
          {"[A].Sum $$label [B]",
           {Field("A", {Statement("Sum")}), Text(" "), Legend("label"), Text(" "), Field("B")}},
          {"$$LABEL ([POP].Sum.FormatNumber(0) people)",
           {Legend("LABEL"), Text(" ("),
            Field("POP", {Statement("Sum"), Statement("FormatNumber", 0)}), Text(" people)")}},
          {"[POP].Summary", {Field("POP", {Statement("Sum")}), Text("mary")}},
          // Brackets that a statement consumed as its arguments are not brackets to the scan.
          {"[A].Replace(],[)x", {Field("A", {Statement("Replace", "]", "[")}), Text("x")}},
          // Field names and text keep their exact bytes, whatever the script.
          {"Größe: [Fläche].Sum km²",
           {Text("Größe: "), Field("Fläche", {Statement("Sum")}), Text(" km²")}},
      },
      kStatementsDone);
}

TEST(ParseLiteralText, KeepsEveryOtherDollarPairAsText) {
  const std::vector<PartsRow> rows = {
      {"", {}},
      {"$ $VALUE", {Text("$ $VALUE")}},
      {"$$VaLuE$$LABEL", {Legend("VaLuE"), Legend("LABEL")}},
      {"a $$label b", {Text("a "), Legend("label"), Text(" b")}},
      {"a$$NEWLINEb", {Text("a$$"), Text("NEWLINEb")}},
      {"x$$", {Text("x$$")}},
      {"$$$$VALUE", {Text("$$"), Legend("VALUE")}},
      {"$$$VALUE", {Text("$$"), Text("$VALUE")}},
      {"$$VALUES", {Legend("VALUE"), Text("S")}},
      {"$$VALU", {Text("$$"), Text("VALU")}},
      {"$$VALUE$$", {Legend("VALUE"), Text("$$")}},
      {"a$$$$", {Text("a$$"), Text("$$")}},
  };
  for (const PartsRow& row : rows) {
    SCOPED_TRACE(row.expression);
    EXPECT_EQ(ParseLiteralText(row.expression), row.parts);
  }
}

// CR LF, LF, CR and tab leave the caller's own string, even when it then fails; nothing
// else in it changes.
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
      {"x\r\ry\n\nz", "xyz", true, {Text("xyz")}},
      {"a \f\vb\xC2\xA0", "a \f\vb\xC2\xA0", true, {Text("a \f\vb\xC2\xA0")}},
      {"$$VAL\r\nUE", "$$VALUE", true, {Legend("VALUE")}},
      {"[A\r\n", "[A", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expression);
    std::string expression = row.expression;
    const ExpressionParse parse = EvaluateExpression(expression, runtime::Locale::EnUs());
    EXPECT_EQ(parse.Succeeded, row.succeeds);
    EXPECT_EQ(expression, row.cleaned);
    EXPECT_EQ(parse.Parts, row.parts);
  }
}

}  // namespace
}  // namespace quillet
