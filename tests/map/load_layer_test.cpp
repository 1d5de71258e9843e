#include <gtest/gtest.h>

#include "document/map_document.h"
#include "support/error_of.h"
#include "support/files.h"

namespace quillet::document {
namespace {

namespace fs = std::filesystem;

using test::WriteText;

// A folder with maps/ and data/: the world layer and a small CSV to join, by ISO code.
class LoadLayer : public ::testing::Test {
 protected:
  LoadLayer() {
    fs::create_directories(folder.Path() / "maps");
    fs::create_directories(data);
    fs::copy_file(fs::path(QUILLET_DATA_DIR) / "world.gpkg", data / "world.gpkg");
    WriteText(data / "stats.csv", "iso,score\nFR,1.5\nDE,2\nXX,9\n");
    WriteText(data / "stats.csvt", "String,Real\n");
  }

  MapDocument Write(const std::string& layers) {
    WriteText(map, R"({"quillet": 1, "layers": [)" + layers + "]}");
    return MapDocument::Read(map);
  }

  test::TempFolder folder;
  const fs::path data = folder.Path() / "data";
  const fs::path map = folder.Path() / "maps" / "m.json";
};

TEST_F(LoadLayer, PathsFromTheDocumentsFolderDefinitionAndJoin) {
  const MapDocument document = Write(
      R"({"name": "Big countries", "source": {"path": "../data/world.gpkg", "layer": "WORLD"},)"
      R"( "definitionExpression": "world.pop > 1e8", "definitionSelection": [1, 2, 3, 2],)"
      R"( "join": {"source": {"path": "../data/stats.csv"}, "name": "stats", "field": "iso_a2",)"
      R"( "joinField": "iso"}, "renderer": {"kind": "simple", "label": "Big"}})");
  const map::LoadedLayer loaded = document.Load(0);
  EXPECT_EQ(loaded.tableName, "world");
  EXPECT_EQ(loaded.layer->Name(), "Big countries");
  EXPECT_EQ(loaded.layer->DefinitionExpression(), "world.pop > 1e8");
  EXPECT_EQ(loaded.layer->DefinitionSelectionSet()->Count(), 3);

  const auto table = loaded.layer->DisplayedTable();
  for (const char* name : {"stats.FID", "stats.iso", "stats.score"})
    EXPECT_GE(table->FindField(name), 0) << name;
  int64_t count = 0;
  for (const auto cursor = table->Search(nullptr, true); cursor->NextRow();)
    ++count;
  EXPECT_EQ(count, 177) << "a left join keeps every country once";
}

TEST_F(LoadLayer, FailuresNameTheKey) {
  const MapDocument document = Write(
      R"({"name": "a", "source": {"path": "../data/none.gpkg"}, "renderer": {"kind": "simple"}},)"
      R"({"name": "b", "source": {"path": "../data/world.gpkg"}, "join": {"source": {"path":)"
      R"( "../data/world.gpkg", "layer": "x"}, "name": "s", "field": "iso_a2", "joinField": "iso"},)"
      R"( "renderer": {"kind": "simple"}},)"
      R"({"name": "c", "source": {"path": "../data/world.gpkg"}, "join": {"source": {"path":)"
      R"( "../data/stats.csv"}, "name": "World", "field": "iso_a2", "joinField": "iso"},)"
      R"( "renderer": {"kind": "simple"}},)"
      R"({"name": "d", "source": {"path": "../data/stats.csv"}, "join": {"source": {"path":)"
      R"( "../data/stats.csv"}, "name": "s", "field": "isox", "joinField": "iso"},)"
      R"( "renderer": {"kind": "simple"}},)"
      R"({"name": "e", "source": {"path": "../data/stats.csv"}, "join": {"source": {"path":)"
      R"( "../data/stats.csv"}, "name": "s", "field": "iso", "joinField": "isoy"},)"
      R"( "renderer": {"kind": "simple"}})");
  const std::string none = (data / "none.gpkg").string();
  const std::string failures[] = {
      ": /layers/0/source: Cannot open " + none + ": " + none + ": No such file or directory",
      ": /layers/1/join/source: The data source " + (data / "world.gpkg").string() +
          " has no layer x (its layers: world)",
      ": /layers/2/join/name: the join is named like the layer's own table world; give "
      "it another name",
      ": /layers/3/join/field: the join key isox is not a field of stats (its fields: "
      "FID, iso, score)",
      ": /layers/4/join/joinField: the join key isoy is not a field of s (its fields: "
      "FID, iso, score)",
  };
  for (size_t i = 0; i < document.Layers().size(); ++i)
    EXPECT_EQ(test::Why([&] { document.Load(i); }), map.string() + failures[i]);
}

}  // namespace
}  // namespace quillet::document
