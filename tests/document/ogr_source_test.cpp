#include "platform/ogr_source.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include "document_test_support.h"
#include "gis/field.h"
#include "runtime/date.h"
#include "runtime/error.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

using runtime::Variant;
using test::WriteText;

// One column of the test layer: how GDAL declares it, what it holds in row 1, and what the
// store makes of it.
struct Column {
  const char* name;
  OGRFieldType type;
  OGRFieldSubType subtype;
  std::function<void(OGRFeature&, int)> set;
  int32_t code;
  Variant value;
};

const std::vector<Column>& Columns() {
  static const std::vector<Column> columns = {
      {"small", OFTInteger, OFSTInt16, [](OGRFeature& f, int i) { f.SetField(i, -300); },
       gis::kFieldSmallInteger, Variant::Integer(-300)},
      {"flag", OFTInteger, OFSTBoolean, [](OGRFeature& f, int i) { f.SetField(i, 1); },
       gis::kFieldSmallInteger, Variant::Integer(1)},
      {"count", OFTInteger, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 70000); },
       gis::kFieldInteger, Variant::Long(70000)},
      {"big", OFTInteger64, OFSTNone,
       [](OGRFeature& f, int i) { f.SetField(i, static_cast<GIntBig>(5000000000LL)); },
       gis::kFieldInteger, Variant::Double(5e9)},
      {"modest", OFTInteger64, OFSTNone,
       [](OGRFeature& f, int i) { f.SetField(i, static_cast<GIntBig>(42)); }, gis::kFieldInteger,
       Variant::Long(42)},
      {"ratio", OFTReal, OFSTFloat32, [](OGRFeature& f, int i) { f.SetField(i, 0.5); },
       gis::kFieldSingle, Variant::Single(0.5f)},
      {"area", OFTReal, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 1234.25); },
       gis::kFieldDouble, Variant::Double(1234.25)},
      {"name", OFTString, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, "Zürich"); },
       gis::kFieldString, Variant::String("Zürich")},
      {"built", OFTDate, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 1990, 5, 1); },
       gis::kFieldDate, Variant::Date(runtime::DateSerial(1990, 5, 1))},
      {"seen", OFTDateTime, OFSTNone,
       [](OGRFeature& f, int i) { f.SetField(i, 2001, 2, 3, 18, 30, 15.75f, 100); },
       gis::kFieldDate,
       Variant::Date(runtime::DateSerial(2001, 2, 3) + (18 * 3600 + 30 * 60 + 15) / 86400.0)},
      {"opens", OFTTime, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 0, 0, 0, 9, 5, 0); },
       gis::kFieldString, Variant::String("09:05:00")},
      {"bytes", OFTBinary, OFSTNone,
       [](OGRFeature& f, int i) {
         GByte bytes[] = {1, 2, 3};
         f.SetField(i, 3, bytes);
       },
       gis::kFieldBlob, Variant::Empty()},
  };
  return columns;
}

// A GeoPackage with one point layer "places" whose columns are `Columns()`: row 1 holds their
// values, row 2 nulls and no geometry.
void MakePlaces(const fs::path& path) {
  GDALAllRegister();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
  GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  ASSERT_TRUE(dataset);
  OGRLayer* layer = dataset->CreateLayer("places", nullptr, wkbPoint, nullptr);
  ASSERT_NE(layer, nullptr);
  for (const Column& column : Columns()) {
    OGRFieldDefn field(column.name, column.type);
    field.SetSubType(column.subtype);
    ASSERT_EQ(layer->CreateField(&field), OGRERR_NONE);
  }
  OGRFeature full(layer->GetLayerDefn());
  for (size_t i = 0; i < Columns().size(); ++i)
    Columns()[i].set(full, static_cast<int>(i));
  OGRPoint point(7, 51);
  full.SetGeometry(&point);
  ASSERT_EQ(layer->CreateFeature(&full), OGRERR_NONE);
  OGRFeature empty(layer->GetLayerDefn());
  for (size_t i = 0; i < Columns().size(); ++i)
    empty.SetFieldNull(static_cast<int>(i));
  ASSERT_EQ(layer->CreateFeature(&empty), OGRERR_NONE);
}

