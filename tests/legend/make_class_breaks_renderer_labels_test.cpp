#include <gtest/gtest.h>

#include "quillet/locale.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::ClassBreaks;
using test::Parcels;
using Labels = std::vector<std::string>;

class ClassBreaksLabels : public ::testing::Test {
 protected:
  test::Labeling run;
};

TEST_F(ClassBreaksLabels, EachClassIncludesItsUpperBreakOnly) {
  // POP 10, 20, null, 40: 10 is below the minimum break and still in class 0; 20 equals the
  // second break; 40 is above the last break and in no class.
  const auto layer =
      Parcels(run.store)
          .Renderer(
              ClassBreaks("POP").Minimum(15).Break(15, "low").Break(20, "middle").Break(30, "high"))
          .Build();
  EXPECT_EQ(run.Made(layer, "$$VALUE $$LABEL [POP].Sum/[POP].Count"),
            (Labels{"15 low 10/1", "20 middle 20/1", "$$SKIPPED"}));
  EXPECT_EQ(run.labeler.SkippedLegendItems(), -1);
}

TEST_F(ClassBreaksLabels, ADefinitionAppliedOnlyWhenAsked) {
  const auto layer = Parcels(run.store)
                         .Definition("AREA < 4")
                         .Renderer(ClassBreaks("POP").Break(15, "low").Break(50, "high"))
                         .Build();
  EXPECT_EQ(run.Made(layer, "[POP].Sum"), (Labels{"10", "20"}));
  run.labeler.ApplyDefinitionQuery(runtime::kComFalse);
  EXPECT_EQ(run.Made(layer, "[POP].Sum"), (Labels{"10", "60"}));
}

TEST_F(ClassBreaksLabels, BreaksAreWrittenAndReadInTheObjectsLocale) {
  // The break goes into the query as the locale writes it, and the platform reads it so: the
  // feature of AREA 2.5 falls in the class of that break, in every locale.
  const auto layer = Parcels(run.store)
                         .Renderer(ClassBreaks("AREA").Break(2.5, "small").Break(4, "large"))
                         .Build();
  const std::pair<const char*, std::string> cases[] = {
      {"en-US", "2.5"}, {"de-DE", "2,5"}, {"de-CH", "2.5"}, {"ar-EG", "2\u066B5"}};
  for (const auto& [locale, half] : cases) {
    SCOPED_TRACE(locale);
    run.labeler.SetLocale(runtime::Locale::FromName(locale));
    EXPECT_EQ(run.Made(layer, "$$VALUE: [AREA].Sum"), (Labels{half + ": 4", "4: 7"}));
  }
}

TEST_F(ClassBreaksLabels, ABreakBelowTheOneBeforeSelectsNothingAndNoBreaksNoLabels) {
  const auto reversed =
      Parcels(run.store).Renderer(ClassBreaks("POP").Break(40, "all").Break(20, "none")).Build();
  EXPECT_EQ(run.Made(reversed, "[POP].Sum"), (Labels{"70", "$$SKIPPED"}));
  const auto none = Parcels(run.store, "parcels2").Renderer(ClassBreaks("POP")).Build();
  EXPECT_EQ(run.Made(none, "[POP].Sum"), Labels{});
}

}  // namespace
}  // namespace quillet
