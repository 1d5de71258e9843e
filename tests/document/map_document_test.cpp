#include "document/map_document.h"

#include <gtest/gtest.h>

#include "support/error_of.h"
#include "support/files.h"

namespace quillet::document {
namespace {

namespace fs = std::filesystem;

using test::ErrorOf;

// A document of one layer whose parts a case replaces.
std::string Document(const std::string& layer) {
  return R"({"quillet": 1, "layers": [)" + layer + "]}";
}

std::string Layer(const std::string& renderer, const std::string& more = "") {
  return R"({"name": "w", "source": {"path": "w.gpkg"}, )" + more + R"("renderer": )" + renderer +
         "}";
}

const std::string kSimple = R"({"kind": "simple", "label": "All"})";

TEST(MapDocumentRead, RefusesWithTheKeyAndTheReason) {
  const std::pair<std::string, std::string> cases[] = {
      // The file as a whole. Columns count characters, not bytes.
      {"{\n  \"é\": 1 2}",
       ":2:10: malformed JSON: syntax error while parsing object - unexpected number literal; "
       "expected '}'"},
      {"{\"quillet\": 1,\n \"scale\": -1e400, \"layers\": []}",
       ":2:11: the number -1e400 is beyond the range of numbers (about 1.8e308)"},
      {"[]", ": /: expected an object, found an array ([])"},
      {R"({"quillet": 2, "layers": []})",
       ": /quillet: this is a map document of version 2; quillet reads version 1"},
      {R"({"quillet": 1})", ": /: missing key \"layers\""},
      {R"({"quillet": 1, "layers": 3})", ": /layers: expected an array, found a number (3)"},
      {Document(Layer(kSimple) + "," + Layer(kSimple)),
       ": /layers/1/name: another layer is named \"w\" already"},
      {Document(R"({"name": "w", "source": {"layer": "w"}, "renderer": {"kind": "simple"}})"),
       ": /layers/0/source: missing key \"path\" (or \"connection\")"},
      {Document(R"({"name": "w", "source": {"path": "a", "connection": "PG:"}, "renderer": {}})"),
       ": /layers/0/source: give \"path\" or \"connection\", not both"},
      // Long values are cut short to keep the line short.
      {Document(R"({"name": "w", "source": {"path": ["a-long-file-name-that-goes-past-forty-)"
                R"(characters.gpkg"]}, "renderer": {}})"),
       ": /layers/0/source/path: expected a string, found an array "
       "([\"a-long-file-name-that-goes-past-for...)"},
      {Document(Layer(kSimple, R"("definitionSelection": [1, 3.5], )")),
       ": /layers/0/definitionSelection/1: expected an integer, found a number (3.5)"},
      {Document(Layer(kSimple, R"("definitionSelection": [9223372036854775808], )")),
       ": /layers/0/definitionSelection/0: the integer 9223372036854775808 is too large"},
      {Document(Layer(
           kSimple,
           R"("join": {"source": {"path": "s.csv"}, "name": "s.t", "field": "a", "joinField": "b"}, )")),
       ": /layers/0/join/name: a join name is a word without dots that qualifies the joined "
       "fields"},
      {Document(Layer(R"({"kind": "uniqueValue", "fields": []})")),
       ": /layers/0/renderer/fields: a unique value renderer needs a field"},
      {Document(Layer(R"({"kind": "uniqueValue", "fields": ["a"], "classes": [{"values": []}]})")),
       ": /layers/0/renderer/classes/0/values: a class needs at least one value"},
      {Document(
           Layer(R"({"kind": "uniqueValue", "fields": ["a"], "classes": [{"values": [true]}]})")),
       ": /layers/0/renderer/classes/0/values/0: expected a string or a number, found a boolean "
       "(true)"},
      {Document(Layer(
           R"({"kind": "uniqueValue", "fields": ["a"], "classes": [{"values": ["x"]}, {"values": ["y", "x"]}]})")),
       ": /layers/0/renderer/classes/1/values: The value x is listed already"},
      {Document(Layer(
           R"({"kind": "uniqueValue", "fields": ["a"], "classes": [{"values": ["Paris"]}, {"values": [3, "PARIS"]}]})")),
       ": /layers/0/renderer/classes/1/values/1: the values \"PARIS\" and \"Paris\" "
       "(/layers/0/renderer/classes/0/values/0) differ only in letter case, which the labels "
       "cannot tell apart; keep one of them"},
      {Document(Layer(
           R"({"kind": "classBreaks", "field": "p", "classes": [{"break": 1}, {"break": 10}, {"break": 10}]})")),
       ": /layers/0/renderer/classes/2/break: the break 10 is not above the break before it, 10; "
       "breaks ascend from the lowest class up"},
      {Document(Layer(R"({"kind": "classBreaks", "field": "p", "minimumBreak": "0"})")),
       ": /layers/0/renderer/minimumBreak: expected a number, found a string (\"0\")"},
      {Document(Layer(
           R"({"kind": "bivariate", "main": {"kind": "simple"}, "second": {"kind": "simple"}})")),
       ": /layers/0/renderer/main/kind: the main renderer of a bivariate renderer is uniqueValue "
       "or classBreaks, not simple"},
      // Kinds are spelt exactly, nested renderers included.
      {Document(Layer(
           R"({"kind": "bivariate", "main": {"kind": "classBreaks", "field": "p"}, "second": {"kind": "Simple"}})")),
       ": /layers/0/renderer/second/kind: unknown renderer kind \"Simple\" (kinds: simple, "
       "uniqueValue, classBreaks, bivariate, proportionalSymbol)"},
      {Document(Layer(R"({"kind": "simple", "originalLabels": ["a", "b"]})")),
       ": /layers/0/renderer/originalLabels: holds 2 labels, but the legend has 1 entries"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ErrorOf([&] { MapDocument::Parse(text, "maps/m.json"); }).Description(),
              "maps/m.json" + message);
  }
}

