#include "legend/assemble_label.h"

#include <gtest/gtest.h>

#include "expression/evaluate_expression.h"
#include "runtime/error.h"

namespace quillet {
namespace {

using runtime::Variant;

FieldSummary Summary(Variant first, Variant sum) {
  FieldSummary summary;
  summary.Add(first, "First");
  summary.Add(first, "Last");
  summary.Add(Variant::Integer(2), "Count");
  for (const char* key : {"Maximum", "Average", "Minimum", "StdDev"})
    summary.Add(Variant::Double(0), key);
  summary.Add(sum, "Sum");
  summary.Add(Variant::Double(0), "Variance");
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
    EXPECT_TRUE(EvaluateExpression(state_, expression)) << state_.mMessage;
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
  EXPECT_EQ(Assemble("[NAME].First.UCase, [NAME].Sum"), "DURHAM, 0");
  EXPECT_EQ(Assemble("[POP].Count of [POP].First"), "2 of 7");
}

TEST_F(AssembleLabelTest, PseudoFieldsComeFromTheResolverAsTyped) {
  EXPECT_EQ(Assemble("$$LABEL: [POP].First"), "Urban: 7");
  EXPECT_EQ(Assemble("$$Value"), "<value Value>");
}

TEST_F(AssembleLabelTest, NewlineMarkersInAnyCaseBecomeLineBreaks) {
  EXPECT_EQ(Assemble("a$$NEWLINEb$$newline[POP].First$$NewLine"), "a\r\nb\r\n7\r\n");
}

TEST_F(AssembleLabelTest, WrapsOnlyWithAPositiveLimit) {
  const std::string text = "Population of the county 2000";
  EXPECT_EQ(Assemble(text, 0), text);
  EXPECT_EQ(Assemble(text, -3), text);
  EXPECT_EQ(Assemble(text, 10), "Population\r\nof the\r\ncounty\r\n2000");
}

TEST_F(AssembleLabelTest, AFieldWithoutASummaryFails) {
  std::string expression = "[AREA].Sum";
  ASSERT_TRUE(EvaluateExpression(state_, expression));
  EXPECT_THROW(AssembleLabel(state_, summaries_, [](const std::string&) { return std::nullopt; }),
               runtime::Error);
}

TEST(ReplaceNewlineMarkers, ReplacesEveryMarkerAndLeavesOtherText) {
  EXPECT_EQ(ReplaceNewlineMarkers("$$NEWLINE$$NEWLINE"), "\r\n\r\n");
  EXPECT_EQ(ReplaceNewlineMarkers("$$NEWLIN"), "$$NEWLIN");
  EXPECT_EQ(ReplaceNewlineMarkers("São$$newlinePaulo"), "São\r\nPaulo");
}

}  // namespace
}  // namespace quillet
