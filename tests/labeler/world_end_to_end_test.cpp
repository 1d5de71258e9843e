#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>

#include "platform/geopackage.h"
#include "runtime/text_form.h"
#include "support/labeling.h"

namespace quillet {
namespace {

using Labels = std::vector<std::string>;

const std::string kWorld = std::string(QUILLET_DATA_DIR) + "/world.gpkg";

// Rows of one query straight from the GeoPackage file: the answer the labels must match,
// computed without the component.
std::vector<std::vector<std::string>> Query(const std::string& sql) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(kWorld.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::vector<std::vector<std::string>> rows;
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const double number = sqlite3_column_double(statement, i);
      row.push_back(sqlite3_column_type(statement, i) == SQLITE_TEXT
                        ? reinterpret_cast<const char*>(sqlite3_column_text(statement, i))
                        : runtime::ToText(runtime::Variant::Double(number)));
    }
    rows.push_back(row);
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

TEST(WorldEndToEnd, ContinentsWithTheirPopulation) {
  test::Labeling run;
  auto renderer = platform::UniqueValue("continent");
  const auto expected =
      Query("SELECT continent, total(pop), count(*) FROM world GROUP BY continent ORDER BY 1");
  ASSERT_GE(expected.size(), 7u);
  Labels labels;
  for (const auto& row : expected) {
    renderer.Class({row[0]}, row[0]);
    labels.push_back(row[0] + ": " + row[1] + " people in " + row[2] + " countries");
  }
  const auto layer = platform::LoadGeoPackageLayer(run.store, kWorld, "world");
  layer->SetRenderer(renderer.Build());
  ASSERT_TRUE(run.Make(layer, "$$LABEL: [pop].Sum people in [pop].Count countries"))
      << run.labeler.Message();
  EXPECT_EQ(run.Labels(), labels);
  EXPECT_EQ(run.Labels().at(0), "Africa: " + expected[0][1] + " people in 51 countries");

  ASSERT_EQ(run.labeler.SetLabels(layer), -1);
  ASSERT_EQ(run.labeler.ResetLabels(layer), -1);
  EXPECT_EQ(test::Items(*run.labeler.OriginalLabels()).front(), "Africa");
}

TEST(WorldEndToEnd, AntarcticaHasNoPopulationToSum) {
  const auto antarctica =
      Query("SELECT count(*), count(pop) FROM world WHERE continent = 'Antarctica'");
  ASSERT_EQ(antarctica, (std::vector<std::vector<std::string>>{{"1", "0"}}));
  test::Labeling run;
  const auto layer = platform::LoadGeoPackageLayer(run.store, kWorld, "world");
  layer->SetRenderer(
      platform::UniqueValue("continent").Class({"Antarctica"}, "Antarctica").Build());
  ASSERT_TRUE(run.Make(layer, "[pop].Sum|[pop].First|[name_long].First"));
  EXPECT_EQ(run.Labels(), Labels{"0||Antarctica"});
}

TEST(WorldEndToEnd, PopulationClassBreaks) {
  const double breaks[] = {1e6, 1e7, 1e8, 2e9};
  const auto expected = Query(
      "SELECT CASE WHEN pop <= 1e6 THEN 0 WHEN pop <= 1e7 THEN 1 WHEN pop <= 1e8 THEN 2 "
      "ELSE 3 END AS class, total(pop), count(*), avg(lifeExp) FROM world WHERE pop IS NOT NULL "
      "GROUP BY class ORDER BY class");
  ASSERT_EQ(expected.size(), 4u);
  test::Labeling run;
  auto renderer = platform::ClassBreaks("pop");
  for (double value : breaks)
    renderer.Break(value, "up to " + runtime::ToText(runtime::Variant::Double(value)));
  const auto layer = platform::LoadGeoPackageLayer(run.store, kWorld, "world");
  layer->SetRenderer(renderer.Build());
  ASSERT_TRUE(run.Make(layer, "[pop].Sum/[pop].Count/[lifeExp].Count")) << run.labeler.Message();
  Labels labels;
  for (const auto& row : expected)
    labels.push_back(row[1] + "/" + row[2] + "/" + row[2]);
  EXPECT_EQ(run.Labels(), labels);
}

}  // namespace
}  // namespace quillet
