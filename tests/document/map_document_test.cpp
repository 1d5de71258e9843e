#include "document/map_document.h"

#include <gtest/gtest.h>

#include "document_test_support.h"
#include "runtime/error.h"

namespace quillet::document {
namespace {

namespace fs = std::filesystem;

using test::kDataDir;

// A document of one layer whose parts a case replaces.
std::string Document(const std::string& layer) {
  return R"({"quillet": 1, "layers": [)" + layer + "]}";
}

std::string Layer(const std::string& renderer, const std::string& more = "") {
  return R"({"name": "w", "source": {"path": "w.gpkg"}, )" + more + R"("renderer": )" + renderer +
         "}";
}

const std::string kSimple = R"({"kind": "simple", "label": "All"})";

std::string Failure(const std::string& text) {
  try {
    MapDocument::Parse(text, "maps/m.json");
  } catch (const runtime::Error& error) {
    return error.Description();
  }
  return "(read)";
}

struct Refused {
  std::string text;
  std::string message;
};

TEST(MapDocumentRead, RefusesWithTheKeyAndTheReason) {
  const std::vector<Refused> cases = {
      // The file as a whole.
      {"",
       "maps/m.json:1:1: malformed JSON: syntax error while parsing value - unexpected end "
       "of input; expected '[', '{', or a literal"},
      {"{\n  \"quillet\": 1,\n  \"layers\": [}\n",
       "maps/m.json:3:14: malformed JSON: syntax error while parsing value - unexpected '}'; "
       "expected '[', '{', or a literal"},
      // Columns count characters, not bytes.
      {"{\"é\": 1 2}",
       "maps/m.json:1:9: malformed JSON: syntax error while parsing object - unexpected number "
       "literal; expected '}'"},
      {"[]", "maps/m.json: /: expected an object, found an array ([])"},
      {R"({"layers": []})", "maps/m.json: /: missing key \"quillet\""},
      {R"({"quillet": "1", "layers": []})",
       "maps/m.json: /quillet: expected an integer, found a string (\"1\")"},
      {R"({"quillet": 2, "layers": []})",
       "maps/m.json: /quillet: this is a map document of version 2; quillet reads version 1"},
      {R"({"quillet": 1})", "maps/m.json: /: missing key \"layers\""},
      {R"({"quillet": 1, "layers": 3})",
       "maps/m.json: /layers: expected an array, found a number (3)"},
      // A layer.
      {Document("7"), "maps/m.json: /layers/0: expected an object, found a number (7)"},
      {Document(R"({"source": {"path": "w.gpkg"}})"),
       "maps/m.json: /layers/0: missing key \"name\""},
      {Document(Layer(kSimple) + "," + Layer(kSimple)),
       "maps/m.json: /layers/1/name: another layer is named \"w\" already"},
      {Document(R"({"name": "w", "renderer": {"kind": "simple"}})"),
       "maps/m.json: /layers/0: missing key \"source\""},
      {Document(R"({"name": "w", "source": {"layer": "w"}, "renderer": {"kind": "simple"}})"),
       "maps/m.json: /layers/0/source: missing key \"path\" (or \"connection\")"},
      {Document(R"({"name": "w", "source": {"path": "a", "connection": "PG:"}, "renderer": {}})"),
       "maps/m.json: /layers/0/source: give \"path\" or \"connection\", not both"},
      {Document(R"({"name": "w", "source": {"path": ["a"]}, "renderer": {}})"),
       "maps/m.json: /layers/0/source/path: expected a string, found an array ([\"a\"])"},
      {Document(Layer(kSimple, R"("definitionExpression": 5, )")),
       "maps/m.json: /layers/0/definitionExpression: expected a string, found a number (5)"},
      {Document(Layer(kSimple, R"("definitionSelection": [1, 3.5], )")),
       "maps/m.json: /layers/0/definitionSelection/1: expected an integer, found a number (3.5)"},
      {Document(Layer(kSimple, R"("definitionSelection": "1", )")),
       "maps/m.json: /layers/0/definitionSelection: expected an array, found a string (\"1\")"},
      {Document(Layer(
           kSimple, R"("join": {"source": {"path": "s.csv"}, "field": "a", "joinField": "b"}, )")),
       "maps/m.json: /layers/0/join: missing key \"name\""},
      {Document(Layer(
           kSimple,
           R"("join": {"source": {"path": "s.csv"}, "name": "s.t", "field": "a", "joinField": "b"}, )")),
       "maps/m.json: /layers/0/join/name: a join name is a word without dots that qualifies the "
       "joined fields"},
      {Document(
           Layer(kSimple, R"("join": {"source": {"path": "s.csv"}, "name": "s", "field": "a"}, )")),
       "maps/m.json: /layers/0/join: missing key \"joinField\""},
      {Document(Layer(kSimple, R"("join": {"name": "s", "field": "a", "joinField": "b"}, )")),
       "maps/m.json: /layers/0/join: missing key \"source\""},
      // Its renderer.
      {Document(R"({"name": "w", "source": {"path": "w.gpkg"}})"),
       "maps/m.json: /layers/0: missing key \"renderer\""},
      {Document(Layer("[]")),
       "maps/m.json: /layers/0/renderer: expected an object, found an array ([])"},
      {Document(Layer("{}")), "maps/m.json: /layers/0/renderer: missing key \"kind\""},
      {Document(Layer(R"({"kind": "Simple"})")),
       "maps/m.json: /layers/0/renderer/kind: unknown renderer kind \"Simple\" (kinds: simple, "
       "uniqueValue, classBreaks, bivariate, proportionalSymbol)"},
      {Document(Layer(R"({"kind": "simple", "label": true})")),
       "maps/m.json: /layers/0/renderer/label: expected a string, found a boolean (true)"},
      {Document(Layer(R"({"kind": "uniqueValue", "fields": []})")),
       "maps/m.json: /layers/0/renderer/fields: a unique value renderer needs a field"},
      {Document(Layer(R"({"kind": "uniqueValue", "fields": ["a", 2]})")),
       "maps/m.json: /layers/0/renderer/fields/1: expected a string, found a number (2)"},
      {Document(Layer(R"({"kind": "uniqueValue", "fields": ["a"], "classes": {}})")),
       "maps/m.json: /layers/0/renderer/classes: expected an array, found an object ({})"},
      {Document(Layer(R"({"kind": "uniqueValue", "fields": ["a"], "classes": [{"values": []}]})")),
       "maps/m.json: /layers/0/renderer/classes/0/values: a class needs at least one value"},
      {Document(
           Layer(R"({"kind": "uniqueValue", "fields": ["a"], "classes": [{"values": [true]}]})")),
       "maps/m.json: /layers/0/renderer/classes/0/values/0: expected a string or a number, found "
       "a boolean (true)"},
      {Document(Layer(
           R"({"kind": "uniqueValue", "fields": ["a"], "classes": [{"values": ["x"]}, {"values": ["y", "x"]}]})")),
       "maps/m.json: /layers/0/renderer/classes/1/values: The value x is listed already"},
      {Document(Layer(R"({"kind": "uniqueValue", "fields": ["a"], "default": "rest"})")),
       "maps/m.json: /layers/0/renderer/default: expected an object, found a string (\"rest\")"},
      {Document(Layer(R"({"kind": "classBreaks", "classes": []})")),
       "maps/m.json: /layers/0/renderer: missing key \"field\""},
      {Document(Layer(R"({"kind": "classBreaks", "field": "p", "minimumBreak": "0"})")),
       "maps/m.json: /layers/0/renderer/minimumBreak: expected a number, found a string (\"0\")"},
      {Document(Layer(R"({"kind": "classBreaks", "field": "p", "classes": [{"label": "x"}]})")),
       "maps/m.json: /layers/0/renderer/classes/0: missing key \"break\""},
      {Document(Layer(
           R"({"kind": "bivariate", "main": {"kind": "simple"}, "second": {"kind": "simple"}})")),
       "maps/m.json: /layers/0/renderer/main/kind: the main renderer of a bivariate renderer is "
       "uniqueValue or classBreaks, not simple"},
      {Document(Layer(R"({"kind": "bivariate", "main": {"kind": "classBreaks", "field": "p"}})")),
       "maps/m.json: /layers/0/renderer: missing key \"second\""},
      {Document(Layer(
           R"({"kind": "bivariate", "main": {"kind": "classBreaks", "field": "p"}, "second": {"kind": "pie"}})")),
       "maps/m.json: /layers/0/renderer/second/kind: unknown renderer kind \"pie\" (kinds: "
       "simple, uniqueValue, classBreaks, bivariate, proportionalSymbol)"},
      {Document(Layer(R"({"kind": "proportionalSymbol"})")),
       "maps/m.json: /layers/0/renderer: missing key \"field\""},
      {Document(Layer(R"({"kind": "simple", "originalLabels": ["a", "b"]})")),
       "maps/m.json: /layers/0/renderer/originalLabels: holds 2 labels, but the legend has 1 "
       "entries"},
      {Document(Layer(R"({"kind": "simple", "originalLabels": [1]})")),
       "maps/m.json: /layers/0/renderer/originalLabels/0: expected a string, found a number (1)"},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Failure(c.text), c.message);
  }
}

TEST(MapDocumentRead, AcceptsWhatTheFormatAllows) {
  const std::string text = Document(
      R"({"name": "Parcels", "source": {"path": "data/p.gpkg", "layer": "parcels"},)"
      R"( "definitionExpression": null, "definitionSelection": [3, 17, 42],)"
      R"( "join": {"source": {"connection": "PG:dbname=gis", "layer": "owners"}, "name": "owners",)"
      R"(  "field": "OWNER_ID", "joinField": "ID"}, "colour": "red",)"
      R"( "renderer": {"kind": "uniqueValue", "fields": ["CODE"], "fieldDelimiter": "|",)"
      R"(  "classes": [{"values": [1, 2.5]}, {"values": ["x"], "label": "X"}],)"
      R"(  "default": {}}},)"
      R"({"name": "Absolute", "source": {"path": "/srv/a.shp"}, "renderer": {"kind": "simple"}})");
  const MapDocument document = MapDocument::Parse(text, "maps/m.json");
  ASSERT_EQ(document.Layers().size(), 2u);
  const LayerEntry& parcels = document.Layers()[0];
  EXPECT_EQ(parcels.source.written, "data/p.gpkg");
  EXPECT_EQ(parcels.source.location, "maps/data/p.gpkg");
  EXPECT_EQ(parcels.source.layer, "parcels");
  EXPECT_FALSE(parcels.definitionExpression.has_value());
  EXPECT_EQ(parcels.definitionSelection, (std::vector<int64_t>{3, 17, 42}));
  ASSERT_TRUE(parcels.join.has_value());
  EXPECT_EQ(parcels.join->source.location, "PG:dbname=gis");
  EXPECT_EQ(parcels.join->name, "owners");
  EXPECT_EQ(document.Layers()[1].source.location, "/srv/a.shp");

  // Numbers in values are their shortest text; a default without a label is labelled "".
  const auto legend = document.Legend(0);
  ASSERT_EQ(legend.size(), 3u);
  EXPECT_EQ(legend[0].stands, "1; 2.5");
  EXPECT_EQ(legend[0].label, "");
  EXPECT_EQ(legend[1].label, "X");
  EXPECT_EQ(legend[2].stands, "all other values");
  const auto values = gis::Require<gis::UniqueValueRenderer>(document.Renderer(0));
  EXPECT_EQ(values->ValueCount(), 3);
  EXPECT_EQ(values->Value(1), "2.5");
  EXPECT_EQ(values->FieldDelimiter(), "|");
}

TEST(MapDocumentRead, FindsLayersByName) {
  const MapDocument document = MapDocument::Parse(
      Document(R"({"name": "Roads", "source": {"path": "r"}, "renderer": {"kind": "simple"}},)"
               R"({"name": "roads", "source": {"path": "r"}, "renderer": {"kind": "simple"}},)"
               R"({"name": "Rivers", "source": {"path": "r"}, "renderer": {"kind": "simple"}})"),
      "m.json");
  EXPECT_EQ(document.FindLayer("roads"), 1u);
  EXPECT_EQ(document.FindLayer("Roads"), 0u);
  EXPECT_EQ(document.FindLayer("RIVERS"), 2u);
  try {
    document.FindLayer("Lakes");
    FAIL();
  } catch (const runtime::Error& error) {
    EXPECT_EQ(error.Description(),
              "m.json: no layer named \"Lakes\" (its layers: \"Roads\", \"roads\", \"Rivers\")");
  }
}

TEST(MapDocumentRead, MissingFilesAndFolders) {
  test::TempFolder folder;
  const auto failure = [](const fs::path& path) {
    try {
      MapDocument::Read(path);
    } catch (const runtime::Error& error) {
      return error.Description();
    }
    return std::string("(read)");
  };
  EXPECT_EQ(failure(folder.Path() / "nope.json"),
            (folder.Path() / "nope.json").string() +
                ": cannot read the map document: No such file or directory");
  EXPECT_EQ(failure(folder.Path()),
            folder.Path().string() + ": cannot read the map document: it is a folder");
}

TEST(MapDocumentWrite, LabelsInPlaceOriginalsOnceOtherKeysKept) {
  const std::string text =
      R"({"quillet": 1, "title": "T", "layers": [{"name": "w", "source": {"path": "w.gpkg"},)"
      R"( "renderer": {"kind": "classBreaks", "field": "p", "note": 1,)"
      R"( "classes": [{"break": 10, "colour": "red", "label": "few"}, {"break": 20}]}}]})";
  MapDocument document = MapDocument::Parse(text, "m.json");
  auto renderer = document.Renderer(0);
  auto breaks = gis::Require<gis::ClassBreaksRenderer>(renderer);
  breaks->SetLabel(0, "under 10");
  breaks->SetLabel(1, "10 to 20");
  document.StoreOriginalLabels(0, {"few", ""});
  document.StoreLabels(0, *renderer);
  document.StoreOriginalLabels(0, {"never", "stored"});
  EXPECT_EQ(document.Text(),
            "{\n"
            "  \"quillet\": 1,\n"
            "  \"title\": \"T\",\n"
            "  \"layers\": [\n"
            "    {\n"
            "      \"name\": \"w\",\n"
            "      \"source\": {\n"
            "        \"path\": \"w.gpkg\"\n"
            "      },\n"
            "      \"renderer\": {\n"
            "        \"kind\": \"classBreaks\",\n"
            "        \"field\": \"p\",\n"
            "        \"note\": 1,\n"
            "        \"classes\": [\n"
            "          {\n"
            "            \"break\": 10,\n"
            "            \"colour\": \"red\",\n"
            "            \"label\": \"under 10\"\n"
            "          },\n"
            "          {\n"
            "            \"break\": 20,\n"
            "            \"label\": \"10 to 20\"\n"
            "          }\n"
            "        ],\n"
            "        \"originalLabels\": [\n"
            "          \"few\",\n"
            "          \"\"\n"
            "        ]\n"
            "      }\n"
            "    }\n"
            "  ]\n"
            "}\n");
  // What was written reads back, originals included.
  const MapDocument again = MapDocument::Parse(document.Text(), "m.json");
  EXPECT_EQ(again.OriginalLabels(0), (std::vector<std::string>{"few", ""}));
  EXPECT_EQ(again.Legend(0)[1].label, "10 to 20");
}

TEST(MapDocumentWrite, SavesAndReadsBack) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "m.json";
  test::WriteText(path, Document(Layer(kSimple)));
  MapDocument document = MapDocument::Read(path);
  auto renderer = document.Renderer(0);
  gis::Require<gis::SimpleRenderer>(renderer)->SetLabel("Ünïcode ⏎ text");
  document.StoreLabels(0, *renderer);
  document.Save();
  EXPECT_EQ(test::ReadText(path), document.Text());
  EXPECT_EQ(MapDocument::Read(path).Legend(0).at(0).label, "Ünïcode ⏎ text");
}

}  // namespace
}  // namespace quillet::document
