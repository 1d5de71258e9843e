#include <gtest/gtest.h>

#include "legend/label_makers.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::Bivariate;
using platform::ClassBreaks;
using platform::Foreign;
using platform::Simple;
using test::Parcels;
using Labels = std::vector<std::string>;

// The unique value main renderer is labelled in labeler/set_labels_test.cpp.
TEST(BivariateLabels, AClassBreaksMainRendererGivesTheClasses) {
  test::Labeling run;
  const auto byPop = ClassBreaks("POP").Break(20, "up to 20").Break(40, "up to 40");
  const auto layer = Parcels(run.store).Renderer(Bivariate(byPop, Simple())).Build();
  EXPECT_EQ(run.Made(layer, "$$LABEL: [POP].Sum"), (Labels{"up to 20: 30", "up to 40: 40"}));
}

// Called on its own, the maker's refusal of another main renderer keeps its own text and makes
// no labels, while a failed main maker is reported under the bivariate fallback.
TEST(BivariateLabels, RefusalsAndFailuresOfTheMainRenderer) {
  platform::FeatureStore store;
  const QuilletState state = test::PlatformState("[POP].Sum");

  const auto proportional =
      Parcels(store).Renderer(Bivariate(Foreign("proportionalSymbol"), Simple())).Build();
  const LabelRun refused = MakeBivariateRendererLabels(state, proportional);
  EXPECT_FALSE(refused.Made);
  EXPECT_EQ(refused.Message,
            "Unsupported primary symbol renderer type on Multi-Attribute Renderer!");
  EXPECT_EQ(refused.Labels, nullptr);

  const auto equalBreaks = ClassBreaks("POP").Break(1, "a").Break(1, "b");
  const auto failing =
      Parcels(store, "parcels2").Renderer(Bivariate(equalBreaks, Simple())).Build();
  const LabelRun failed = MakeBivariateRendererLabels(state, failing);
  EXPECT_FALSE(failed.Made);
  EXPECT_EQ(failed.Message, "Unknown Error in MakeBivariateRendererLabels!");
}

}  // namespace
}  // namespace quillet
