#include <gtest/gtest.h>

#include "platform/renderers/bivariate_renderer.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::Bivariate;
using platform::ClassBreaks;
using platform::Foreign;
using platform::UniqueValue;
using test::Parcels;
using Labels = std::vector<std::string>;

Labels Legend(const LayerPtr& layer) {
  auto renderer = gis::Require<gis::GeoFeatureLayer>(layer)->Renderer();
  if (auto bivariate = gis::As<gis::BivariateRenderer>(renderer))
    renderer = bivariate->MainRenderer();
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  Labels labels;
  for (int32_t i = 0; i < classes->ClassCount(); ++i)
    labels.push_back(classes->Class(i));
  return labels;
}

const Labels kByType{"Type A", "Type B", "Type Z", "Other"};

class WritingLabels : public ::testing::Test {
 protected:
  LayerPtr ByType() {
    return Parcels(run.store)
        .Renderer(UniqueValue("TYPE")
                      .Class({"A"}, "Type A")
                      .Class({"B"}, "Type B")
                      .Class({"Z"}, "Type Z")
                      .Default("Other"))
        .Build();
  }
  test::Labeling run;
};

// The originals are recorded by the first set and kept for the object's life.
TEST_F(WritingLabels, UniqueValuesRoundTripWithTheFirstOriginals) {
  const auto layer = ByType();
  ASSERT_TRUE(run.Make(layer, "$$VALUE: [POP].Sum")) << run.labeler.Message();
  EXPECT_EQ(run.labeler.SetLabels(layer), -1) << run.labeler.Message();
  EXPECT_EQ(Legend(layer), (Labels{"A: 10", "B: 20", "Type Z", "<all other values>: 40"}));
  ASSERT_TRUE(run.Make(layer, "second [POP].Sum"));
  ASSERT_EQ(run.labeler.SetLabels(layer), -1);
  EXPECT_EQ(Legend(layer)[0], "second 10");
  EXPECT_EQ(test::Items(*run.labeler.OriginalLabels()), kByType);

  EXPECT_EQ(run.labeler.ResetLabels(layer), -1) << run.labeler.Message();
  EXPECT_EQ(Legend(layer), kByType);
  EXPECT_EQ(run.labeler.ResetLabels(layer), -1);  // may be repeated
}

// Skipped entries are left alone, and so is the default label with "all other values" off;
// resetting writes the default label whatever the switch says.
TEST_F(WritingLabels, SkippedEntriesAndTheDefaultClassKeepTheirLabels) {
  const auto layer = ByType();
  for (const char* label : {"$$skipped", "new B", "$$Skipped", "$$SKIPPED"})
    run.labeler.Labels()->Add(label);
  ASSERT_EQ(run.labeler.SetLabels(layer), -1) << run.labeler.Message();
  EXPECT_EQ(Legend(layer), (Labels{"Type A", "new B", "Type Z", "Other"}));

  run.labeler.UpdateAllOtherValues(runtime::kComFalse);
  ASSERT_TRUE(run.Make(layer, "n=[POP].Count"));
  ASSERT_EQ(run.labeler.SetLabels(layer), -1);
  EXPECT_EQ(Legend(layer), (Labels{"n=2", "n=1", "Type Z", "Other"}));
  gis::Require<gis::UniqueValueRenderer>(gis::Require<gis::GeoFeatureLayer>(layer)->Renderer())
      ->SetDefaultLabel("changed");
  ASSERT_EQ(run.labeler.ResetLabels(layer), -1);
  EXPECT_EQ(Legend(layer), kByType);
}

TEST_F(WritingLabels, ClassBreaksAndBivariateRoundTrip) {
  // The legend after a set, then after a reset, with a fresh object each time, since the
  // originals are recorded once per object.
  const auto roundTrip = [&](const LayerPtr& layer, std::string expression) {
    Quillet labeler(run.factory);
    EXPECT_EQ(labeler.MakeLabels(layer, expression), -1) << labeler.Message();
    EXPECT_EQ(labeler.SetLabels(layer), -1);
    const Labels written = Legend(layer);
    EXPECT_EQ(labeler.ResetLabels(layer), -1);
    return std::vector<Labels>{written, Legend(layer)};
  };
  const auto breaks = ClassBreaks("POP").Break(15, "low").Break(50, "high");
  EXPECT_EQ(roundTrip(Parcels(run.store, "breaks").Renderer(breaks).Build(), "$$LABEL ([POP].Sum)"),
            (std::vector<Labels>{{"low (10)", "high (60)"}, {"low", "high"}}));
  const auto byType = UniqueValue("TYPE").Class({"A"}, "A").Default("rest");
  const auto bivariate = Parcels(run.store, "bivariate")
                             .Renderer(Bivariate(byType, Foreign("proportionalSymbol")))
                             .Build();
  EXPECT_EQ(roundTrip(bivariate, "$$LABEL [POP].Count"),
            (std::vector<Labels>{{"A 2", "rest 2"}, {"A", "rest"}}));
  // A bivariate legend shows the labels only once it is rebuilt: after the set and the reset.
  const auto renderer = gis::Require<gis::GeoFeatureLayer>(bivariate)->Renderer();
  EXPECT_EQ(gis::As<platform::BivariateRenderer>(renderer)->LegendBuildCount(), 2);
}

// Reset fails before any set. Set's own message carries the failing line after a blank; it
// records the originals first and writes the labels up to the gap.
TEST_F(WritingLabels, FailuresForWantOfOriginalsOrLabels) {
  const auto layer = ByType();
  run.labeler.ShowMessages(runtime::kComTrue);
  EXPECT_EQ(run.labeler.ResetLabels(layer), 0);
  EXPECT_EQ(run.labeler.Message(), "Subscript out of range");
  EXPECT_EQ(Legend(layer), kByType);

  EXPECT_EQ(run.labeler.SetLabels(layer), 0);
  EXPECT_EQ(run.labeler.Message(), "Subscript out of range 0");
  EXPECT_EQ(run.boxes->Boxes().size(), 2u);
  EXPECT_EQ(run.labeler.OriginalLabels()->Count(), 0);  // hidden while the last call failed

  ASSERT_TRUE(run.Make(Parcels(run.store, "simple").Build(), "one"));
  EXPECT_EQ(test::Items(*run.labeler.OriginalLabels()), kByType);
  EXPECT_EQ(run.labeler.SetLabels(layer), 0);
  EXPECT_EQ(Legend(layer), (Labels{"one", "Type B", "Type Z", "Other"}));
}

TEST_F(WritingLabels, OtherRenderersAndLayersAreLeftAlone) {
  const auto proportional = Parcels(run.store).Renderer(Foreign("proportionalSymbol")).Build();
  EXPECT_EQ(run.labeler.SetLabels(proportional), -1);
  EXPECT_EQ(run.labeler.ResetLabels(proportional), -1);
  EXPECT_EQ(run.labeler.ResetLabels(std::make_shared<test::PlainLayer>()), 0);
  EXPECT_EQ(run.labeler.Message(), "Type mismatch");
}

}  // namespace
}  // namespace quillet
