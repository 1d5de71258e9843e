#include "platform/geopackage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/sqlite_connection.h"
#include "platform/statistics.h"
#include "platform_test_support.h"
#include "runtime/date.h"

namespace quillet::platform {
namespace {

using runtime::Variant;
using test::ErrorOf;
using test::Ids;
using test::Selected;

const std::string kWorld = std::string(QUILLET_DATA_DIR) + "/world.gpkg";

TEST(GeoPackage, LoadsTheWorldLayer) {
  FeatureStore store;
  const auto layer = LoadGeoPackageLayer(store, kWorld, "world");
  EXPECT_EQ(layer->Name(), "world");
  EXPECT_EQ(layer->DataSourceName()->Category(), "GeoPackage");
  EXPECT_EQ(layer->DataSourceName()->Name(), "world");
  EXPECT_TRUE(gis::Is<gis::SimpleRenderer>(layer->Renderer()));

  auto& table = *layer->Table();
  const std::pair<const char*, int32_t> fields[] = {
      {"fid", gis::kFieldObjectId},     {"geom", gis::kFieldGeometry},
      {"iso_a2", gis::kFieldString},    {"name_long", gis::kFieldString},
      {"continent", gis::kFieldString}, {"region_un", gis::kFieldString},
      {"subregion", gis::kFieldString}, {"type", gis::kFieldString},
      {"area_km2", gis::kFieldDouble},  {"pop", gis::kFieldDouble},
      {"lifeExp", gis::kFieldDouble},   {"gdpPercap", gis::kFieldDouble},
  };
  ASSERT_EQ(table.Fields()->FieldCount(), 12);
  for (int32_t i = 0; i < 12; ++i) {
    EXPECT_EQ(table.Fields()->Field(i)->Name(), fields[i].first);
    EXPECT_EQ(table.Fields()->Field(i)->Type(), fields[i].second) << fields[i].first;
  }
  EXPECT_EQ(Selected(table, "").size(), 177u);
  EXPECT_EQ(Selected(table, "\"pop\" IS NULL").size(), 10u);
  EXPECT_EQ(Selected(table, "continent = 'Africa'").size(), 51u);
  EXPECT_EQ(Selected(table, "[continent] = 'Europe'").size(), 39u);

  const QueryFilter fiji("iso_a2 = 'FJ'");
  const auto row = table.Search(&fiji, true)->NextRow();
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Value(0), Variant::Long(1));
  EXPECT_EQ(row->Value(1), Variant::Empty());  // the geometry
  EXPECT_EQ(row->Value(3), Variant::String("Fiji"));
  EXPECT_EQ(row->Value(9).Kind(), runtime::VariantKind::kDouble);
}

TEST(GeoPackage, StatisticsOverPopulationSkipTheNull) {
  FeatureStore store;
  const auto layer = LoadGeoPackageLayer(store, kWorld, "WORLD");
  DataStatistics all;
  all.SetField("pop");
  all.SetCursor(layer->Table()->Search(nullptr, true));
  DataStatistics some;
  some.SetField("pop");
  const QueryFilter europe("continent = 'Europe'");
  some.SetCursor(layer->Table()->Search(&europe, true));
  EXPECT_GT(all.Statistics()->Sum(), 6e9);
  EXPECT_GT(all.Statistics()->Mean(), 0);
  EXPECT_LT(some.Statistics()->Sum(), all.Statistics()->Sum());
}

TEST(GeoPackage, FailuresNameTheFileOrTheLayer) {
  FeatureStore store;
  const std::string readme = std::string(QUILLET_DATA_DIR) + "/README.md";
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, "/no/such.gpkg", "world"); }),
            "The GeoPackage file /no/such.gpkg does not exist");
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, QUILLET_DATA_DIR, "world"); }),
            "The GeoPackage file " + std::string(QUILLET_DATA_DIR) + " does not exist");
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, readme, "world"); }),
            "Cannot read the GeoPackage " + readme + ": file is not a database");
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, kWorld, "countries"); }),
            "The GeoPackage " + kWorld + " has no layer countries (its layers: world)");
  LoadGeoPackageLayer(store, kWorld, "world");
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, kWorld, "world"); }),
            "table \"world\" already exists");
}

