#include <gtest/gtest.h>

#include "platform/renderers/class_breaks_renderer.h"
#include "platform/renderers/unique_value_renderer.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::ClassBreaks;
using platform::Foreign;
using platform::UniqueValue;
using test::Labeling;
using test::Parcels;
using Labels = std::vector<std::string>;

// A renderer that is a unique value renderer (TYPE A, "Type A") and a class breaks renderer
// (POP up to 100) at once, as a platform may offer.
class UniqueValueAndClassBreaks : public platform::UniqueValueRenderer,
                                  public platform::ClassBreaksRenderer {
 public:
  UniqueValueAndClassBreaks()
      : platform::UniqueValueRenderer({"TYPE"}), platform::ClassBreaksRenderer("POP", 0) {
    AddClass({"A"}, "Type A");
    AddBreak(100, "Up to 100");
  }
  int32_t ClassCount() const override { return UniqueValueRenderer::ClassCount(); }
  std::string Class(int32_t index) const override { return UniqueValueRenderer::Class(index); }
  std::string WhereClause(int32_t index, const gis::Table& table) const override {
    return UniqueValueRenderer::WhereClause(index, table);
  }
};

TEST(MakeLabelsFlow, TheEarlierRendererKindWins) {
  Labeling run;
  const auto layer =
      Parcels(run.store).Renderer(std::make_shared<UniqueValueAndClassBreaks>()).Build();
  EXPECT_EQ(run.Made(layer, "$$LABEL: [POP].Count"), Labels{"Type A: 2"});
}

TEST(MakeLabelsFlow, AFailedRunHidesEarlierLabelsUntilTheNextRun) {
  Labeling run;
  const auto layer = Parcels(run.store).Build();
  ASSERT_TRUE(run.Make(layer, "[POP].Sum"));
  const auto earlier = run.labeler.Labels();

  EXPECT_FALSE(run.Make(layer, "[POP].Median"));
  EXPECT_EQ(run.labeler.Message(), "Field \"POP\" does not have an appropriate summary method!");
  EXPECT_EQ(run.labeler.Labels()->Count(), 0);
  EXPECT_NE(run.labeler.Labels(), earlier);
  EXPECT_TRUE(run.boxes->Boxes().empty());

  // The next run makes a new collection; the one handed out before keeps its labels. The
  // caller's expression loses its line breaks and tabs.
  std::string expression = "[POP]\r\n.Count\t";
  ASSERT_EQ(run.labeler.MakeLabels(layer, expression), -1);
  EXPECT_EQ(expression, "[POP].Count");
  EXPECT_EQ(run.Labels(), Labels{"4"});
  EXPECT_EQ(test::Items(*earlier), Labels{"70"});
}

// A maker's failure (here equal breaks, or class keys equal but for case) is reported with the
// fallback text; a refusal by verification keeps its own text. Either shows one box, and an
// object without a message sink shows none.
TEST(MakeLabelsFlow, EachFailureShowsOneBox) {
  Labeling run;
  run.labeler.ShowMessages(1);  // any non-zero value is true
  const auto equalBreaks =
      Parcels(run.store).Renderer(ClassBreaks("POP").Break(20, "a").Break(20, "b")).Build();
  const auto caseKeys = Parcels(run.store, "parcels2")
                            .Renderer(UniqueValue("TYPE").Class({"A"}, "A").Class({"a"}, "a"))
                            .Build();
  const auto proportional =
      Parcels(run.store, "parcels3").Renderer(Foreign("proportionalSymbol")).Build();
  for (const auto& layer : {equalBreaks, caseKeys, proportional})
    EXPECT_FALSE(run.Make(layer, "[POP].Sum"));
  const runtime::MessageBox failure{"Unknown Error in MakeLabels!", "Invalid Expression!", 16};
  ASSERT_EQ(run.boxes->Boxes().size(), 3u);
  EXPECT_EQ(run.boxes->Boxes()[0], failure);
  EXPECT_EQ(run.boxes->Boxes()[1], failure);
  EXPECT_EQ(run.boxes->Boxes()[2].text.rfind("Layer's legend must be", 0), 0u);

  Quillet silent(run.factory);
  silent.ShowMessages(runtime::kComTrue);
  std::string expression = "[POP].Sum";
  EXPECT_EQ(silent.MakeLabels(proportional, expression), 0);
}

}  // namespace
}  // namespace quillet
