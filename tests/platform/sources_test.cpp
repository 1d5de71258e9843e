#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sqlite3.h>

#include "platform/sources/ogr_source.h"
#include "platform/sources/sqlite_source.h"
#include "platform_test_support.h"
#include "quillet/gis/field.h"
#include "runtime/date.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

using quillet::test::TempFolder;
using quillet::test::WriteText;
using runtime::Variant;

// One column of the test layer: how GDAL declares it, its text in row 1 (null: three bytes), and
// what the store makes of it.
struct Column {
  const char* name;
  OGRFieldType type;
  OGRFieldSubType subtype;
  const char* text;
  int32_t code;
  Variant value;
};

const Column kColumns[] = {
    {"small", OFTInteger, OFSTInt16, "-300", gis::kFieldSmallInteger, Variant::Integer(-300)},
    {"flag", OFTInteger, OFSTBoolean, "1", gis::kFieldSmallInteger, Variant::Integer(1)},
    {"count", OFTInteger, OFSTNone, "70000", gis::kFieldInteger, Variant::Long(70000)},
    // Beyond 32 bits a 64-bit integer reads as a double.
    {"big", OFTInteger64, OFSTNone, "5000000000", gis::kFieldInteger, Variant::Double(5e9)},
    {"modest", OFTInteger64, OFSTNone, "42", gis::kFieldInteger, Variant::Long(42)},
    {"ratio", OFTReal, OFSTFloat32, "0.5", gis::kFieldSingle, Variant::Single(0.5f)},
    {"area", OFTReal, OFSTNone, "1234.25", gis::kFieldDouble, Variant::Double(1234.25)},
    {"name", OFTString, OFSTNone, "Zürich", gis::kFieldString, Variant::String("Zürich")},
    {"built", OFTDate, OFSTNone, "1990/05/01", gis::kFieldDate,
     Variant::Date(runtime::DateSerial(1990, 5, 1))},
    // To the second, the zone ignored.
    {"seen", OFTDateTime, OFSTNone, "2001/02/03 18:30:15.75+01", gis::kFieldDate,
     Variant::Date(runtime::DateSerial(2001, 2, 3) + (18 * 3600 + 30 * 60 + 15) / 86400.0)},
    {"opens", OFTTime, OFSTNone, "09:05:00", gis::kFieldString, Variant::String("09:05:00")},
    // Blobs, like geometries, are never read: no label can show them.
    {"bytes", OFTBinary, OFSTNone, nullptr, gis::kFieldBlob, Variant::Null()},
};

