#include <gtest/gtest.h>

#include "runtime/locale.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::ClassBreaks;
using test::Labeling;
using test::Parcels;
using Labels = std::vector<std::string>;

class ClassBreaksLabels : public ::testing::Test {
 protected:
  Labels Make(const LayerPtr& layer, const std::string& expression) {
    EXPECT_TRUE(run.Make(layer, expression)) << run.labeler.Message();
    return run.Labels();
  }
  Labeling run;
};

TEST_F(ClassBreaksLabels, EachClassIncludesItsUpperBreakOnly) {
  // POP 10, 20, null, 40: 10 is below the minimum break and still in class 0; 20 equals the
  // second break; 40 is above the last break and in no class.
  const auto layer =
      Parcels(run.store)
          .Renderer(
              ClassBreaks("POP").Minimum(15).Break(15, "low").Break(20, "middle").Break(30, "high"))
          .Build();
  EXPECT_EQ(Make(layer, "$$VALUE $$LABEL [POP].Sum/[POP].Count"),
            (Labels{"15 low 10/1", "20 middle 20/1", "$$SKIPPED"}));
  EXPECT_EQ(run.labeler.SkippedLegendItems(), -1);
  EXPECT_EQ(run.Queries(), (Labels{"( \"POP\" <= 15 )", "( \"POP\" > 15 AND \"POP\" <= 20 )",
                                   "( \"POP\" > 20 AND \"POP\" <= 30 )"}));
}

TEST_F(ClassBreaksLabels, WorkedExampleWithEmptyDelimitersAndADefinition) {
  const auto layer = platform::LayerBuilder(run.store, "towns")
                         .Field("TYPE", gis::kFieldInteger)
                         .Field("POP", gis::kFieldDouble)
                         .Rows({{1, 50.0}, {1, 120.0}, {2, 200.0}, {1, 250.0}})
                         .Category("ArcSDE")
                         .Definition("TYPE = 1")
                         .Renderer(ClassBreaks("POP").Break(100, "small").Break(250, "large"))
                         .Build();
  EXPECT_EQ(Make(layer, "[POP].Sum"), (Labels{"50", "370"}));
  EXPECT_EQ(run.Queries(), (Labels{"( TYPE = 1) AND ( ( POP <= 100 ) )",
                                   "( TYPE = 1) AND ( ( POP > 100 AND POP <= 250 ) )"}));
}

TEST_F(ClassBreaksLabels, BreaksAreWrittenInTheCurrentLocale) {
  const auto layer = Parcels(run.store)
                         .Renderer(ClassBreaks("AREA").Break(2.5, "small").Break(4, "large"))
                         .Build();
  EXPECT_EQ(Make(layer, "$$VALUE: [AREA].Sum"), (Labels{"2.5: 4", "4: 7"}));

  runtime::Locale comma;
  comma.decimalSeparator = ",";
  comma.groupSeparator = ".";
  runtime::SetCurrentLocale(comma);
  EXPECT_FALSE(run.Make(layer, "$$VALUE: [AREA].Sum"));  // SQLite reads "2,5" as a row value
  runtime::SetCurrentLocale(runtime::Locale::EnUs());
  ASSERT_GE(run.Queries().size(), 3u);
  EXPECT_EQ(run.Queries()[2], "( \"AREA\" <= 2,5 )");
}

TEST_F(ClassBreaksLabels, EqualBreaksFailTheRun) {
  const auto layer =
      Parcels(run.store).Renderer(ClassBreaks("POP").Break(20, "a").Break(20, "b")).Build();
  EXPECT_FALSE(run.Make(layer, "[POP].Sum"));
  EXPECT_EQ(run.labeler.Message(), "Unknown Error in MakeLabels!");
}

TEST_F(ClassBreaksLabels, ABreakBelowTheOneBeforeSelectsNothing) {
  const auto layer =
      Parcels(run.store).Renderer(ClassBreaks("POP").Break(40, "all").Break(20, "none")).Build();
  EXPECT_EQ(Make(layer, "[POP].Sum"), (Labels{"70", "$$SKIPPED"}));
  EXPECT_EQ(Make(layer, "$$LABEL"), (Labels{"all", "none"}));
}

TEST_F(ClassBreaksLabels, NoBreaksNoLabels) {
  const auto layer = Parcels(run.store).Renderer(ClassBreaks("POP")).Build();
  EXPECT_EQ(Make(layer, "[POP].Sum"), Labels{});
}

}  // namespace
}  // namespace quillet
