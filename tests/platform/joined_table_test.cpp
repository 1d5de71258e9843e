#include "platform/joined_table.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/selection_set.h"
#include "platform_test_support.h"

namespace quillet::platform {
namespace {

using runtime::Variant;
using test::ErrorOf;
using test::Ids;
using test::Selected;

class Join : public ::testing::Test {
 protected:
  FeatureStore store;
  std::shared_ptr<FeatureLayer> layer =
      test::Parcels(store).Join(test::Owners(store), "OWNER_ID", "ID").Build();
  std::shared_ptr<gis::Table> joined = layer->DisplayedTable();
};

TEST_F(Join, QualifiesEveryFieldByItsTable) {
  ASSERT_TRUE(gis::Is<gis::JoinedTable>(joined));
  const auto fields = joined->Fields();
  const std::pair<const char*, int32_t> expected[] = {
      {"parcels.OBJECTID", gis::kFieldObjectId}, {"parcels.TYPE", gis::kFieldString},
      {"parcels.CODE", gis::kFieldInteger},      {"parcels.POP", gis::kFieldInteger},
      {"parcels.OWNER_ID", gis::kFieldInteger},  {"parcels.BUILT", gis::kFieldDate},
      {"owners.OBJECTID", gis::kFieldObjectId},  {"owners.ID", gis::kFieldInteger},
      {"owners.NAME", gis::kFieldString},        {"owners.POP", gis::kFieldInteger},
  };
  ASSERT_EQ(fields->FieldCount(), 10);
  for (int32_t i = 0; i < 10; ++i) {
    EXPECT_EQ(fields->Field(i)->Name(), expected[i].first);
    EXPECT_EQ(fields->Field(i)->Type(), expected[i].second) << expected[i].first;
  }
}

TEST_F(Join, EveryOwnRowOnceWithItsMatchOrNulls) {
  const auto cursor = joined->Search(nullptr, false);
  const std::pair<int32_t, Variant> expected[] = {
      {1, "Ann"}, {2, "Bob"}, {3, "Ann"}, {4, "Cy"}, {5, Variant::Null()}, {6, Variant::Null()},
  };
  for (const auto& [id, name] : expected) {
    const auto row = cursor->NextRow();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Value(0), Variant::Long(id));
    EXPECT_EQ(row->Value(8), name) << id;
  }
  EXPECT_FALSE(cursor->NextRow());
}

TEST_F(Join, WhereClausesNameFieldsByAliasOrByTableAndColumn) {
  struct Case {
    const char* clause;
    Ids ids;
  };
  const Case cases[] = {
      {R"("parcels.POP" > 100)", {2, 5}},
      {"parcels.POP > 100", {2, 5}},
      {"[parcels.POP] > 100", {2, 5}},
      {R"("owners.POP" > 5)", {2}},
      {"owners.POP > 5", {2}},
      {R"("owners.NAME" = 'Ann')", {1, 3}},
      {"NAME = 'Ann'", {1, 3}},
      {R"("owners.NAME" IS NULL)", {5, 6}},
      {R"(( "parcels.CODE" = 1) AND "owners.NAME" = 'Ann')", {1, 3}},
      {"", {1, 2, 3, 4, 5, 6}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Selected(*joined, c.clause), c.ids) << c.clause;
}

TEST_F(Join, ClausesSqliteCannotResolveFailWithItsDescription) {
  EXPECT_EQ(ErrorOf([&] { Selected(*joined, "POP > 1"); }), "ambiguous column name: POP");
  EXPECT_EQ(ErrorOf([&] { Selected(*joined, R"("parcels.NAME" = 'Ann')"); }),
            "no such column: parcels.NAME");
}

TEST_F(Join, FindsQualifiedNamesAndBareNamesThatOnlyOneTableHas) {
  struct Case {
    const char* name;
    int32_t index;
  };
  const Case cases[] = {
      {"parcels.POP", 3}, {"PARCELS.pop", 3}, {"owners.POP", 9}, {"owners.NAME", 8},   {"NAME", 8},
      {"type", 1},        {"POP", -1},        {"OBJECTID", -1},  {"parcels.NAME", -1}, {"SIZE", -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(joined->FindField(c.name), c.index) << c.name;
}

TEST_F(Join, TheFeatureClassStaysTheUnjoinedTable) {
  EXPECT_FALSE(gis::Is<gis::JoinedTable>(layer->FeatureClass()));
  EXPECT_EQ(layer->FeatureClass()->FindField("TYPE"), 1);
  EXPECT_EQ(layer->FeatureClass()->FindField("owners.NAME"), -1);
  layer->RemoveJoin();
  EXPECT_EQ(layer->DisplayedTable(), layer->FeatureClass());
}

TEST(JoinSetup, RefusesMissingKeysAndTablesOfAnotherStore) {
  FeatureStore store;
  const auto parcels = test::Parcels(store).Build()->Table();
  const auto owners = test::Owners(store);
  EXPECT_EQ(ErrorOf([&] { JoinedTable(parcels, "OWNER", owners, "ID"); }),
            "The join key OWNER is not a field of table parcels");
  EXPECT_EQ(ErrorOf([&] { JoinedTable(parcels, "OWNER_ID", owners, "KEY"); }),
            "The join key KEY is not a field of table owners");
  FeatureStore other;
  EXPECT_EQ(ErrorOf([&] { JoinedTable(parcels, "OWNER_ID", test::Owners(other), "ID"); }),
            "Tables of different stores cannot be joined");
}

}  // namespace
}  // namespace quillet::platform
