#include "platform/geopackage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/sqlite_connection.h"
#include "platform_test_support.h"
#include "runtime/date.h"

namespace quillet::platform {
namespace {

using runtime::Variant;
using test::ErrorOf;
using test::Ids;
using test::Selected;
using FieldList = std::vector<std::pair<std::string, int32_t>>;

const std::string kWorld = std::string(QUILLET_DATA_DIR) + "/world.gpkg";

TEST(GeoPackage, LoadsTheWorldLayer) {
  FeatureStore store;
  const auto layer = LoadGeoPackageLayer(store, kWorld, "WORLD");
  EXPECT_EQ(layer->Name(), "world");
  EXPECT_EQ(layer->DataSourceName()->Category(), "GeoPackage");
  EXPECT_EQ(layer->DataSourceName()->Name(), "world");
  EXPECT_TRUE(gis::Is<gis::SimpleRenderer>(layer->Renderer()));
  EXPECT_EQ(Selected(*layer->Table(), "").size(), 177u);
  EXPECT_EQ(Selected(*layer->Table(), "\"pop\" IS NULL").size(), 10u);
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
  // A failure of the store is its own, not one of the file.
  LoadGeoPackageLayer(store, kWorld, "world");
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, kWorld, "world"); }),
            "table \"world\" already exists");
}

TEST(GeoPackage, DeclaredTypesMapToFieldTypes) {
  const std::pair<int32_t, std::vector<const char*>> cases[] = {
      {gis::kFieldInteger, {"INTEGER", "int", "UNSIGNED BIG INT"}},
      {gis::kFieldSmallInteger, {"SMALLINT", "TINYINT", "BOOLEAN"}},
      {gis::kFieldSingle, {"FLOAT"}},
      {gis::kFieldDouble, {"REAL", "NUMERIC", "DECIMAL(10,2)"}},
      {gis::kFieldString, {"text (20)", "VARCHAR"}},
      {gis::kFieldDate, {"DATE", "DATETIME"}},
      {gis::kFieldBlob, {"BLOB", ""}},
  };
  for (const auto& [type, declared] : cases) {
    for (const char* name : declared)
      EXPECT_EQ(GeoPackageFieldType(name), type) << name;
  }
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
        "INSERT INTO gpkg_contents VALUES ('wells', 'features'), ('tiles', 'tiles'),"
        "  ('notes', 'attributes');"
        "INSERT INTO gpkg_geometry_columns VALUES ('wells', 'shape');"
        "CREATE TABLE wells (name TEXT, shape POINT, id INTEGER PRIMARY KEY, depth FLOAT,"
        "  status SMALLINT, drilled DATE, logged DATETIME, log BLOB);"
        "INSERT INTO wells VALUES ('W1', x'00', 2, 12.5, 1, '1990-05-01',"
        "  '1990-05-01T18:00:00.000Z', x'0102');"
        "INSERT INTO wells VALUES ('W2', NULL, 1, NULL, NULL, NULL, NULL, NULL);"
        "CREATE TABLE notes (note TEXT);");
  }
  void TearDown() override { std::filesystem::remove(path); }
  std::filesystem::path path;
};

TEST_F(WrittenGeoPackage, PrimaryKeyFirstAndEveryTypeReadBack) {
  FeatureStore store;
  const auto layer = LoadGeoPackageLayer(store, path.string(), "wells");
  const FieldList fields{{"id", gis::kFieldObjectId},         {"name", gis::kFieldString},
                         {"shape", gis::kFieldGeometry},      {"depth", gis::kFieldSingle},
                         {"status", gis::kFieldSmallInteger}, {"drilled", gis::kFieldDate},
                         {"logged", gis::kFieldDate},         {"log", gis::kFieldBlob}};
  ASSERT_EQ(test::FieldsOf(*layer->Table()), fields);
  const auto cursor = layer->Table()->Search(nullptr, false);
  const auto empty = cursor->NextRow();
  const auto full = cursor->NextRow();
  const double may1 = runtime::DateSerial(1990, 5, 1);
  const Variant values[] = {Variant::Long(2),           Variant::String("W1"), Variant::Empty(),
                            Variant::Single(12.5f),     Variant::Integer(1),   Variant::Date(may1),
                            Variant::Date(may1 + 0.75), Variant::Empty()};
  for (int32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(full->Value(i), values[i]) << fields[static_cast<size_t>(i)].first;
    if (i > 1) {
      EXPECT_EQ(empty->Value(i), Variant::Null()) << fields[static_cast<size_t>(i)].first;
    }
  }
  EXPECT_EQ(Selected(*layer->Table(), "logged >= '1990-05-01 12:00'"), Ids{2});
}

TEST_F(WrittenGeoPackage, OnlyFeatureAndAttributeTablesWithAnIntegerKeyAreLayers) {
  FeatureStore store;
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, path.string(), "tiles"); }),
            "The GeoPackage " + path.string() + " has no layer tiles (its layers: notes, wells)");
  EXPECT_EQ(ErrorOf([&] { LoadGeoPackageLayer(store, path.string(), "notes"); }),
            "Cannot read the GeoPackage " + path.string() +
                ": The layer notes has no integer primary key");
}

}  // namespace
}  // namespace quillet::platform
