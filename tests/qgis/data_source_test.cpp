#include "qgis/data_source.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace quillet::qgis {
namespace {

using test::Why;

TEST(QgisDataSource, OgrPathsLayersAndSubsets) {
  // The subset runs to the end, bars and all.
  EXPECT_EQ(ReadDataSource("ogr", "./w.gpkg|layername=w|subset=\"c\" <> 'A|B'", "/maps").subset,
            "\"c\" <> 'A|B'");
  EXPECT_EQ(ReadDataSource("ogr", "../sids.shp|layerid=0", "/maps/p").source.layer, "");

  const DataSource absolute = ReadDataSource("ogr", "/data/x.gpkg|subset=", "/maps");
  EXPECT_EQ(absolute.source.location, "/data/x.gpkg");
  EXPECT_FALSE(absolute.subset.has_value()) << "an empty subset is no definition";
}

TEST(QgisDataSource, LayerIdsAreLookedUpInTheSource) {
  const std::string sids = std::string(QUILLET_DATA_DIR) + "/sids.shp";
  EXPECT_EQ(Why([&] { ReadDataSource("ogr", sids + "|layerid=3", ""); }),
            "the data source " + sids + " has no layer number 3");
  EXPECT_EQ(Why([&] { ReadDataSource("ogr", sids + "|layerid=x", ""); }),
            "layerid=x is not a layer number");
}

TEST(QgisDataSource, SpatialiteAndPostgresUris) {
  const DataSource escaped = ReadDataSource(
      "spatialite", "dbname='/d/it\\'s.sqlite' table=\"a \"\"b\"\"\" (geom)", "/maps");
  EXPECT_EQ(escaped.source.location, "/d/it's.sqlite");
  EXPECT_EQ(escaped.source.layer, "a \"b\"");
  EXPECT_FALSE(escaped.subset.has_value());

  const DataSource secret =
      ReadDataSource("postgres", "dbname='gis' password='it\\'s' user=me table=\"t\"", "");
  EXPECT_EQ(secret.source.location, "PG:dbname='gis' user='me' password='it\\'s'");
  EXPECT_EQ(secret.source.written, "dbname='gis' password=*** user=me table=\"t\"");
  EXPECT_EQ(
      ReadDataSource("postgres", "dbname='gis' table=\"stats\".\"gdp\" (geom)", "").source.layer,
      "stats.gdp");
}

TEST(QgisDataSource, OtherProvidersAreNamedInTheReason) {
  const DataSource wms = ReadDataSource("wms", "url=https://example.org/wms", "/maps");
  EXPECT_EQ(wms.unusable,
            "the QGIS data provider \"wms\" is not one quillet reads (it reads ogr, spatialite "
            "and postgres layers)");
  EXPECT_EQ(wms.source.written, "url=https://example.org/wms");
  EXPECT_EQ(Why([] { ReadDataSource("spatialite", "table=\"open", ""); }),
            "a quoted name is not closed: table=\"open");
}

}  // namespace
}  // namespace quillet::qgis
