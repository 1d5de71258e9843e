#include <gtest/gtest.h>

#include <memory>

#include "quillet/quillet.h"

namespace quillet {
namespace {

using runtime::ComBool;

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

// Each switch keeps exactly what the host stored, non-standard true values included.
TEST(QuilletObject, SwitchesStoreAnyValueUnchanged) {
  struct Switch {
    const char* name;
    ComBool (Quillet::*get)() const;
    void (Quillet::*let)(const ComBool&);
  };
  const Switch switches[] = {
      {"ShowMessages", &Quillet::ShowMessages, &Quillet::ShowMessages},
      {"ApplyDefinitionQuery", &Quillet::ApplyDefinitionQuery, &Quillet::ApplyDefinitionQuery},
      {"ApplySelectionSet", &Quillet::ApplySelectionSet, &Quillet::ApplySelectionSet},
      {"UpdateAllOtherValues", &Quillet::UpdateAllOtherValues, &Quillet::UpdateAllOtherValues},
  };
  for (const Switch& s : switches) {
    Quillet labeler(nullptr);
    for (ComBool value : {ComBool{-1}, ComBool{0}, ComBool{1}, ComBool{-32768}, ComBool{0}}) {
      (labeler.*s.let)(value);
      EXPECT_EQ((labeler.*s.get)(), value) << s.name;
    }
  }
}

TEST(QuilletObject, WrapLengthStoresAnyValueUnchanged) {
  Quillet labeler(nullptr);
  for (int16_t length : {int16_t{10}, int16_t{-5}, int16_t{32767}, int16_t{-32768}, int16_t{0}}) {
    labeler.WrapTextIfLongerThan(length);
    EXPECT_EQ(labeler.WrapTextIfLongerThan(), length);
  }
}

TEST(QuilletObject, LabelsAreTheObjectsOwnLiveCollection) {
  Quillet labeler(nullptr);
  auto labels = labeler.Labels();
  labels->Add("written by the host");
  EXPECT_EQ(labeler.Labels(), labels);
  EXPECT_EQ(labeler.Labels()->Count(), 1);

  auto originals = labeler.OriginalLabels();
  EXPECT_EQ(labeler.OriginalLabels(), originals);
  EXPECT_NE(originals, labels);
}

TEST(QuilletObject, TheCollectionsOutliveTheObject) {
  std::shared_ptr<LabelCollection> labels;
  {
    Quillet labeler(nullptr);
    labels = labeler.Labels();
    labels->Add("kept");
  }
  EXPECT_EQ(labels->Item(1), "kept");
}

}  // namespace
}  // namespace quillet
