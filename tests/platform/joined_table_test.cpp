#include "platform/tables/joined_table.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/tables/selection_set.h"
#include "platform_test_support.h"

namespace quillet::platform {
namespace {

using runtime::Variant;
using test::Selected;
using test::Why;

class Join : public ::testing::Test {
 protected:
  FeatureStore store;
  std::shared_ptr<FeatureLayer> layer =
      test::Mixed(store).Join(test::Owners(store), "OBJECTID", "ID").Build();
  std::shared_ptr<gis::Table> joined = layer->DisplayedTable();
};

TEST_F(Join, EveryOwnRowOnceAndClausesNameFieldsByAliasOrByTableAndColumn) {
  const std::pair<const char*, test::Ids> cases[] = {
      {"", {1, 2, 3, 4, 5, 6, 7}},  // every own row once, matched or not
      {R"("mixed.N" > 2)", {2, 4, 6, 7}},
      {"mixed.N > 2", {2, 4, 6, 7}},
      {"[mixed.N] > 2", {2, 4, 6, 7}},
      {"owners.N > 5", {2}},
      {"NAME = 'Ann'", {1}},
      {R"("owners.NAME" IS NULL)", {4, 5, 6, 7}},
      {R"(( "mixed.N" = 1) AND "owners.NAME" = 'Ann')", {1}},
  };
  for (const auto& [clause, ids] : cases)
    EXPECT_EQ(Selected(*joined, clause), ids) << clause;
  EXPECT_EQ(Why([&] { Selected(*joined, "N > 1"); }), "ambiguous column name: N");
  EXPECT_EQ(Why([&] { Selected(*joined, R"("mixed.NAME" = 'Ann')"); }),
            "no such column: mixed.NAME");
}

TEST_F(Join, FindsQualifiedNamesAndBareNamesThatOnlyOneTableHas) {
  const std::pair<const char*, int32_t> cases[] = {
      {"mixed.N", 2},     {"MIXED.n", 2},     {"Mixed.d", 6}, {"owners.N", 10},
      {"owners.NAME", 9}, {"NAME", 9},        {"type", 1},    {"N", -1},
      {"OBJECTID", -1},   {"mixed.NAME", -1}, {"SIZE", -1},   {R"("NAME")", -1},
  };
  for (const auto& [name, index] : cases)
    EXPECT_EQ(joined->FindField(name), index) << name;
}

TEST_F(Join, StatisticsAndSelectionSetsReadTheJoinedFields) {
  EXPECT_EQ(test::StatisticsOf(joined->Search(nullptr, true), "owners.N")[2], 5 + 7);
  layer->SetDefinitionSelection(std::vector<int64_t>{1, 2, 6});
  const QueryFilter filter(R"("owners.NAME" IS NOT NULL AND mixed.N >= 1)");
  const auto cursor = layer->DefinitionSelectionSet()->Search(&filter, true);
  std::vector<Variant> names;
  while (const auto row = cursor->NextRow())
    names.push_back(row->Value(9));
  EXPECT_EQ(names, (std::vector<Variant>{"Ann", "Bob"}));
}

// One to one, as QGIS joins: a key that the joined table has twice gives its first row (or
// its last), never the own row twice.
TEST(JoinSetup, EachOwnRowTakesOneJoinedRowAndTheCatchAllMayTakeTheNulls) {
  FeatureStore store;
  const auto mixed = test::Mixed(store).Build()->Table();
  const auto owners = TableBuilder(store, "owners")
                          .Field("ID", gis::kFieldInteger)
                          .Field("NAME", gis::kFieldString)
                          .Rows({{1, "Ann"}, {1, "Abe"}, {2, "Bob"}, {2, nullptr}})
                          .Build();
  const auto first = std::make_shared<JoinedTable>(mixed, "OBJECTID", owners, "ID");
  const auto last =
      std::make_shared<JoinedTable>(mixed, "OBJECTID", owners, "ID", JoinMatch::kLast);
  EXPECT_EQ(Selected(*first, ""), (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Selected(*first, "owners.NAME = 'Ann'"), (std::vector<int64_t>{1}));
  EXPECT_EQ(Selected(*last, "owners.NAME = 'Abe'"), (std::vector<int64_t>{1}));
  const std::string others = "NOT ( (owners.NAME = 'Ann') )";
  EXPECT_EQ(Selected(*first, "( mixed.TYPE = 'A') AND " + others), (std::vector<int64_t>{}));
  first->AlsoSelect(others, "owners.NAME IS NULL");
  EXPECT_EQ(Selected(*first, "( mixed.TYPE = 'A') AND " + others), (std::vector<int64_t>{4, 7}));
  EXPECT_EQ(Selected(*first, others), (std::vector<int64_t>{2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Selected(*first, "owners.NAME = 'Ann'"), (std::vector<int64_t>{1}));
}

TEST(JoinSetup, RefusesMissingKeysAndTablesOfAnotherStore) {
  FeatureStore store;
  const auto mixed = test::Mixed(store).Build()->Table();
  const auto owners = test::Owners(store);
  EXPECT_EQ(Why([&] { JoinedTable(mixed, "OWNER", owners, "ID"); }),
            "The join key OWNER is not a field of table mixed");
  EXPECT_EQ(Why([&] { JoinedTable(mixed, "OBJECTID", owners, "KEY"); }),
            "The join key KEY is not a field of table owners");
  FeatureStore other;
  EXPECT_EQ(Why([&] { JoinedTable(mixed, "OBJECTID", test::Owners(other), "ID"); }),
            "Tables of different databases cannot be joined");
}

}  // namespace
}  // namespace quillet::platform