std::vector<std::vector<Variant>> Rows(gis::Table& table) {
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
  try {
    FeatureStore store;
    LoadOgrLayer(store, source, layer);
  } catch (const runtime::Error& error) {
    return error.Description();
  }
  return "(loaded)";
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
  EXPECT_EQ(layer->Name(), "places");
  EXPECT_EQ(layer->DataSourceName()->Category(), "GeoPackage");

  std::vector<std::pair<std::string, int32_t>> expected = {{"fid", gis::kFieldObjectId},
                                                           {"geom", gis::kFieldGeometry}};
  std::vector<Variant> full = {Variant::Long(1), Variant::Empty()};
  std::vector<Variant> empty = {Variant::Long(2), Variant::Null()};
  for (const Column& column : Columns()) {
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
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
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
    EXPECT_EQ(layer->DataSourceName()->Category(), "ESRI Shapefile");
    EXPECT_EQ(Fields(*layer->Table()).front(), std::make_pair(std::string("FID"), 6));
    const auto rows = Rows(*layer->Table());
    EXPECT_EQ(rows.at(0).at(0), Variant::Long(0)) << "a shapefile counts from 0";
    return rows.at(0).at(2).AsString();
  };
  EXPECT_EQ(read(), "5 €");
  // Without its .cpg the byte 0x80 is read as ISO-8859-1: a control character, not the euro.
  fs::remove(folder.Path() / "prices.cpg");
  EXPECT_EQ(read(), "5 \u0080");
}

TEST(OgrSource, CsvTakesItsTypesFromCsvt) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "stats.csv";
  WriteText(path, "code,count,share,day\nA,3,0.25,2020-02-29\nB,,0.5,\n");
  const auto read = [&] {
    FeatureStore store;
    const auto layer = LoadOgrLayer(store, path.string());
    return std::make_pair(Fields(*layer->Table()), Rows(*layer->Table()));
  };
  auto [untyped, textRows] = read();
  EXPECT_EQ(untyped, (std::vector<std::pair<std::string, int32_t>>{
                         {"FID", 6}, {"code", 4}, {"count", 4}, {"share", 4}, {"day", 4}}));
  EXPECT_EQ(textRows.at(0).at(2), Variant::String("3"));

  WriteText(folder.Path() / "stats.csvt", "String,Integer,Real,Date\n");
  auto [typed, rows] = read();
  EXPECT_EQ(typed, (std::vector<std::pair<std::string, int32_t>>{
                       {"FID", 6}, {"code", 4}, {"count", 1}, {"share", 3}, {"day", 5}}));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<Variant>{Variant::Long(1), Variant::String("A"), Variant::Long(3),
                                           Variant::Double(0.25),
                                           Variant::Date(runtime::DateSerial(2020, 2, 29))}));
  EXPECT_EQ(rows[1], (std::vector<Variant>{Variant::Long(2), Variant::String("B"), Variant::Null(),
                                           Variant::Double(0.5), Variant::Null()}));
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

TEST(OgrSource, LayersByNameOrFirst) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "two.gpkg";
  {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    for (const char* name : {"roads", "rivers"}) {
      OGRLayer* layer = dataset->CreateLayer(name, nullptr, wkbNone, nullptr);
      OGRFeature feature(layer->GetLayerDefn());
      ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
  }
  FeatureStore store;
  EXPECT_EQ(OgrLayerNames(path.string()), (std::vector<std::string>{"roads", "rivers"}));
  EXPECT_EQ(LoadOgrLayer(store, path.string())->Name(), "roads");
  EXPECT_EQ(LoadOgrLayer(store, path.string(), "RIVERS")->Name(), "rivers");
  EXPECT_EQ(LoadOgrTable(store, path.string(), "rivers", "water").table->Name(), "water");
  EXPECT_EQ(Failure(path.string(), "lakes"),
            "The data source " + path.string() + " has no layer lakes (its layers: roads, rivers)");
}

TEST(OgrSource, FailuresCarryGdalsReason) {
  test::TempFolder folder;
  const fs::path missing = folder.Path() / "none.gpkg";
  EXPECT_EQ(Failure(missing.string()), "Cannot open " + missing.string() + ": " + missing.string() +
                                           ": No such file or directory");
  const fs::path text = folder.Path() / "notes.txt";
  WriteText(text, "Not a data source.\n");
  EXPECT_EQ(Failure(text.string()), "Cannot open " + text.string() + ": `" + text.string() +
                                        "' not recognized as a supported file format.");
}

}  // namespace
}  // namespace quillet::platform
