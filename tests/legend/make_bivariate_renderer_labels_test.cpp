#include <gtest/gtest.h>

#include "expression/evaluate_expression.h"
#include "legend/label_makers.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::Bivariate;
using platform::ClassBreaks;
using platform::ProportionalSymbol;
using platform::Simple;
using platform::UniqueValue;
using test::Labeling;
using test::Parcels;
using Labels = std::vector<std::string>;

TEST(BivariateLabels, TheMainRendererGivesTheClasses) {
  Labeling run;
  const auto byType = UniqueValue("TYPE").Class({"A"}, "A").Class({"Z"}, "Z").Default("rest");
  const auto layer =
      Parcels(run.store).Renderer(Bivariate(byType, ProportionalSymbol("AREA"))).Build();
  ASSERT_TRUE(run.Make(layer, "$$VALUE [POP].Sum")) << run.labeler.Message();
  EXPECT_EQ(run.Labels(), (Labels{"A 10", "$$SKIPPED", "<all other values> 60"}));
  EXPECT_EQ(run.labeler.SkippedLegendItems(), -1);

  const auto byPop = ClassBreaks("POP").Break(20, "up to 20").Break(40, "up to 40");
  const auto graduated =
      Parcels(run.store, "parcels2").Renderer(Bivariate(byPop, Simple())).Build();
  ASSERT_TRUE(run.Make(graduated, "$$LABEL: [POP].Sum")) << run.labeler.Message();
  EXPECT_EQ(run.Labels(), (Labels{"up to 20: 30", "up to 40: 40"}));
}

// Called on its own, the maker's refusal of another main renderer keeps its own text.
TEST(BivariateLabels, AnotherMainRendererIsRefusedWithoutTouchingTheLabels) {
  platform::FeatureStore store;
  const auto layer =
      Parcels(store).Renderer(Bivariate(ProportionalSymbol("POP"), Simple())).Build();
  QuilletState state = test::PlatformState();
  state.Labels().Add("from before");
  std::string expression = "x";
  ASSERT_TRUE(EvaluateExpression(state, expression));
  EXPECT_FALSE(MakeBivariateRendererLabels(state, layer));
  EXPECT_EQ(state.mMessage,
            "Unsupported primary symbol renderer type on Multi-Attribute Renderer!");
  EXPECT_FALSE(state.mLabelsValid);
  EXPECT_EQ(test::Items(state.Labels()), Labels{"from before"});
}

TEST(BivariateLabels, AFailedMainMakerIsReportedAsTheBivariateFailure) {
  platform::FeatureStore store;
  const auto layer =
      Parcels(store)
          .Renderer(Bivariate(ClassBreaks("POP").Break(1, "a").Break(1, "b"), Simple()))
          .Build();
  QuilletState state = test::PlatformState();
  std::string expression = "[POP].Sum";
  ASSERT_TRUE(EvaluateExpression(state, expression));
  EXPECT_FALSE(MakeBivariateRendererLabels(state, layer));
  EXPECT_EQ(state.mMessage, "Unknown Error in MakeBivariateRendererLabels!");
}

}  // namespace
}  // namespace quillet
