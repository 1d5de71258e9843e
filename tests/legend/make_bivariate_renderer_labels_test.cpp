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

// Called on its own, the maker's refusal of another main renderer keeps its own text, while a
// failed main maker (a class breaks one here) is reported under the bivariate fallback.
TEST(BivariateLabels, RefusalsAndFailuresOfTheMainRenderer) {
  platform::FeatureStore store;
  const QuilletState state = test::PlatformState("[POP].Sum");

  const auto proportional =
      Parcels(store).Renderer(Bivariate(Foreign("proportionalSymbol"), Simple())).Build();
  const LabelRun refused = MakeBivariateRendererLabels(state, proportional);
  EXPECT_FALSE(refused.Made);
  EXPECT_EQ(refused.Message,
            "Unsupported primary symbol renderer type on Multi-Attribute Renderer!");

  const auto equalBreaks = ClassBreaks("POP").Break(1, "a").Break(1, "b");
  const auto failing =
      Parcels(store, "parcels2").Renderer(Bivariate(equalBreaks, Simple())).Build();
  const LabelRun failed = MakeBivariateRendererLabels(state, failing);
  EXPECT_FALSE(failed.Made);
  EXPECT_EQ(failed.Message, "Unknown Error in MakeBivariateRendererLabels!");
}

}  // namespace
}  // namespace quillet
