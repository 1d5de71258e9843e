#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/labeling.h"

namespace quillet {
namespace {

using platform::Foreign;
using platform::UniqueValue;
using test::Labeling;
using test::Parcels;
using Labels = std::vector<std::string>;

TEST(MakeLabelsFlow, AFailedRunHidesEarlierLabelsUntilTheNextRun) {
  Labeling run;
  const auto layer = Parcels(run.store).Build();
  ASSERT_TRUE(run.Make(layer, "[POP].Sum"));
  const auto earlier = run.labeler.Labels();

  EXPECT_FALSE(run.Make(layer, "[POP].Median"));
  EXPECT_EQ(run.labeler.Message(), "Field \"POP\" does not have an appropriate summary method!");
  EXPECT_EQ(run.labeler.Labels()->Count(), 0);
  EXPECT_TRUE(run.boxes->Boxes().empty());

  // The next run makes a new collection; the one handed out before keeps its labels. The
  // caller's expression loses its line breaks and tabs.
  std::string expression = "[POP]\r\n.Count\t";
  ASSERT_EQ(run.labeler.MakeLabels(layer, expression), -1);
  EXPECT_EQ(expression, "[POP].Count");
  EXPECT_EQ(run.Labels(), Labels{"4"});
  EXPECT_EQ(test::Items(*earlier), Labels{"70"});
}

// A maker's failure (here class keys equal but for case) is reported with the fallback text; a
// refusal by verification keeps its own text. Either shows one box, and an object without a
// message sink shows none.
TEST(MakeLabelsFlow, EachFailureShowsOneBox) {
  Labeling run;
  run.labeler.ShowMessages(1);  // any non-zero value is true
  const auto caseKeys =
      Parcels(run.store).Renderer(UniqueValue("TYPE").Class({"A"}, "A").Class({"a"}, "a")).Build();
  const auto proportional =
      Parcels(run.store, "parcels2").Renderer(Foreign("proportionalSymbol")).Build();
  for (const auto& layer : {caseKeys, proportional})
    EXPECT_FALSE(run.Make(layer, "[POP].Sum"));
  ASSERT_EQ(run.boxes->Boxes().size(), 2u);
  EXPECT_EQ(run.boxes->Boxes()[0],
            (runtime::MessageBox{"Unknown Error in MakeLabels!", "Invalid Expression!", 16}));
  EXPECT_THAT(run.boxes->Boxes()[1].text, ::testing::StartsWith("Layer's legend must be"));

  Quillet silent(run.factory);
  silent.ShowMessages(runtime::kComTrue);
  std::string expression = "[POP].Sum";
  EXPECT_EQ(silent.MakeLabels(proportional, expression), 0);
}

}  // namespace
}  // namespace quillet
