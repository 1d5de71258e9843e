#include <gtest/gtest.h>

#include "expression/evaluate_expression.h"
#include "legend/label_makers.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::Simple;
using test::Labeling;
using test::Parcels;

class SimpleRendererLabel : public ::testing::Test {
 protected:
  std::string LabelOf(const LayerPtr& layer, const std::string& expression) {
    EXPECT_TRUE(run.Make(layer, expression)) << expression << ": " << run.labeler.Message();
    const auto labels = run.Labels();
    return labels.size() == 1 ? labels[0] : "<" + std::to_string(labels.size()) + " labels>";
  }
  Labeling run;
};

TEST_F(SimpleRendererLabel, SummariesOverAllFeatures) {
  const auto layer = Parcels(run.store).Renderer(Simple("All parcels")).Build();
  const struct {
    const char* expression;
    const char* label;
  } rows[] = {
      {"[POP].Sum people", "70 people"},  // the null is left out of the statistics
      {"[POP].Count", "4"},               // but counted as a feature
      {"[POP].First-[POP].Last", "10-40"},
      {"[POP].Minimum..[POP].Maximum", "10..40"},
      {"[POP].Average", "23.3333333333333"},
      {"[AREA].Sum [AREA].Variance", "11 0.8125"},  // population variance of 1.5, 2.5, 3, 4
      {"[TYPE].First to [TYPE].Last", "A to C"},
      {"[BUILT].First", "3/4/2001"},
      {"[POP].Sum and [pop].Maximum", "70 and 40"},  // one field, summarised once
      {"$$LABEL: [POP].Sum.FormatNumber(1)", "All parcels: 70.0"},
      {"Total", "Total"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(LabelOf(layer, row.expression), row.label);
}

// Verification refuses it, but the maker itself summarises a text field as 0.
TEST(SimpleRendererLabelAlone, TextUnderANumericSummaryIsZero) {
  platform::FeatureStore store;
  const auto layer = Parcels(store).Build();
  QuilletState state = test::PlatformState();
  std::string expression = "[TYPE].Sum [TYPE].Variance [TYPE].Count";
  ASSERT_TRUE(EvaluateExpression(state, expression));
  ASSERT_TRUE(MakeSimpleRendererLabel(state, layer, runtime::Variant::Long(-1), false))
      << state.mMessage;
  EXPECT_EQ(test::Items(state.Labels()), std::vector<std::string>{"0 0 4"});
}

TEST_F(SimpleRendererLabel, ValuePseudoFieldGivesNothing) {
  const auto layer = Parcels(run.store).Renderer(Simple("All")).Build();
  EXPECT_EQ(LabelOf(layer, "<$$VALUE>"), "<>");
}

TEST_F(SimpleRendererLabel, DefinitionExpressionAppliesOnlyWhenAsked) {
  const auto layer = Parcels(run.store).Definition("POP > 10").Build();
  EXPECT_EQ(LabelOf(layer, "[POP].Sum/[POP].Count"), "60/2");
  run.labeler.ApplyDefinitionQuery(runtime::kComFalse);
  EXPECT_EQ(LabelOf(layer, "[POP].Sum/[POP].Count"), "70/4");
}

TEST_F(SimpleRendererLabel, SelectionSetRestrictsReadingButNotStatistics) {
  const auto layer = Parcels(run.store).DefinitionSelection({2, 3}).Build();
  EXPECT_EQ(LabelOf(layer, "[POP].Count [TYPE].First [POP].Sum"), "2 B 70");
}

TEST_F(SimpleRendererLabel, NoFeatureStillMakesALabel) {
  const auto layer = Parcels(run.store).Definition("POP > 1000").Build();
  EXPECT_EQ(LabelOf(layer, "n=[POP].Count first=[POP].First sum=[POP].Sum"), "n=0 first= sum=0");
}

TEST_F(SimpleRendererLabel, NewlinesAndWrapping) {
  const auto layer = Parcels(run.store).Build();
  EXPECT_EQ(LabelOf(layer, "Total$$newline[POP].Sum"), "Total\r\n70");
  run.labeler.WrapTextIfLongerThan(10);
  EXPECT_EQ(LabelOf(layer, "Population of the county [POP].Sum"),
            "Population\r\nof the\r\ncounty 70");
}

TEST_F(SimpleRendererLabel, EachRunReplacesTheLabels) {
  const auto layer = Parcels(run.store).Build();
  const auto first = run.labeler.Labels();
  LabelOf(layer, "one");
  LabelOf(layer, "two");
  EXPECT_EQ(run.Labels(), std::vector<std::string>{"two"});
  EXPECT_EQ(first->Count(), 0);
}

}  // namespace
}  // namespace quillet
