#include "legend/assemble_label.h"

#include <gtest/gtest.h>

#include "expression/evaluate_expression.h"
#include "quillet/error.h"

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
  EXPECT_THROW(Assemble("[AREA].Sum"), runtime::Error);  // no summary for the field
}

TEST_F(AssembleLabelTest, PseudoFieldsComeFromTheResolverAsTyped) {
  EXPECT_EQ(Assemble("$$LABEL: [POP].First"), "Urban: 7");
  EXPECT_EQ(Assemble("$$Value"), "<value Value>");
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
