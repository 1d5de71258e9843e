#include <gtest/gtest.h>

#include "support/labeling.h"

namespace quillet {
namespace {

using platform::UniqueValue;
using test::Parcels;
using Labels = std::vector<std::string>;

class UniqueValueLabels : public ::testing::Test {
 protected:
  // Parcels under `name`, joined by object id to owners 1 Ann, 2 Bob, 4 Cy.
  platform::LayerBuilder JoinedParcels(const std::string& name = "parcels") {
    return Parcels(run.store, name).Join(owners, "OBJECTID", "PID");
  }
  test::Labeling run;
  std::shared_ptr<platform::FeatureTable> owners = platform::TableBuilder(run.store, "owners")
                                                       .Field("PID", gis::kFieldInteger)
                                                       .Field("OWNER", gis::kFieldString)
                                                       .Rows({{1, "Ann"}, {2, "Bob"}, {4, "Cy"}})
                                                       .Build();
};

TEST_F(UniqueValueLabels, OneLabelPerClassWithTheDefaultLastAndEmptyClassesSkipped) {
  const auto layer = Parcels(run.store)
                         .Renderer(UniqueValue("TYPE")
                                       .Class({"A"}, "Type A")
                                       .Class({"Z"}, "Type Z")
                                       .Default("Other types"))
                         .Build();
  EXPECT_EQ(
      run.Made(layer, "$$VALUE ($$LABEL): [POP].Sum in [POP].Count"),
      (Labels{"A (Type A): 10 in 2", "$$SKIPPED", "<all other values> (Other types): 60 in 2"}));
  EXPECT_EQ(run.labeler.SkippedLegendItems(), -1);
}

// On a joined table the maker writes the clauses itself: text values quoted, numbers bare, the
// default class as everything not listed.
TEST_F(UniqueValueLabels, JoinedTableClausesCollectTheListedValues) {
  const auto byType =
      JoinedParcels()
          .Category("GeoPackage")
          .Definition("POP > 10")
          .Renderer(
              UniqueValue("TYPE").Class({"A"}, "A").Class({"B"}, "B").Default("<all other values>"))
          .Build();
  EXPECT_EQ(run.Made(byType, "[owners.OWNER].First: [parcels.POP].Sum"),
            (Labels{"$$SKIPPED", "Bob: 20", "Cy: 40"}));

  const auto byPop =
      JoinedParcels("parcels2").Renderer(UniqueValue("parcels2.POP").Class({"10"}, "ten")).Build();
  EXPECT_EQ(run.Made(byPop, "[owners.OWNER].First"), (Labels{"Ann"}));
}

// A failure inside the maker reads as the fallback; the cause says which class could not be
// queried, and why. The joined clause is not escaped: the platform's own description comes through.
TEST_F(UniqueValueLabels, JoinedFailuresInsideTheMaker) {
  const auto onlyDefault = JoinedParcels().Renderer(UniqueValue("TYPE").Default("all")).Build();
  EXPECT_FALSE(run.Make(onlyDefault, "[owners.PID].Sum"));
  EXPECT_EQ(run.labeler.Message(), "Unknown Error in MakeLabels!");
  EXPECT_EQ(run.labeler.Cause(), "Invalid procedure call or argument");

  const auto quoted =
      JoinedParcels("parcels2").Renderer(UniqueValue("TYPE").Class({"O'Hara"}, "quoted")).Build();
  EXPECT_FALSE(run.Make(quoted, "[owners.PID].Sum"));
  EXPECT_EQ(
      run.labeler.Cause(),
      "the features of the value \"O'Hara\" could not be queried: near \"Hara\": syntax error");
}

}  // namespace
}  // namespace quillet
