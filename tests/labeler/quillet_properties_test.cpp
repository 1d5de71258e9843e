#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "quillet/quillet.h"
#include "support/labeling.h"

namespace quillet {
namespace {

TEST(QuilletObject, ANewObjectStartsAtItsDefaults) {
  Quillet labeler(nullptr);
  EXPECT_EQ(labeler.ShowMessages(), 0);
  EXPECT_EQ(labeler.ApplyDefinitionQuery(), -1);
  EXPECT_EQ(labeler.ApplySelectionSet(), 0);
  EXPECT_EQ(labeler.UpdateAllOtherValues(), -1);
  EXPECT_EQ(labeler.WrapTextIfLongerThan(), 0);
  EXPECT_EQ(labeler.SkippedLegendItems(), 0);
  EXPECT_EQ(labeler.Message(), "");
  EXPECT_EQ(labeler.Labels()->Count(), 0);
  EXPECT_EQ(labeler.OriginalLabels()->Count(), 0);
}

// The collections handed out are the object's own, live, and outlive it.
TEST(QuilletObject, LabelsAreTheObjectsOwnLiveCollection) {
  std::shared_ptr<LabelCollection> labels;
  {
    Quillet labeler(nullptr);
    labels = labeler.Labels();
    labels->Add("written by the host");
    EXPECT_EQ(labeler.Labels(), labels);
    EXPECT_EQ(labeler.OriginalLabels(), labeler.OriginalLabels());
    EXPECT_NE(labeler.OriginalLabels(), labels);
  }
  EXPECT_EQ(labels->Item(1), "written by the host");
}

// Each object writes in its own locale while another object in another thread labels in
// another locale.
TEST(QuilletObject, EachObjectHasItsOwnLocale) {
  const auto labelIn = [](const char* locale) {
    test::Labeling run;
    run.labeler.SetLocale(runtime::Locale::FromName(locale));
    const auto layer = test::Parcels(run.store).Build();
    std::vector<std::string> labels;
    for (int i = 0; i < 20; ++i) {
      run.Make(layer, "[POP].Sum.FormatNumber(1) [AREA].Average");
      labels.push_back(run.labeler.Labels()->Item(1));
    }
    return labels;
  };
  std::vector<std::string> german;
  std::thread other([&] { german = labelIn("de-DE"); });
  const std::vector<std::string> american = labelIn("en-US");
  other.join();
  EXPECT_EQ(american, std::vector<std::string>(20, "70.0 2.75"));
  EXPECT_EQ(german, std::vector<std::string>(20, "70,0 2,75"));
  EXPECT_EQ(Quillet(nullptr).Locale().name, "en-US");
}

}  // namespace
}  // namespace quillet
