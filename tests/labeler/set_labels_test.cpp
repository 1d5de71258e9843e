#include <gtest/gtest.h>

#include "platform/bivariate_renderer.h"
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

// The labels a renderer shows, in legend order.
Labels Legend(const LayerPtr& layer) {
  auto renderer = gis::Require<gis::GeoFeatureLayer>(layer)->Renderer();
  if (auto bivariate = gis::As<gis::BivariateRenderer>(renderer))
    renderer = bivariate->MainRenderer();
  if (auto simple = gis::As<gis::SimpleRenderer>(renderer)) return {simple->Label()};
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  Labels labels;
  for (int32_t i = 0; i < classes->ClassCount(); ++i)
    labels.push_back(classes->Class(i));
  return labels;
}

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
  Labeling run;
};

TEST_F(WritingLabels, UniqueValuesRoundTripWithTheDefaultClass) {
  const auto layer = ByType();
  ASSERT_TRUE(run.Make(layer, "$$VALUE: [POP].Sum")) << run.labeler.Message();
  EXPECT_EQ(run.labeler.SetLabels(layer), -1) << run.labeler.Message();
  EXPECT_EQ(Legend(layer), (Labels{"A: 10", "B: 20", "Type Z", "<all other values>: 40"}));
  EXPECT_EQ(test::Items(*run.labeler.OriginalLabels()),
            (Labels{"Type A", "Type B", "Type Z", "Other"}));

  EXPECT_EQ(run.labeler.ResetLabels(layer), -1) << run.labeler.Message();
  EXPECT_EQ(Legend(layer), (Labels{"Type A", "Type B", "Type Z", "Other"}));
  EXPECT_EQ(run.labeler.ResetLabels(layer), -1);  // may be repeated
}

TEST_F(WritingLabels, TheDefaultLabelIsKeptWhenAllOtherValuesIsOff) {
  const auto layer = ByType();
  run.labeler.UpdateAllOtherValues(runtime::kComFalse);
  ASSERT_TRUE(run.Make(layer, "n=[POP].Count"));
  ASSERT_EQ(run.labeler.SetLabels(layer), -1);
  EXPECT_EQ(Legend(layer), (Labels{"n=2", "n=1", "Type Z", "Other"}));
  // Resetting writes the default label whatever the switch says.
  gis::Require<gis::UniqueValueRenderer>(gis::Require<gis::GeoFeatureLayer>(layer)->Renderer())
      ->SetDefaultLabel("changed");
  ASSERT_EQ(run.labeler.ResetLabels(layer), -1);
  EXPECT_EQ(Legend(layer).back(), "Other");
}

TEST_F(WritingLabels, SkippedEntriesInAnyCaseAreLeftAlone) {
  const auto byType = ByType();
  ASSERT_TRUE(run.Make(byType, "x"));
  auto labels = run.labeler.Labels();
  labels->Remove(1);
  labels->Remove(1);
  labels->Remove(1);
  labels->Remove(1);
  for (const char* label : {"$$skipped", "new B", "$$Skipped", "$$SKIPPED"})
    labels->Add(label);
  ASSERT_EQ(run.labeler.SetLabels(byType), -1) << run.labeler.Message();
  EXPECT_EQ(Legend(byType), (Labels{"Type A", "new B", "Type Z", "Other"}));
}

TEST_F(WritingLabels, OriginalsAreRecordedOnceForTheObjectsLife) {
  const auto layer = ByType();
  ASSERT_TRUE(run.Make(layer, "first [POP].Sum"));
  ASSERT_EQ(run.labeler.SetLabels(layer), -1);
  ASSERT_TRUE(run.Make(layer, "second [POP].Sum"));
  ASSERT_EQ(run.labeler.SetLabels(layer), -1);
  EXPECT_EQ(Legend(layer)[0], "second 10");
  EXPECT_EQ(test::Items(*run.labeler.OriginalLabels()),
            (Labels{"Type A", "Type B", "Type Z", "Other"}));
  ASSERT_EQ(run.labeler.ResetLabels(layer), -1);
  EXPECT_EQ(Legend(layer)[0], "Type A");
}