TEST(MapDocumentRead, AcceptsWhatTheFormatAllows) {
  const std::string text = Document(
      R"({"name": "Parcels", "source": {"path": "data/p.gpkg", "layer": "parcels"},)"
      R"( "definitionExpression": null, "definitionSelection": [3, 9223372036854775807],)"
      R"( "join": {"source": {"connection": "PG:dbname=gis", "layer": "owners"}, "name": "owners",)"
      R"(  "field": "OWNER_ID", "joinField": "ID"}, "colour": "red",)"
      R"( "renderer": {"kind": "uniqueValue", "fields": ["CODE"], "fieldDelimiter": "|",)"
      R"(  "classes": [{"values": [1, 2.5]}, {"values": ["x"], "label": "X"}],)"
      R"(  "default": {}}},)"
      R"({"name": "parcels", "source": {"path": "/srv/a.shp"}, "renderer": {"kind": "simple"}},)"
      R"({"name": "Rivers", "source": {"path": "r"}, "renderer": {"kind": "simple"}})");
  const MapDocument document = MapDocument::Parse(text, "maps/m.json");
  ASSERT_EQ(document.Layers().size(), 3u);
  EXPECT_EQ(document.Layers()[0].definitionSelection, (std::vector<int64_t>{3, INT64_MAX}));

  // Numbers in values are their shortest text.
  EXPECT_EQ(document.Legend(0).at(0).stands, "1; 2.5");
  const auto values = gis::Require<gis::UniqueValueRenderer>(document.Renderer(0));
  EXPECT_EQ(values->FieldDelimiter(), "|");

  // A layer is found by its exact name first, else without regard to letter case.
  EXPECT_EQ(document.FindLayer("parcels"), 1u);
  EXPECT_EQ(document.FindLayer("Parcels"), 0u);
  EXPECT_EQ(document.FindLayer("RIVERS"), 2u);
  EXPECT_EQ(ErrorOf([&] { document.FindLayer("PARCELS"); }).Description(),
            "maps/m.json: two layers are named \"PARCELS\"; give one of them another name");
  EXPECT_EQ(ErrorOf([&] { document.FindLayer("Lakes"); }).Description(),
            "maps/m.json: no layer named \"Lakes\" (its layers: \"Parcels\", \"parcels\", "
            "\"Rivers\")");
}

TEST(MapDocumentRead, MissingFilesAndFolders) {
  test::TempFolder folder;
  for (const auto& [path, why] :
       {std::pair{folder.Path() / "nope.json", "No such file or directory"},
        std::pair{folder.Path(), "it is a folder"}})
    EXPECT_EQ(test::Why([&path = path] { MapDocument::Read(path); }),
              path.string() + ": cannot read the map document: " + why);
}

// Only the label strings change, and the keys that must be added go in laid out as their
// neighbours: every other byte is the author's.
TEST(MapDocumentWrite, LabelsInPlaceOriginalsOnceEveryOtherByteKept) {
  const struct {
    std::string text;
    std::vector<std::string> labels;
    std::string expected;
  } cases[] = {
      // One line, a label replaced and one added; the originals after the last key.
      {R"({"quillet": 1, "layers": [{"name": "w", "source": {"path": "w.gpkg"},)"
       R"( "renderer": {"kind": "classBreaks", "field": "p", "classes": [)"
       R"({"break": 10, "colour": "red", "label": "few"},{"break": 20}]}}]})",
       {"under 10", "10 to 20"},
       R"({"quillet": 1, "layers": [{"name": "w", "source": {"path": "w.gpkg"},)"
       R"( "renderer": {"kind": "classBreaks", "field": "p", "classes": [)"
       R"({"break": 10, "colour": "red", "label": "under 10"},{"break": 20, "label": "10 to 20"}],)"
       R"( "originalLabels": ["few", ""]}}]})"},
      // Keys on lines of their own, indented by four: the added keys are too.
      {"{\"quillet\": 1, \"layers\": [{\"name\": \"w\", \"source\": {\"path\": \"w\"},\n"
       "    \"renderer\": {\n        \"kind\" : \"simple\"\n    }}]}\n",
       {"All"},
       "{\"quillet\": 1, \"layers\": [{\"name\": \"w\", \"source\": {\"path\": \"w\"},\n"
       "    \"renderer\": {\n        \"kind\" : \"simple\",\n        \"label\" : \"All\",\n"
       "        \"originalLabels\" : [\"\"]\n    }}]}\n"},
      // A label that stays keeps its escapes; a null one is replaced where it stands.
      {R"({"quillet": 1, "layers": [{"name": "w", "source": {"path": "w"}, "renderer": {)"
       R"("kind": "uniqueValue", "fields": ["a"], "classes": [{"values": ["x"], "label": "café"}],)"
       R"( "default": {"label": null}}}]})",
       {"café", "rest"},
       R"({"quillet": 1, "layers": [{"name": "w", "source": {"path": "w"}, "renderer": {)"
       R"("kind": "uniqueValue", "fields": ["a"], "classes": [{"values": ["x"], "label": "café"}],)"
       R"( "default": {"label": "rest"}, "originalLabels": ["café", ""]}}]})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    MapDocument document = MapDocument::Parse(c.text, "m.json");
    const std::vector<std::string> originals = map::RendererLabels(*document.Renderer(0));
    document.StoreOriginalLabels(0, originals);
    document.StoreLabels(0, *document.Renderer(0, &c.labels));
    document.StoreOriginalLabels(0, {"never", "stored"});
    EXPECT_EQ(document.Text(), c.expected);
  }
}

}  // namespace
}  // namespace quillet::document