// A GeoPackage (or another database GDAL writes) with a point layer "places" whose columns are
// `kColumns` (row 1 holds their values, row 2 nulls and no geometry), and a table "roads".
void MakePlaces(const fs::path& path, const char* driver = "GPKG") {
  GDALAllRegister();
  GDALDatasetUniquePtr dataset(GetGDALDriverManager()->GetDriverByName(driver)->Create(
      path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  ASSERT_TRUE(dataset);
  ASSERT_NE(dataset->CreateLayer("roads", nullptr, wkbNone, nullptr), nullptr);
  OGRLayer* layer = dataset->CreateLayer("places", nullptr, wkbPoint, nullptr);
  for (const Column& column : kColumns) {
    OGRFieldDefn field(column.name, column.type);
    field.SetSubType(column.subtype);
    ASSERT_EQ(layer->CreateField(&field), OGRERR_NONE);
  }
  OGRFeature full(layer->GetLayerDefn());
  OGRFeature empty(layer->GetLayerDefn());
  const GByte bytes[] = {1, 2, 3};
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    if (kColumns[i].text) {
      full.SetField(i, kColumns[i].text);
    } else {
      full.SetField(i, 3, bytes);
    }
    empty.SetFieldNull(i);
  }
  OGRPoint point(7, 51);
  full.SetGeometry(&point);
  ASSERT_EQ(layer->CreateFeature(&full), OGRERR_NONE);
  ASSERT_EQ(layer->CreateFeature(&empty), OGRERR_NONE);
}

// Every row with every field, each asked for by name first as a label run asks for them.
std::vector<std::vector<Variant>> Rows(gis::Table& table) {
  for (int32_t i = 0; i < table.Fields()->FieldCount(); ++i)
    table.FindField(table.Fields()->Field(i)->Name());
  std::vector<std::vector<Variant>> rows;
  const auto cursor = table.Search(nullptr, false);
  while (const auto row = cursor->NextRow()) {
    std::vector<Variant> values;
    for (int32_t i = 0; i < table.Fields()->FieldCount(); ++i)
      values.push_back(row->Value(i));
    rows.push_back(values);
  }
  return rows;
}

std::string Failure(const std::string& source, const std::string& layer = "") {
  FeatureStore store;
  return test::Why([&] { LoadOgrTable(store, source, layer); });
}

// A GeoPackage's fields and values as GDAL copies them. GDAL is then the oracle of a database
// read in place: the same layers, fields, types and values, and the same failures, also while a
// writer (QGIS, say) keeps it open in WAL mode with a committed row still in the WAL.
TEST(Sources, EveryFieldTypeCopiedOrReadInPlace) {
  std::vector<std::pair<std::string, int32_t>> fields = {{"fid", gis::kFieldObjectId},
                                                         {"geom", gis::kFieldGeometry}};
  std::vector<std::vector<Variant>> rows = {{Variant::Long(1), Variant::Null()},
                                            {Variant::Long(2), Variant::Null()}};
  for (const Column& column : kColumns) {
    fields.emplace_back(column.name, column.code);
    rows[0].push_back(column.value);
    rows[1].push_back(Variant::Null());
  }
  TempFolder folder;
  for (const char* driver : {"GPKG", "SQLite"}) {
    SCOPED_TRACE(driver);
    const fs::path path = folder.Path() / (std::string("places.") + driver);
    MakePlaces(path, driver);
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer,
                           "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; "
                           "INSERT INTO roads DEFAULT VALUES",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    FeatureStore inPlace;
    for (const char* layer : {"", "ROADS", "places"}) {
      FeatureStore copies;
      std::pair<int64_t, int64_t> progress;
      const SourceTable copied =
          LoadOgrTable(copies, path.string(), layer, "", [&](int64_t done, int64_t total) {
            progress = {done, total};
          });
      const auto read = OpenSqliteTable(inPlace, path.string(), layer);
      ASSERT_TRUE(read);
      EXPECT_EQ(read->layerName, copied.layerName);
      EXPECT_EQ(read->category, copied.category);
      EXPECT_EQ(test::FieldsOf(*read->table), test::FieldsOf(*copied.table));
      EXPECT_EQ(Rows(*read->table), Rows(*copied.table));
      const auto count = static_cast<int64_t>(Rows(*read->table).size());
      EXPECT_EQ(progress, std::make_pair(count, count));
    }
    EXPECT_EQ(Rows(*OpenSqliteTable(inPlace, path.string(), "roads")->table).size(), 1u);
    EXPECT_EQ(test::Why([&] { OpenSqliteTable(inPlace, path.string(), "lakes"); }),
              Failure(path.string(), "lakes"));
    sqlite3_close(writer);
  }
  FeatureStore store;
  const auto places = LoadOgrTable(store, (folder.Path() / "places.GPKG").string()).table;
  EXPECT_EQ(test::FieldsOf(*places), fields);
  EXPECT_EQ(Rows(*places), rows);
}

TEST(OgrSource, ObjectIdAndGeometryNamesAvoidTheFieldsAndTextNotInUtf8IsLatin1) {
  TempFolder folder;
  const fs::path path = folder.Path() / "odd.geojson";
  WriteText(path, R"({"type": "FeatureCollection", "features": [{"type": "Feature",)"
                  R"( "properties": {"FID": "own", "SHAPE": 1}, "geometry": {"type": "Point",)"
                  R"( "coordinates": [1, 2]}}]})");
  FeatureStore store;
  const SourceTable odd = LoadOgrTable(store, path.string());
  EXPECT_EQ(odd.category, "GeoJSON");
  EXPECT_EQ(test::FieldsOf(*odd.table),
            (std::vector<std::pair<std::string, int32_t>>{
                {"OBJECTID", 6}, {"SHAPE_1", 7}, {"FID", 4}, {"SHAPE", 1}}));
  // A CSV file hands its bytes over as they are.
  WriteText(folder.Path() / "prices.csv", "id,price\n1,5 \xE9\x80\n");
  EXPECT_EQ(Rows(*LoadOgrTable(store, (folder.Path() / "prices.csv").string()).table).at(0).at(2),
            Variant::String("5 \u00E9\u0080"));
}

TEST(OgrSource, LayersByNameOrFirstAndFailuresWithGdalsReason) {
  TempFolder folder;
  const fs::path path = folder.Path() / "places.gpkg";
  MakePlaces(path);
  FeatureStore store;
  EXPECT_EQ(OgrLayerNames(path.string()), (std::vector<std::string>{"places", "roads"}));
  EXPECT_EQ(Failure(path.string(), "lakes"),
            "The data source " + path.string() + " has no layer lakes (its layers: places, roads)");
  const fs::path text = folder.Path() / "notes.txt";
  WriteText(text, "Not a data source.\n");
  EXPECT_EQ(Failure(text.string()), "Cannot open " + text.string() + ": `" + text.string() +
                                        "' not recognized as a supported file format.");
}

}  // namespace
}  // namespace quillet::platform