TEST_F(WritingLabels, ClassBreaksSimpleAndBivariateRoundTrip) {
  const auto breaks =
      Parcels(run.store).Renderer(ClassBreaks("POP").Break(15, "low").Break(50, "high")).Build();
  ASSERT_TRUE(run.Make(breaks, "$$LABEL ([POP].Sum)"));
  ASSERT_EQ(run.labeler.SetLabels(breaks), -1);
  EXPECT_EQ(Legend(breaks), (Labels{"low (10)", "high (60)"}));
  ASSERT_EQ(run.labeler.ResetLabels(breaks), -1);
  EXPECT_EQ(Legend(breaks), (Labels{"low", "high"}));

  Labeling single;
  const auto all = Parcels(single.store).Renderer(Simple("All parcels")).Build();
  ASSERT_TRUE(single.Make(all, "$$LABEL: [POP].Sum"));
  ASSERT_EQ(single.labeler.SetLabels(all), -1);
  EXPECT_EQ(Legend(all), Labels{"All parcels: 70"});
  ASSERT_EQ(single.labeler.ResetLabels(all), -1);
  EXPECT_EQ(Legend(all), Labels{"All parcels"});

  Labeling two;
  const auto bivariate =
      Parcels(two.store)
          .Renderer(Bivariate(UniqueValue("TYPE").Class({"A"}, "A").Default("rest"),
                              ProportionalSymbol("AREA")))
          .Build();
  const auto renderer = gis::As<platform::BivariateRenderer>(
      gis::Require<gis::GeoFeatureLayer>(bivariate)->Renderer());
  ASSERT_TRUE(renderer);
  ASSERT_TRUE(two.Make(bivariate, "$$LABEL [POP].Count"));
  ASSERT_EQ(two.labeler.SetLabels(bivariate), -1);
  EXPECT_EQ(Legend(bivariate), (Labels{"A 2", "rest 2"}));
  EXPECT_EQ(renderer->LegendBuildCount(), 1);
  ASSERT_EQ(two.labeler.ResetLabels(bivariate), -1);
  EXPECT_EQ(Legend(bivariate), (Labels{"A", "rest"}));
  EXPECT_EQ(renderer->LegendBuildCount(), 2);
}

TEST_F(WritingLabels, ResetBeforeAnySetFails) {
  const auto layer = ByType();
  EXPECT_EQ(run.labeler.ResetLabels(layer), 0);
  EXPECT_EQ(run.labeler.Message(), "Subscript out of range");
  EXPECT_EQ(Legend(layer), (Labels{"Type A", "Type B", "Type Z", "Other"}));
}

TEST_F(WritingLabels, SetBeforeAnyRunFailsButRecordsTheOriginals) {
  const auto layer = ByType();
  run.labeler.ShowMessages(runtime::kComTrue);
  EXPECT_EQ(run.labeler.SetLabels(layer), 0);
  EXPECT_EQ(run.labeler.Message(), "Subscript out of range 0");
  ASSERT_EQ(run.boxes->Boxes().size(), 1u);
  EXPECT_EQ(run.boxes->Boxes()[0],
            (runtime::MessageBox{"Subscript out of range 0", "Invalid Expression!", 16}));
  EXPECT_EQ(run.labeler.OriginalLabels()->Count(), 0);  // hidden while the last call failed
  ASSERT_TRUE(run.Make(layer, "$$LABEL!"));
  EXPECT_EQ(run.labeler.OriginalLabels()->Count(), 4);  // recorded by the failed call
}

TEST_F(WritingLabels, FewerLabelsThanEntriesWritesUpToTheGap) {
  const auto layer = ByType();
  run.labeler.Labels()->Add("only one");
  EXPECT_EQ(run.labeler.SetLabels(layer), 0);
  EXPECT_EQ(Legend(layer), (Labels{"only one", "Type B", "Type Z", "Other"}));
}

TEST_F(WritingLabels, OtherRenderersAndLayersAreLeftAlone) {
  const auto proportional = Parcels(run.store).Renderer(ProportionalSymbol("POP")).Build();
  EXPECT_EQ(run.labeler.SetLabels(proportional), -1);
  EXPECT_EQ(run.labeler.ResetLabels(proportional), -1);

  struct PlainLayer : gis::Layer {
    std::string Name() const override { return "plain"; }
  };
  EXPECT_EQ(run.labeler.ResetLabels(std::make_shared<PlainLayer>()), 0);
  EXPECT_EQ(run.labeler.Message(), "Type mismatch");
}

}  // namespace
}  // namespace quillet
