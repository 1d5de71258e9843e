#include <gtest/gtest.h>

#include "platform/bivariate_renderer.h"
#include "platform/dataset_name.h"
#include "platform/simple_renderer.h"
#include "platform_test_support.h"

namespace quillet::platform {
namespace {

using test::Ids;

TEST(FeatureLayer, OffersEveryLayerRole) {
  FeatureStore store;
  const std::shared_ptr<gis::Layer> layer =
      test::Parcels(store)
          .Category("Shapefile")
          .DataSource("parcels_2020")
          .Definition("POP > 10")
          .Renderer(UniqueValue("TYPE").Class({"A"}, "Type A").Default("<all other values>"))
          .Build();
  EXPECT_EQ(layer->Name(), "parcels");

  const auto renderer = gis::Require<gis::GeoFeatureLayer>(layer)->Renderer();
  EXPECT_EQ(gis::Require<gis::UniqueValueRenderer>(renderer)->Label("A"), "Type A");

  const auto featureClass = gis::Require<gis::FeatureLayer>(layer)->FeatureClass();
  EXPECT_EQ(featureClass->FindField("POP"), 3);

  const auto source = gis::Require<gis::DataLayer>(layer)->DataSourceName();
  EXPECT_EQ(source->Name(), "parcels_2020");
  EXPECT_EQ(source->Category(), "Shapefile");

  const auto displayed = gis::Require<gis::DisplayTable>(layer)->DisplayedTable();
  EXPECT_EQ(displayed, featureClass);
  EXPECT_FALSE(gis::Is<gis::JoinedTable>(displayed));

  const auto definition = gis::Require<gis::FeatureLayerDefinition>(layer);
  EXPECT_EQ(definition->DefinitionExpression(), "POP > 10");
  EXPECT_EQ(definition->DefinitionSelectionSet(), nullptr);
}

TEST(FeatureLayer, DefaultsOfTheBuilder) {
  FeatureStore store;
  const auto layer = LayerBuilder(store, "roads").Field("NAME", gis::kFieldString).Build();
  EXPECT_EQ(layer->DataSourceName()->Name(), "roads");
  EXPECT_EQ(layer->DataSourceName()->Category(), "In-Memory Store");
  EXPECT_EQ(gis::Require<gis::SimpleRenderer>(layer->Renderer())->Label(), "");
  EXPECT_EQ(layer->DefinitionExpression(), "");
  EXPECT_EQ(layer->Table()->Fields()->Field(0)->Name(), "OBJECTID");
  EXPECT_EQ(test::IdsOf(*layer->Table()->Search(nullptr, true)), Ids{});
}

TEST(FeatureLayer, TheRendererCanBeReplaced) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  const auto bivariate = Bivariate(ClassBreaks("POP").Break(100, "Few"), Simple()).Build();
  gis::Require<gis::GeoFeatureLayer>(layer)->SetRenderer(bivariate);
  EXPECT_EQ(layer->Renderer(), bivariate);
}

TEST(FeatureLayer, DefinitionsCanChangeAfterBuilding) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  layer->SetDefinitionExpression("TYPE = 'A'");
  layer->SetDefinitionSelection(std::vector<int64_t>{4});
  EXPECT_EQ(layer->DefinitionExpression(), "TYPE = 'A'");
  EXPECT_EQ(test::IdsOf(*layer->DefinitionSelectionSet()->Search(nullptr, true)), Ids{4});
  layer->SetDefinitionSelection(std::nullopt);
  EXPECT_EQ(layer->DefinitionSelectionSet(), nullptr);
}

TEST(FeatureLayer, AJoinBecomesTheDisplayedTable) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Join(test::Owners(store), "OWNER_ID", "ID").Build();
  const auto displayed = gis::Require<gis::DisplayTable>(layer)->DisplayedTable();
  EXPECT_TRUE(gis::Is<gis::JoinedTable>(displayed));
  EXPECT_EQ(displayed->FindField("owners.NAME"), 8);
}

TEST(TableBuilder, RowsGiveADeclaredObjectIdTheirOwnIds) {
  FeatureStore store;
  const auto table = TableBuilder(store, "wells")
                         .Field("WELL_ID", gis::kFieldObjectId)
                         .Field("DEPTH", gis::kFieldDouble)
                         .Rows({{7, 12.5}})
                         .Rows({{3, nullptr}})
                         .Build();
  EXPECT_EQ(table->FindField("WELL_ID"), 0);
  EXPECT_EQ(test::IdsOf(*table->Search(nullptr, true)), (Ids{3, 7}));
}

}  // namespace
}  // namespace quillet::platform
