#include <gtest/gtest.h>

#include "support/dual_role_renderer.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::ClassBreaks;
using platform::ProportionalSymbol;
using platform::Simple;
using platform::UniqueValue;
using test::Labeling;
using test::Parcels;
using Labels = std::vector<std::string>;

TEST(MakeLabelsFlow, TheEarlierRendererKindWins) {
  Labeling run;
  const auto layer =
      Parcels(run.store).Renderer(std::make_shared<test::UniqueValueAndClassBreaks>()).Build();
  ASSERT_TRUE(run.Make(layer, "$$LABEL: [POP].Count")) << run.labeler.Message();
  EXPECT_EQ(run.Labels(), Labels{"Type A: 2"});
}

TEST(MakeLabelsFlow, AFailedRunHidesEarlierLabelsBehindItsMessage) {
  Labeling run;
  const auto layer = Parcels(run.store).Build();
  ASSERT_TRUE(run.Make(layer, "[POP].Sum"));
  const auto earlier = run.labeler.Labels();
  EXPECT_EQ(test::Items(*earlier), Labels{"70"});

  EXPECT_FALSE(run.Make(layer, "[POP].Median"));
  EXPECT_EQ(run.labeler.Message(), "Field \"POP\" does not have an appropriate summary method!");
  EXPECT_EQ(run.labeler.Labels()->Count(), 0);
  EXPECT_NE(run.labeler.Labels(), earlier);
  EXPECT_TRUE(run.boxes->Boxes().empty());

  ASSERT_TRUE(run.Make(layer, "[POP].Count"));
  EXPECT_EQ(run.Labels(), Labels{"4"});
}

TEST(MakeLabelsFlow, AFailingMakerIsReportedWithTheFallbackTextOnce) {
  Labeling run;
  const auto layer =
      Parcels(run.store).Renderer(ClassBreaks("POP").Break(20, "a").Break(20, "b")).Build();
  run.labeler.ShowMessages(runtime::kComTrue);
  EXPECT_EQ(run.labeler.ShowMessages(), -1);
  std::string expression = "[POP].Sum";
  EXPECT_EQ(run.labeler.MakeLabels(layer, expression), 0);
  EXPECT_EQ(run.labeler.Message(), "Unknown Error in MakeLabels!");
  ASSERT_EQ(run.boxes->Boxes().size(), 1u);
  EXPECT_EQ(run.boxes->Boxes()[0],
            (runtime::MessageBox{"Unknown Error in MakeLabels!", "Invalid Expression!", 16}));
}

TEST(MakeLabelsFlow, AVerificationFailureShowsOneBox) {
  Labeling run;
  const auto layer = Parcels(run.store).Renderer(ProportionalSymbol("POP")).Build();
  run.labeler.ShowMessages(1);  // any non-zero value is true
  EXPECT_FALSE(run.Make(layer, "[POP].Sum"));
  ASSERT_EQ(run.boxes->Boxes().size(), 1u);
  EXPECT_EQ(run.boxes->Boxes()[0].text,
            "Layer's legend must be a Simple, Unique Value, Graduated Color/Symbol, or "
            "Multi-Attribute type!");
}

TEST(MakeLabelsFlow, TheCallersExpressionLosesItsLineBreaksAndTabs) {
  Labeling run;
  const auto layer = Parcels(run.store).Build();
  std::string expression = "Total:\r\n\t[POP].Sum\rpeople\n";
  ASSERT_EQ(run.labeler.MakeLabels(layer, expression), -1);
  EXPECT_EQ(expression, "Total:[POP].Sumpeople");
  EXPECT_EQ(run.Labels(), Labels{"Total:70people"});
}

TEST(MakeLabelsFlow, ApplySelectionSetChangesNothing) {
  Labeling run;
  const auto layer = Parcels(run.store).DefinitionSelection({1}).Build();
  ASSERT_TRUE(run.Make(layer, "[POP].Count"));
  const Labels without = run.Labels();
  run.labeler.ApplySelectionSet(runtime::kComTrue);
  EXPECT_EQ(run.labeler.ApplySelectionSet(), -1);
  ASSERT_TRUE(run.Make(layer, "[POP].Count"));
  EXPECT_EQ(run.Labels(), without);
}

TEST(MakeLabelsFlow, ObjectsWithoutAMessageSinkShowNothing) {
  platform::FeatureStore store;
  const auto layer = Parcels(store).Build();
  Quillet labeler(std::make_shared<platform::ObjectFactory>());
  labeler.ShowMessages(runtime::kComTrue);
  std::string expression = "[NOPE].Sum";
  EXPECT_EQ(labeler.MakeLabels(layer, expression), 0);
  EXPECT_EQ(labeler.Message(), "Field \"NOPE\" does not exist in attribute table!");
}

}  // namespace
}  // namespace quillet