TEST(GeoPackage, DeclaredTypesMapToFieldTypes) {
  const std::pair<const char*, int32_t> cases[] = {
      {"INTEGER", gis::kFieldInteger},
      {"MEDIUMINT", gis::kFieldInteger},
      {"BIGINT", gis::kFieldInteger},
      {"int", gis::kFieldInteger},
      {"SMALLINT", gis::kFieldSmallInteger},
      {"TINYINT", gis::kFieldSmallInteger},
      {"BOOLEAN", gis::kFieldSmallInteger},
      {"FLOAT", gis::kFieldSingle},
      {"REAL", gis::kFieldDouble},
      {"DOUBLE", gis::kFieldDouble},
      {"TEXT", gis::kFieldString},
      {"TEXT(20)", gis::kFieldString},
      {"text (20)", gis::kFieldString},
      {"VARCHAR", gis::kFieldString},
      {"DATE", gis::kFieldDate},
      {"DATETIME", gis::kFieldDate},
      {"BLOB", gis::kFieldBlob},
      {"", gis::kFieldBlob},
      {"UNSIGNED BIG INT", gis::kFieldInteger},
      {"NUMERIC", gis::kFieldDouble},
      {"DECIMAL(10,2)", gis::kFieldDouble},
  };
  for (const auto& [declared, type] : cases)
    EXPECT_EQ(GeoPackageFieldType(declared), type) << declared;
}

// A small GeoPackage written here, with the column types world.gpkg lacks.
class WrittenGeoPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    path = std::filesystem::path(::testing::TempDir()) /
           ("platform_" + std::to_string(::getpid()) + "_wells.gpkg");
    std::filesystem::remove(path);
    const auto file = SqliteConnection::OpenForWriting(path.string());
    file->Execute(
        "CREATE TABLE gpkg_contents (table_name TEXT PRIMARY KEY, data_type TEXT NOT NULL);"
        "CREATE TABLE gpkg_geometry_columns (table_name TEXT, column_name TEXT);"
        "INSERT INTO gpkg_contents VALUES ('wells', 'features'), ('tiles', 'tiles');"
        "INSERT INTO gpkg_geometry_columns VALUES ('wells', 'shape');"
        "CREATE TABLE wells (name TEXT, shape POINT, id INTEGER PRIMARY KEY, depth FLOAT,"
        "  status SMALLINT, drilled DATE, logged DATETIME, log BLOB);"
        "INSERT INTO wells VALUES ('W1', x'00', 2, 12.5, 1, '1990-05-01',"
        "  '1990-05-01T18:00:00.000Z', x'0102');"
        "INSERT INTO wells VALUES ('W2', NULL, 1, NULL, NULL, NULL, NULL, NULL);");
  }
  void TearDown() override { std::filesystem::remove(path); }
  std::filesystem::path path;
};

TEST_F(WrittenGeoPackage, PrimaryKeyFirstAndEveryTypeReadBack) {
  FeatureStore store;
  const auto layer = LoadGeoPackageLayer(store, path.string(), "wells");
  const auto fields = layer->Table()->Fields();
  const std::pair<const char*, int32_t> expected[] = {
      {"id", gis::kFieldObjectId},         {"name", gis::kFieldString},
      {"shape", gis::kFieldGeometry},      {"depth", gis::kFieldSingle},
      {"status", gis::kFieldSmallInteger}, {"drilled", gis::kFieldDate},
      {"logged", gis::kFieldDate},         {"log", gis::kFieldBlob},
  };
  ASSERT_EQ(fields->FieldCount(), 8);
  for (int32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(fields->Field(i)->Name(), expected[i].first);
    EXPECT_EQ(fields->Field(i)->Type(), expected[i].second) << expected[i].first;
  }
  const auto cursor = layer->Table()->Search(nullptr, false);
  const auto empty = cursor->NextRow();
  const auto full = cursor->NextRow();
  const double may1 = runtime::DateSerial(1990, 5, 1);
  const Variant values[] = {Variant::Long(2),           Variant::String("W1"), Variant::Empty(),
                            Variant::Single(12.5f),     Variant::Integer(1),   Variant::Date(may1),
                            Variant::Date(may1 + 0.75), Variant::Empty()};
  for (int32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(full->Value(i), values[i]) << expected[i].first;
    if (i > 1) {
      EXPECT_EQ(empty->Value(i), Variant::Null()) << expected[i].first;
    }
  }
  EXPECT_EQ(Selected(*layer->Table(), "logged >= '1990-05-01 12:00'"), Ids{2});
}

TEST_F(WrittenGeoPackage, OnlyFeatureAndAttributeTablesAreLayers) {
  FeatureStore store;
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, path.string(), "tiles"); }),
            "The GeoPackage " + path.string() + " has no layer tiles (its layers: wells)");
}

}  // namespace
}  // namespace quillet::platform
