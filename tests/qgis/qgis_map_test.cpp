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
              "<!DOCTYPE qgis PUBLIC 'http://mrcc.com/qgis.dtd' 'SYSTEM'>\n<qgis>" + tree +
                  "<projectlayers>" + layers + "</projectlayers></qgis>\n");
    return QgisMap::ReadProject(folder.Path() / "p.qgs");
  }
  std::string Unusable(const QgisMap& map, const std::string& layer) {
    return map.Layers().at(map.FindLayer(layer)).unusable;
  }
  TempFolder folder;
};

TEST_F(QgisProjectRead, LayersSayWhyTheyCannotBeLabelledAndAreFoundByPathOrId) {
  const auto named = [](const std::string& id) {
    return "<maplayer type=\"vector\"><id>" + id + "</id><layername>A</layername></maplayer>";
  };
  const std::string joins = "<vectorjoins><join joinLayerId=\"world stats_id\" ";
  const QgisMap map =
      Read(Layer("Two joins",
                 "<vectorjoins><join joinLayerId=\"a\"/><join joinLayerId=\"b\"/></vectorjoins>") +
               Layer("Lost join", "<vectorjoins><join joinLayerId=\"gone\"/></vectorjoins>") +
               "<maplayer type=\"raster\"><layername>Relief</layername></maplayer>"
               "<maplayer embedded=\"1\" project=\"./base.qgs\" id=\"roads_1\"/>" +
               Layer("world stats", "") +
               Layer("Joined",
                     joins + "targetFieldName=\"iso\" joinFieldName=\"code\"/></vectorjoins>"
                             "<renderer-v2 type=\"graduatedSymbol\" attr=\"world stats_gdp\"/>") +
               Layer("Prefixed", joins + "customPrefix=\"s_\"/></vectorjoins>") + named("a1") +
               named("a2"),
           "<layer-tree-group><layer-tree-group name=\"G\"><layer-tree-layer id=\"roads_1\" "
           "name=\"Roads\"/><layer-tree-layer id=\"a1\" name=\"A\"/></layer-tree-group>"
           "<layer-tree-group name=\"H\"><layer-tree-group name=\"I\"><layer-tree-layer id=\"a2\" "
           "name=\"A\"/></layer-tree-group></layer-tree-group></layer-tree-group>");
  ASSERT_EQ(map.Layers().size(), 8u) << "raster layers are not listed";
  EXPECT_EQ(Unusable(map, "Two joins"),
            "the layer has 2 joins; quillet reads layers with one join at most");
  EXPECT_EQ(Unusable(map, "Lost join"),
            "the layer joins the layer gone, which is not in the project");
  EXPECT_EQ(Unusable(map, "Roads"),
            "the layer is embedded from the project ./base.qgs; label it there");
  EXPECT_EQ(map.RendererKind(0), "none");
  EXPECT_FALSE(map.KeepsLabels(0));

  EXPECT_EQ(map.Layers().at(map.FindLayer("Joined")).join->name, "world_stats");
  EXPECT_EQ(gis::As<gis::ClassBreaksRenderer>(map.Renderer(map.FindLayer("Joined")))->Field(),
            "world_stats.gdp");
  EXPECT_EQ(map.Layers().at(map.FindLayer("Prefixed")).join->name, "s");

  EXPECT_EQ(test::Why([&] { map.FindLayer("A"); }),
            (folder.Path() / "p.qgs").string() +
                ": two layers are named \"A\"; name one by its group path (\"G/A\", \"H/I/A\") "
                "or its layer id (\"a1\", \"a2\")");
  EXPECT_EQ(map.FindLayer("h/i/a"), 7u);
  EXPECT_EQ(map.FindLayer("a1"), 6u);
  EXPECT_EQ(map.Designation(7), "H/I/A");
}

TEST_F(QgisProjectRead, FilesThatAreNoProjects) {
  const auto why = [&](const std::string& name, const std::string& bytes) {
    WriteText(folder.Path() / name, bytes);
    return test::Why([&] { QgisMap::ReadProject(folder.Path() / name); });
  };
  const std::string at = folder.Path().string() + "/";
  EXPECT_EQ(why("x.qgs", "<project/>"),
            at + "x.qgs: a QGIS project has the root element <qgis>, not <project>");
  EXPECT_EQ(why("empty.qgz", std::string("PK\x05\x06", 4) + std::string(18, '\0')),
            at + "empty.qgz: the archive holds no QGIS project (.qgs)");
  EXPECT_EQ(test::Why([&] { QgisMap::ReadStyle(at + "x.qgs", "w.gpkg"); }),
            at + "x.qgs: a QGIS layer style has the root element <qgis>, not <project>");
}

}  // namespace
}  // namespace quillet::qgis
