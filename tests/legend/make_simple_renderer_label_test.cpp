#include <gtest/gtest.h>

#include "support/labeling.h"

namespace quillet {
namespace {

using platform::Simple;
using test::Parcels;

class SimpleRendererLabel : public ::testing::Test {
 protected:
  std::string LabelOf(const LayerPtr& layer, const std::string& expression) {
    const auto labels = run.Made(layer, expression);
    return labels.size() == 1 ? labels[0] : "<" + std::to_string(labels.size()) + " labels>";
  }
  test::Labeling run;
};

TEST_F(SimpleRendererLabel, SummariesOverAllFeatures) {
  const auto layer = Parcels(run.store).Renderer(Simple("All parcels")).Build();
  const struct {
    const char* expression;
    const char* label;
  } rows[] = {
      // The null is left out of the statistics but counted as a feature.
      {"[POP].Sum people in [POP].Count", "70 people in 4"},
      {"[POP].First-[POP].Last [POP].Minimum..[POP].Maximum", "10-40 10..40"},
      {"[POP].Average", "23.3333333333333"},
      {"[AREA].Sum [AREA].Variance", "11 0.8125"},  // population variance of 1.5, 2.5, 3, 4
      {"[TYPE].First to [TYPE].Last [BUILT].First", "A to C 3/4/2001"},
      {"Total: $$LABEL<$$VALUE>", "Total: All parcels<>"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(LabelOf(layer, row.expression), row.label);
}

// The definition expression applies only when asked; a selection set restricts the reading
// but not the statistics, whatever the selection switch says; a layer without features still
// gets its label.
TEST_F(SimpleRendererLabel, TheLayersDefinitionAndSelectionSet) {
  const auto defined = Parcels(run.store).Definition("POP > 10").Build();
  EXPECT_EQ(LabelOf(defined, "[POP].Sum/[POP].Count"), "60/2");
  const auto selected = Parcels(run.store, "parcels2").DefinitionSelection({2, 3}).Build();
  EXPECT_EQ(LabelOf(selected, "[POP].Count [TYPE].First [POP].Sum"), "2 B 70");
  run.labeler.ApplySelectionSet(runtime::kComTrue);
  EXPECT_EQ(LabelOf(selected, "[POP].Count [TYPE].First [POP].Sum"), "2 B 70");
  const auto empty = Parcels(run.store, "parcels3").Definition("POP > 1000").Build();
  EXPECT_EQ(LabelOf(empty, "n=[POP].Count first=[POP].First sum=[POP].Sum"), "n=0 first= sum=0");

  run.labeler.ApplyDefinitionQuery(runtime::kComFalse);
  EXPECT_EQ(LabelOf(defined, "[POP].Sum/[POP].Count"), "70/4");
}

}  // namespace
}  // namespace quillet
