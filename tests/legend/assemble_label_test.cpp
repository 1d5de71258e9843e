#include "legend/assemble_label.h"

#include <gtest/gtest.h>

#include "expression/evaluate_expression.h"
#include "expression/label_size.h"
#include "quillet/error.h"
#include "support/error_of.h"

namespace quillet {
namespace {

using runtime::Variant;

FieldSummary Summary(Variant first, Variant sum) {
  FieldSummary summary;
  summary.Add(first, "First");
  summary.Add(Variant::Integer(2), "Count");
  summary.Add(sum, "Sum");
  return summary;
}

// Parses `expression` into a state and assembles it over one field POP and one field NAME.
class AssembleLabelTest : public ::testing::Test {
 protected:
  AssembleLabelTest() {
    summaries_.Add(Summary(Variant::Long(7), Variant::Double(1234567.891)), "POP");
    summaries_.Add(Summary(Variant("Durham"), Variant::Integer(0)), "NAME");
  }

  std::string Assemble(std::string expression, int16_t wrap = 0) {
    ExpressionParse parse = EvaluateExpression(expression, state_.locale);
    EXPECT_TRUE(parse.Succeeded) << parse.Message;
    state_.mExpressionParts = std::move(parse.Parts);
    state_.mWrapLength = wrap;
    return AssembleLabel(state_, summaries_, [](const std::string& name) {
      return std::optional<std::string>(name == "LABEL" ? "Urban" : "<value " + name + ">");
    });
  }

  QuilletState state_;
  FieldSummaries summaries_;
};

TEST_F(AssembleLabelTest, FieldsTakeTheirSummaryThenEachFurtherStatement) {
  EXPECT_EQ(Assemble("[POP].Sum.FormatNumber(0) people"), "1,234,568 people");
  EXPECT_EQ(Assemble("[pop].SUM.Round(1)"), "1234567.9");
  EXPECT_EQ(Assemble("[NAME].First.UCase, [POP].Count of [POP].First"), "DURHAM, 2 of 7");
}

// Characters are counted, not bytes: 65,535 two-byte characters and one more fit.
TEST_F(AssembleLabelTest, ALabelHoldsAtMostTheLongestLabelsCharacters) {
  std::string text;
  for (size_t i = 1; i < kLongestLabel; ++i)
    text += "\xC3\xA9";
  EXPECT_EQ(Assemble(text + "[POP].First"), text + "7");
  const runtime::Error error = test::ErrorOf([&] { Assemble(text + "[POP].Sum"); });
  EXPECT_EQ(error.Number(), 14);
  EXPECT_EQ(error.Description(), "Out of string space: a label holds at most 65536 characters");
  EXPECT_EQ(test::ErrorOf([&] { Assemble(text + "$$LABEL"); }).Number(), 14);
  EXPECT_EQ(test::ErrorOf([&] { Assemble(text + "[POP].First!"); }).Number(), 14);
}

TEST_F(AssembleLabelTest, NewlineMarkersInAnyCaseBreakLinesThenAPositiveLimitWraps) {
  EXPECT_EQ(Assemble("a$$NEWLINEb$$newline[POP].First$$NewLine"), "a\r\nb\r\n7\r\n");
  EXPECT_EQ(ReplaceNewlineMarkers("São$$newlinePaulo$$NEWLIN"), "São\r\nPaulo$$NEWLIN");

  const std::string text = "Population of the county 2000";
  EXPECT_EQ(Assemble(text, 0), text);
  EXPECT_EQ(Assemble(text, 10), "Population\r\nof the\r\ncounty\r\n2000");
}

}  // namespace
}  // namespace quillet
