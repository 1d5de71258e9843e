#include <gtest/gtest.h>

#include "document/map_document.h"
#include "document_test_support.h"
#include "gis/field.h"
#include "runtime/error.h"

namespace quillet::document {
namespace {

namespace fs = std::filesystem;

using test::WriteText;

// A folder with maps/ and data/: the world layer and a small CSV to join, by ISO code.
class LoadLayer : public ::testing::Test {
 protected:
  LoadLayer() {
    fs::create_directories(folder.Path() / "maps");
    fs::create_directories(folder.Path() / "data");
    fs::copy_file(test::kDataDir / "world.gpkg", folder.Path() / "data" / "world.gpkg");
    WriteText(folder.Path() / "data" / "stats.csv", "iso,score\nFR,1.5\nDE,2\nXX,9\n");
    WriteText(folder.Path() / "data" / "stats.csvt", "String,Real\n");
  }

  MapDocument Write(const std::string& layers) {
    const fs::path path = folder.Path() / "maps" / "m.json";
    WriteText(path, R"({"quillet": 1, "layers": [)" + layers + "]}");
    return MapDocument::Read(path);
  }

  std::string LoadFailure(const MapDocument& document, size_t index) {
    try {
      document.Load(index);
    } catch (const runtime::Error& error) {
      return error.Description();
    }
    return "(loaded)";
  }

  test::TempFolder folder;
};

std::vector<std::string> FieldNames(const gis::Table& table) {
  std::vector<std::string> names;
  const auto fields = table.Fields();
  for (int32_t i = 0; i < fields->FieldCount(); ++i)
    names.push_back(fields->Field(i)->Name());
  return names;
}

int64_t Count(gis::Table& table) {
  int64_t count = 0;
  const auto cursor = table.Search(nullptr, true);
  while (cursor->NextRow())
    ++count;
  return count;
}

TEST_F(LoadLayer, PathsFromTheDocumentsFolderDefinitionAndRenderer) {
  const MapDocument document = Write(
      R"({"name": "Big countries", "source": {"path": "../data/world.gpkg", "layer": "WORLD"},)"
      R"( "definitionExpression": "pop > 1e8", "definitionSelection": [1, 2, 3, 2],)"
      R"( "renderer": {"kind": "simple", "label": "Big"}})");
  const LoadedLayer loaded = document.Load(0);
  EXPECT_EQ(loaded.tableName, "world");
  EXPECT_EQ(loaded.category, "GeoPackage");
  EXPECT_EQ(loaded.layer->Name(), "Big countries");
  EXPECT_EQ(loaded.layer->DataSourceName()->Name(), "world");
  EXPECT_EQ(loaded.layer->DataSourceName()->Category(), "GeoPackage");
  EXPECT_EQ(loaded.layer->DefinitionExpression(), "pop > 1e8");
  EXPECT_EQ(loaded.layer->DefinitionSelectionSet()->Count(), 3);
  EXPECT_EQ(gis::Require<gis::SimpleRenderer>(loaded.layer->Renderer())->Label(), "Big");
  EXPECT_EQ(Count(*loaded.layer->Table()), 177);
  // Each load makes a renderer of its own.
  EXPECT_NE(document.Load(0).layer->Renderer(), loaded.layer->Renderer());
}

TEST_F(LoadLayer, JoinedFieldsAreQualifiedByTableAndJoinName) {
  const MapDocument document = Write(
      R"({"name": "w", "source": {"path": "../data/world.gpkg"},)"
      R"( "join": {"source": {"path": "../data/stats.csv"}, "name": "stats", "field": "iso_a2",)"
      R"( "joinField": "iso"}, "renderer": {"kind": "simple"}},)"
      R"({"name": "again", "source": {"path": "../data/world.gpkg"},)"
      R"( "join": {"source": {"path": "../data/stats.csv"}, "name": "World", "field": "iso_a2",)"
      R"( "joinField": "iso"}, "renderer": {"kind": "simple"}})");
  const LoadedLayer loaded = document.Load(0);
  const auto table = loaded.layer->DisplayedTable();
  ASSERT_TRUE(gis::Is<gis::JoinedTable>(table));
  const auto names = FieldNames(*table);
  EXPECT_EQ(names.front(), "world.fid");
  EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
            (std::vector<std::string>{"stats.FID", "stats.iso", "stats.score"}));
  EXPECT_EQ(table->Fields()->Field(table->FindField("stats.score"))->Type(), gis::kFieldDouble);
  EXPECT_EQ(Count(*table), 177) << "a left join keeps every country once";

  EXPECT_EQ(LoadFailure(document, 1),
            (folder.Path() / "maps" / "m.json").string() +
                ": /layers/1/join/name: the join is named like the layer's own table world; give "
                "it another name");
}

TEST_F(LoadLayer, SourceFailuresNameTheKey) {
  const MapDocument document = Write(
      R"({"name": "a", "source": {"path": "../data/none.gpkg"}, "renderer": {"kind": "simple"}},)"
      R"({"name": "b", "source": {"path": "../data/world.gpkg"},)"
      R"( "join": {"source": {"path": "../data/world.gpkg", "layer": "x"}, "name": "s",)"
      R"( "field": "iso_a2", "joinField": "iso"}, "renderer": {"kind": "simple"}})");
  const std::string map = (folder.Path() / "maps" / "m.json").string();
  const std::string none = (folder.Path() / "data" / "none.gpkg").string();
  EXPECT_EQ(LoadFailure(document, 0), map + ": /layers/0/source: Cannot open " + none + ": " +
                                          none + ": No such file or directory");
  EXPECT_EQ(LoadFailure(document, 1), map + ": /layers/1/join/source: The data source " +
                                          (folder.Path() / "data" / "world.gpkg").string() +
                                          " has no layer x (its layers: world)");
}

}  // namespace
}  // namespace quillet::document
