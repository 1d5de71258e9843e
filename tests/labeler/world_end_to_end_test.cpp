#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/geopackage.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using Labels = std::vector<std::string>;

const std::string kWorld = std::string(QUILLET_DATA_DIR) + "/world.gpkg";

// The rows of one query straight from the GeoPackage file, as text: the answer the labels must
// match, computed without the component.
std::vector<Labels> Query(const std::string& sql) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(kWorld.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  std::vector<Labels> rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement); ++i)
      rows.back().push_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)));
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

TEST(WorldEndToEnd, ContinentsWithTheirPopulation) {
  const auto expected = Query(
      "SELECT continent, continent || ': ' || CAST(total(pop) AS INTEGER) || ' people in ' || "
      "count(*) || ' countries' FROM world GROUP BY continent ORDER BY 1");
  ASSERT_GE(expected.size(), 7u);
  // Antarctica's one feature has no population: the sum over nulls alone is 0, not a skip.
  ASSERT_EQ(expected[1][1], "Antarctica: 0 people in 1 countries");
  auto renderer = platform::UniqueValue("continent");
  Labels labels;
  for (const auto& row : expected) {
    renderer.Class({row[0]}, row[0]);
    labels.push_back(row[1]);
  }
  test::Labeling run;
  const auto layer = platform::LoadGeoPackageLayer(run.store, kWorld, "world");
  layer->SetRenderer(renderer.Build());
  ASSERT_TRUE(run.Make(layer, "$$LABEL: [pop].Sum people in [pop].Count countries"))
      << run.labeler.Message();
  EXPECT_EQ(run.Labels(), labels);
}

}  // namespace
}  // namespace quillet
