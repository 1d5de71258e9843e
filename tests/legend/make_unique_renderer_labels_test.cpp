#include <gtest/gtest.h>

#include "expression/verify_expression.h"
#include "legend/label_makers.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using platform::UniqueValue;
using test::Labeling;
using test::Parcels;
using Labels = std::vector<std::string>;

class UniqueValueLabels : public ::testing::Test {
 protected:
  Labels Make(const LayerPtr& layer, const std::string& expression) {
    EXPECT_TRUE(run.Make(layer, expression)) << run.labeler.Message();
    return run.Labels();
  }
  Labeling run;
};

TEST_F(UniqueValueLabels, OneLabelPerClassWithTheDefaultLast) {
  const auto layer = Parcels(run.store)
                         .Renderer(UniqueValue("TYPE")
                                       .Class({"A"}, "Type A")
                                       .Class({"B"}, "Type B")
                                       .Default("Other types"))
                         .Build();
  EXPECT_EQ(Make(layer, "$$VALUE ($$LABEL): [POP].Sum in [POP].Count"),
            (Labels{"A (Type A): 10 in 2", "B (Type B): 20 in 1",
                    "<all other values> (Other types): 40 in 1"}));
  EXPECT_EQ(run.labeler.SkippedLegendItems(), 0);
}

TEST_F(UniqueValueLabels, APlainTableUsesTheRenderersOwnClauses) {
  const auto layer = Parcels(run.store)
                         .Renderer(UniqueValue("TYPE").Class({"A"}, "A").Class({"C"}, "C"))
                         .Definition("AREA > 2")
                         .Build();
  EXPECT_EQ(Make(layer, "[AREA].Sum"), (Labels{"3", "4"}));
  ASSERT_EQ(run.Queries().size(), 2u);
  EXPECT_EQ(run.Queries()[0].rfind("( AREA > 2) AND ", 0), 0u) << run.Queries()[0];

  run.labeler.ApplyDefinitionQuery(runtime::kComFalse);
  EXPECT_EQ(Make(layer, "[AREA].Sum"), (Labels{"4.5", "4"}));
}

TEST_F(UniqueValueLabels, AClassWithoutFeaturesIsSkippedAndTheFlagSticks) {
  const auto skipping =
      Parcels(run.store).Renderer(UniqueValue("TYPE").Class({"A"}, "A").Class({"Z"}, "Z")).Build();
  EXPECT_EQ(Make(skipping, "[POP].Sum"), (Labels{"10", "$$SKIPPED"}));
  EXPECT_EQ(run.labeler.SkippedLegendItems(), -1);

  // Literal text runs no query, so nothing is skipped; the flag stays set all the same.
  EXPECT_EQ(Make(skipping, "$$LABEL"), (Labels{"A", "Z"}));
  EXPECT_EQ(run.labeler.SkippedLegendItems(), -1);
}

TEST_F(UniqueValueLabels, ClassKeysEqualButForCaseFailTheRun) {
  const auto layer =
      Parcels(run.store).Renderer(UniqueValue("TYPE").Class({"A"}, "A").Class({"a"}, "a")).Build();
  EXPECT_FALSE(run.Make(layer, "[POP].Sum"));
  EXPECT_EQ(run.labeler.Message(), "Unknown Error in MakeLabels!");
  EXPECT_EQ(run.labeler.Labels()->Count(), 0);
}

// The clauses the maker writes itself on a joined table, to the character.
TEST_F(UniqueValueLabels, JoinedTableClausesCollectTheListedValues) {
  const auto owners = platform::TableBuilder(run.store, "owners")
                          .Field("PID", gis::kFieldInteger)
                          .Field("OWNER", gis::kFieldString)
                          .Rows({{1, "Ann"}, {2, "Bob"}, {4, "Cy"}})
                          .Build();
  const auto layer =
      Parcels(run.store)
          .Category("GeoPackage")
          .Join(owners, "OBJECTID", "PID")
          .Definition("POP > 10")
          .Renderer(
              UniqueValue("TYPE").Class({"A"}, "A").Class({"B"}, "B").Default("<all other values>"))
          .Build();
  EXPECT_EQ(Make(layer, "[owners.OWNER].First: [parcels.POP].Sum"),
            (Labels{"$$SKIPPED", "Bob: 20", "Cy: 40"}));
  EXPECT_EQ(run.Queries(), (Labels{"( POP > 10) AND TYPE = 'A'", "( POP > 10) AND TYPE = 'B'",
                                   "( POP > 10) AND NOT ( (TYPE = 'A') OR (TYPE = 'B') )"}));
}

TEST_F(UniqueValueLabels, JoinedTableWithShapefileDelimitersQuotesTheField) {
  const auto owners = platform::TableBuilder(run.store, "owners")
                          .Field("PID", gis::kFieldInteger)
                          .Field("OWNER", gis::kFieldString)
                          .Rows({{1, "Ann"}})
                          .Build();
  const auto layer = Parcels(run.store)
                         .Join(owners, "OBJECTID", "PID")
                         .Renderer(UniqueValue("parcels.POP").Class({"10"}, "ten"))
                         .Build();
  EXPECT_EQ(Make(layer, "[owners.OWNER].First"), (Labels{"Ann"}));
  EXPECT_EQ(run.Queries(), (Labels{"\"parcels.POP\" = 10"}));
}

TEST_F(UniqueValueLabels, AJoinedRendererWithOnlyTheDefaultClassFails) {
  const auto owners =
      platform::TableBuilder(run.store, "owners").Field("PID", gis::kFieldInteger).Build();
  const auto layer = Parcels(run.store)
                         .Join(owners, "OBJECTID", "PID")
                         .Renderer(UniqueValue("TYPE").Default("everything"))
                         .Build();
  QuilletState state = test::PlatformState();
  std::string expression = "[parcels.POP].Sum";
  ASSERT_TRUE(VerifyExpression(state, layer, expression, false, false)) << state.mMessage;
  EXPECT_FALSE(MakeUniqueRendererLabels(state, layer));
  EXPECT_EQ(state.mMessage, "Invalid procedure call or argument");
}

TEST_F(UniqueValueLabels, APlatformErrorKeepsItsDescriptionInsideTheMaker) {
  const auto owners =
      platform::TableBuilder(run.store, "owners").Field("PID", gis::kFieldInteger).Build();
  const auto layer = Parcels(run.store)
                         .Join(owners, "OBJECTID", "PID")
                         .Renderer(UniqueValue("TYPE").Class({"O'Hara"}, "quoted"))
                         .Build();
  QuilletState state = test::PlatformState();
  std::string expression = "[parcels.POP].Sum";
  ASSERT_TRUE(VerifyExpression(state, layer, expression, false, false)) << state.mMessage;
  EXPECT_FALSE(MakeUniqueRendererLabels(state, layer));
  EXPECT_NE(state.mMessage.find("syntax error"), std::string::npos) << state.mMessage;
  EXPECT_FALSE(state.mLabelsValid);
}

}  // namespace
}  // namespace quillet
