#include "qgis/qgis_map.h"

#include <gtest/gtest.h>

#include "support/error_of.h"
#include "support/files.h"

namespace quillet::qgis {
namespace {

using test::TempFolder;
using test::WriteText;

std::string Layer(const std::string& name, const std::string& inside) {
  return "<maplayer type=\"vector\"><id>" + name + "_id</id><layername>" + name +
         "</layername><provider>ogr</provider><datasource>./w.gpkg|layername=world</datasource>" +
         inside + "</maplayer>";
}

class QgisProjectRead : public ::testing::Test {
 protected:
  QgisMap Read(const std::string& layers, const std::string& tree = "") {
    WriteText(folder.Path() / "p.qgs",
              "<!DOCTYPE qgis PUBLIC 'http://mrcc.com/qgis.dtd' "
              "'SYSTEM'>\n<qgis>" +
                  tree + "<projectlayers>" + layers + "</projectlayers></qgis>\n");
    return QgisMap::ReadProject(folder.Path() / "p.qgs");
  }
  std::string Unusable(const QgisMap& map, const std::string& layer) {
    return map.Layers().at(map.FindLayer(layer)).unusable;
  }
  TempFolder folder;
};

TEST_F(QgisProjectRead, LayersThatCannotBeLabelledSayWhy) {
  const QgisMap map =
      Read(Layer("Two joins",
                 "<vectorjoins><join joinLayerId=\"a\"/><join joinLayerId=\"b\"/>"
                 "</vectorjoins>") +
               Layer("Lost join", "<vectorjoins><join joinLayerId=\"gone\"/></vectorjoins>") +
               "<maplayer type=\"raster\"><layername>Relief</layername></maplayer>"
               "<maplayer embedded=\"1\" project=\"./base.qgs\" id=\"roads_1\"/>",
           "<layer-tree-group><layer-tree-group name=\"g\"><layer-tree-layer id=\"roads_1\" "
           "name=\"Roads\"/></layer-tree-group></layer-tree-group>");
  ASSERT_EQ(map.Layers().size(), 3u) << "raster layers are not listed";
  EXPECT_EQ(Unusable(map, "Two joins"),
            "the layer has 2 joins; quillet reads layers with one "
            "join at most");
  EXPECT_EQ(Unusable(map, "Lost join"),
            "the layer joins the layer gone, which is not in the "
            "project");
  EXPECT_EQ(Unusable(map, "Roads"),
            "the layer is embedded from the project ./base.qgs; label it there");
  EXPECT_EQ(test::Why([&] { map.Load(map.FindLayer("Roads")); }),
            (folder.Path() / "p.qgs").string() +
                ": layer \"Roads\" datasource: the layer is embedded from the project "
                "./base.qgs; label it there");
  EXPECT_EQ(map.RendererKind(0), "none");
  EXPECT_FALSE(map.KeepsLabels(0));
}

TEST_F(QgisProjectRead, JoinedFieldsAndNamesFollowTheJoinsPrefix) {
  const QgisMap map =
      Read(Layer("world stats", "") +
           Layer("Joined",
                 "<vectorjoins><join joinLayerId=\"world stats_id\" targetFieldName=\"iso\" "
                 "joinFieldName=\"code\"/></vectorjoins>"
                 "<renderer-v2 type=\"graduatedSymbol\" attr=\"world stats_gdp\"/>") +
           Layer("Prefixed",
                 "<vectorjoins><join joinLayerId=\"world stats_id\" customPrefix=\"s_\" "
                 "targetFieldName=\"iso\" joinFieldName=\"code\"/></vectorjoins>"));
  const auto& joined = *map.Layers().at(map.FindLayer("Joined")).join;
  EXPECT_EQ(joined.name, "world_stats");
  EXPECT_EQ(joined.field, "iso");
  EXPECT_EQ(joined.joinField, "code");
  EXPECT_EQ(gis::As<gis::ClassBreaksRenderer>(map.Renderer(map.FindLayer("Joined")))->Field(),
            "world_stats.gdp");
  EXPECT_EQ(map.Layers().at(map.FindLayer("Prefixed")).join->name, "s");
}

// QGIS draws nothing below the first range, the component's first class everything up to its
// break: the bound becomes part of the layer's filter, in the SQL of the layer's query.
TEST_F(QgisProjectRead, TheFirstRangesLowerBoundJoinsTheFilter) {
  const auto graduated = [](const std::string& attr) {
    return "<renderer-v2 type=\"graduatedSymbol\" attr=\"" + attr +
           "\"><ranges><range lower=\"1000.500\" upper=\"2000\"/></ranges></renderer-v2>";
  };
  const QgisMap map = Read(
      "<maplayer type=\"vector\"><layername>Filtered</layername><provider>ogr</provider>"
      "<datasource>./w.gpkg|layername=world|subset=\"a\" = 1 OR \"b\" = 2</datasource>" +
      graduated("pop") + "</maplayer>" + Layer("stats", "") +
      Layer("Joined",
            "<vectorjoins><join joinLayerId=\"stats_id\" targetFieldName=\"iso\" "
            "joinFieldName=\"iso\"/></vectorjoins>" +
                graduated("stats_gdp")));
  const auto filter = [&](const std::string& layer) {
    return map.Layers().at(map.FindLayer(layer)).definitionExpression;
  };
  EXPECT_EQ(filter("Filtered"), "( \"a\" = 1 OR \"b\" = 2 ) AND \"pop\" >= 1000.500");
  EXPECT_EQ(filter("Joined"), "\"stats\".\"gdp\" >= 1000.500");
}

TEST_F(QgisProjectRead, LabelsAreWrittenIntoTheirAttributesWhateverTheQuotes) {
  const std::string categories =
      "<renderer-v2 type=\"categorizedSymbol\" attr=\"c\"><categories>\n"
      "<category value='a' label='A'/>\n"
      "<category value=\"\" symbol=\"1\"/>\n"
      "<category value=\"b\" label=\"B\" render=\"true\"></category>\n"
      "</categories></renderer-v2>";
  QgisMap map = Read(Layer("L", categories));
  const std::string before = map.Contents();
  const std::vector<std::string> labels{"it's <a>", "B", "rest & \"more\""};
  map.StoreLabels(0, *map.Renderer(0, &labels));
  const std::string after = map.Contents();
  EXPECT_NE(after.find("<category value='a' label='it&apos;s &lt;a>'/>\n"
                       "<category value=\"\" symbol=\"1\" label=\"rest &amp; &quot;more&quot;\"/>\n"
                       "<category value=\"b\" label=\"B\" render=\"true\"></category>"),
            std::string::npos)
      << after;
  EXPECT_EQ(after.size() - before.size(),
            std::string("it&apos;s &lt;a>").size() - 1 +
                std::string(" label=\"rest &amp; &quot;more&quot;\"").size());

  // Labels stored back as they stood keep the file's bytes; the missing one is written.
  const std::vector<std::string> same{"A", "B", ""};
  map.StoreLabels(0, *map.Renderer(0, &same));
  std::string expected = before;
  expected.insert(expected.find("symbol=\"1\"") + 10, " label=\"\"");
  EXPECT_EQ(map.Contents(), expected);
}

TEST_F(QgisProjectRead, FilesThatAreNoProjects) {
  const auto why = [&](const std::string& name, const std::string& bytes) {
    WriteText(folder.Path() / name, bytes);
    return test::Why([&] { QgisMap::ReadProject(folder.Path() / name); });
  };
  const std::string at = folder.Path().string() + "/";
  EXPECT_EQ(why("x.qgs", "<project/>"),
            at + "x.qgs: a QGIS project has the root element <qgis>, not <project>");
  // Layers of one name are told apart by their path in the layer tree or their id.
  const auto named = [](const std::string& id) {
    return "<maplayer type=\"vector\"><id>" + id + "</id><layername>A</layername></maplayer>";
  };
  const QgisMap twins =
      Read(named("a1") + named("a2"),
           "<layer-tree-group><layer-tree-group name=\"G\"><layer-tree-layer "
           "id=\"a1\" name=\"A\"/></layer-tree-group><layer-tree-group name=\"H\">"
           "<layer-tree-group name=\"I\"><layer-tree-layer id=\"a2\" name=\"A\"/>"
           "</layer-tree-group></layer-tree-group></layer-tree-group>");
  EXPECT_EQ(test::Why([&] { twins.FindLayer("A"); }),
            at + "p.qgs: two layers are named \"A\"; name one by its group path (\"G/A\", "
                 "\"H/I/A\") or its layer id (\"a1\", \"a2\")");
  EXPECT_EQ(twins.FindLayer("h/i/a"), 1u);
  EXPECT_EQ(twins.FindLayer("a1"), 0u);
  EXPECT_EQ(twins.Designation(1), "H/I/A");
  EXPECT_EQ(why("empty.qgz", std::string("PK\x05\x06", 4) + std::string(18, '\0')),
            at + "empty.qgz: the archive holds no QGIS project (.qgs)");
  EXPECT_EQ(test::Why([&] { QgisMap::ReadStyle(at + "x.qgs", "w.gpkg"); }),
            at + "x.qgs: a QGIS layer style has the root element <qgis>, not <project>");
}

}  // namespace
}  // namespace quillet::qgis
