#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <sqlite3.h>

#include <map>

#include "platform/sources/ogr_source.h"
#include "platform/sources/sqlite_source.h"
#include "quillet/gis/field.h"
#include "runtime/date.h"
#include "support/error_of.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

using runtime::Variant;
using test::WriteText;

// A new data source of this GDAL driver.
GDALDatasetUniquePtr Create(const char* driver, const fs::path& path) {
  GDALAllRegister();
  return GDALDatasetUniquePtr(GetGDALDriverManager()->GetDriverByName(driver)->Create(
      path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
}

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
  GDALDatasetUniquePtr dataset = Create(driver, path);
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

std::vector<std::pair<std::string, int32_t>> Fields(const gis::Table& table) {
  std::vector<std::pair<std::string, int32_t>> fields;
  for (int32_t i = 0; i < table.Fields()->FieldCount(); ++i)
    fields.emplace_back(table.Fields()->Field(i)->Name(), table.Fields()->Field(i)->Type());
  return fields;
}

std::string Failure(const std::string& source, const std::string& layer = "") {
  FeatureStore store;
  return test::Why([&] { LoadOgrLayer(store, source, layer); });
}

TEST(OgrSource, FieldTypesAndValues) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "places.gpkg";
  MakePlaces(path);
  FeatureStore store;
  int64_t reported = -1;
  const auto layer = LoadOgrLayer(store, path.string(), "places", [&](int64_t done, int64_t total) {
    EXPECT_EQ(total, 2);
    reported = done;
  });
  EXPECT_EQ(reported, 2);

  std::vector<std::pair<std::string, int32_t>> expected = {{"fid", gis::kFieldObjectId},
                                                           {"geom", gis::kFieldGeometry}};
  // Geometries are never read.
  std::vector<Variant> full = {Variant::Long(1), Variant::Null()};
  std::vector<Variant> empty = {Variant::Long(2), Variant::Null()};
  for (const Column& column : kColumns) {
    expected.emplace_back(column.name, column.code);
    full.push_back(column.value);
    empty.push_back(Variant::Null());
  }
  EXPECT_EQ(Fields(*layer->Table()), expected);
  const auto rows = Rows(*layer->Table());
  ASSERT_EQ(rows.size(), 2u);
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].first);
    EXPECT_EQ(rows[0][i], full[i]);
    EXPECT_EQ(rows[1][i], empty[i]);
  }
}

TEST(OgrSource, ShapefileTextFollowsItsCodePage) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "prices.shp";
  {
    GDALDatasetUniquePtr dataset = Create("ESRI Shapefile", path);
    ASSERT_TRUE(dataset);
    const char* options[] = {"ENCODING=CP1252", nullptr};
    OGRLayer* layer =
        dataset->CreateLayer("prices", nullptr, wkbPoint, const_cast<char**>(options));
    OGRFieldDefn field("price", OFTString);
    ASSERT_EQ(layer->CreateField(&field), OGRERR_NONE);
    OGRFeature feature(layer->GetLayerDefn());
    feature.SetField(0, "5 €");
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
  }
  ASSERT_EQ(test::ReadText(folder.Path() / "prices.cpg"), "CP1252");
  const auto read = [&] {
    FeatureStore store;
    const auto layer = LoadOgrLayer(store, path.string());
    const auto rows = Rows(*layer->Table());
    return rows.at(0).at(2).AsString();
  };
  EXPECT_EQ(read(), "5 €");
  // Without its .cpg the byte 0x80 is read as ISO-8859-1: a control character, not the euro.
  fs::remove(folder.Path() / "prices.cpg");
  EXPECT_EQ(read(), "5 \u0080");
}

TEST(OgrSource, ObjectIdAndGeometryNamesAvoidTheFields) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "odd.geojson";
  WriteText(path, R"({"type": "FeatureCollection", "features": [{"type": "Feature",)"
                  R"( "properties": {"FID": "own", "SHAPE": 1}, "geometry": {"type": "Point",)"
                  R"( "coordinates": [1, 2]}}]})");
  FeatureStore store;
  const auto layer = LoadOgrLayer(store, path.string());
  EXPECT_EQ(layer->DataSourceName()->Category(), "GeoJSON");
  EXPECT_EQ(Fields(*layer->Table()),
            (std::vector<std::pair<std::string, int32_t>>{
                {"OBJECTID", 6}, {"SHAPE_1", 7}, {"FID", 4}, {"SHAPE", 1}}));
}

TEST(OgrSource, LayersByNameOrFirstAndFailuresWithGdalsReason) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "places.gpkg";
  MakePlaces(path);
  FeatureStore store;
  EXPECT_EQ(OgrLayerNames(path.string()), (std::vector<std::string>{"places", "roads"}));
  EXPECT_EQ(LoadOgrLayer(store, path.string())->Name(), "places");
  EXPECT_EQ(LoadOgrLayer(store, path.string(), "ROADS")->Name(), "roads");
  EXPECT_EQ(LoadOgrTable(store, path.string(), "places", "sites").table->Name(), "sites");
  EXPECT_EQ(Failure(path.string(), "lakes"),
            "The data source " + path.string() + " has no layer lakes (its layers: places, roads)");
  const fs::path text = folder.Path() / "notes.txt";
  WriteText(text, "Not a data source.\n");
  EXPECT_EQ(Failure(text.string()), "Cannot open " + text.string() + ": `" + text.string() +
                                        "' not recognized as a supported file format.");
}

// GDAL is the oracle: a database read in place has the layers, fields, types and values that
// GDAL's own drivers give, and the same failures.
TEST(SqliteSource, ReadsWhatGdalReads) {
  test::TempFolder folder;
  for (const char* driver : {"GPKG", "SQLite"}) {
    SCOPED_TRACE(driver);
    const fs::path path = folder.Path() / (std::string("places.") + driver);
    MakePlaces(path, driver);
    FeatureStore inPlace;
    for (const char* layer : {"", "ROADS", "places"}) {
      FeatureStore copies;
      const SourceTable copied = LoadOgrTable(copies, path.string(), layer, "");
      const auto read = OpenSqliteTable(inPlace, path.string(), layer);
      ASSERT_TRUE(read);
      EXPECT_EQ(read->layerName, copied.layerName);
      EXPECT_EQ(read->category, copied.category);
      EXPECT_EQ(Fields(*read->table), Fields(*copied.table));
      EXPECT_EQ(Rows(*read->table), Rows(*copied.table));
    }
    EXPECT_EQ(test::Why([&] { OpenSqliteTable(inPlace, path.string(), "lakes"); }),
              Failure(path.string(), "lakes"));
  }
}

// What the folder holds: each file's name with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = test::ReadText(entry.path());
  return files;
}

// A GeoPackage that a writer (QGIS, say) keeps open in WAL mode, with a committed row still in
// the WAL: the reader sees it, and neither the file nor anything beside it is created or changed.
// Once the writer has closed, its WAL is gone, and reading creates none.
TEST(SqliteSource, ReadsCommittedWalPagesAndWritesNothing) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "places.gpkg";
  MakePlaces(path);
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer,
                         "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; "
                         "INSERT INTO roads DEFAULT VALUES",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  const auto count = [&] {
    FeatureStore store;
    return Rows(*OpenSqliteTable(store, path.string(), "roads")->table).size();
  };
  const auto before = Files(folder.Path());
  ASSERT_TRUE(before.count("places.gpkg-wal"));
  EXPECT_EQ(count(), 1u);
  EXPECT_EQ(Files(folder.Path()), before);

  sqlite3_close(writer);
  const auto closed = Files(folder.Path());
  ASSERT_FALSE(closed.count("places.gpkg-wal"));
  EXPECT_EQ(count(), 1u);
  EXPECT_EQ(Files(folder.Path()), closed);
}

}  // namespace
}  // namespace quillet::platform
