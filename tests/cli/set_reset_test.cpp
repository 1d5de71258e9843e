#include "cli_test_support.h"

namespace quillet::test {
namespace {

class SetReset : public ::testing::Test {
 protected:
  Ran Set(const std::string& layer, const std::string& expression,
          std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"set", map, "--layer", layer, "--expression", expression};
    args.insert(args.end(), options.begin(), options.end());
    return Quillet(args);
  }
  Ran Reset(const std::string& layer) { return Quillet({"reset", map, "--layer", layer}); }
  Json Saved() const { return Json::parse(ReadText(map)); }
  Json Renderer(size_t layer) const { return Saved()["layers"][layer]["renderer"]; }

  ExampleCopy copy;
  std::string map = copy.Map().string();
};

// Labels of a unique value renderer object: its classes', then its default class's.
Lines UniqueLabels(const Json& renderer) {
  Lines labels;
  for (const auto& legendClass : renderer["classes"])
    labels.push_back(legendClass["label"]);
  if (renderer.contains("default")) labels.push_back(renderer["default"]["label"]);
  return labels;
}

TEST_F(SetReset, ResetInALaterProcessRestoresTheFirstOriginals) {
  const Lines originals = UniqueLabels(Renderer(1));
  const std::string listed =
      "continent IN ('Africa', 'Asia', 'Europe', 'North America', 'Oceania', 'South America')";
  const std::string sql =
      "SELECT * FROM (SELECT continent || ' (' || count(*) || ')' FROM world WHERE " + listed +
      " GROUP BY continent ORDER BY continent) UNION ALL SELECT '<all other values> (' || "
      "count(*) || ')' FROM world WHERE NOT " +
      listed;
  const Lines expected = Column(Query(kWorld, sql));
  const Ran set = Set("Countries by continent", "$$LABEL ([pop].Count)", {"--no-definition-query"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.OutLines(), expected);
  EXPECT_EQ(UniqueLabels(Renderer(1)), expected);
  EXPECT_EQ(Renderer(1)["originalLabels"], Json(originals));

  // A second set computes from the labels before the first: the same file again.
  const std::string once = ReadText(map);
  ASSERT_EQ(
      Set("Countries by continent", "$$LABEL ([pop].Count)", {"--no-definition-query"}).status, 0);
  EXPECT_EQ(ReadText(map), once);
  // From the labels it shows now, it stacks; the originals stay those before the first.
  ASSERT_EQ(Set("Countries by continent", "$$LABEL ([pop].Count)",
                {"--no-definition-query", "--from-current"})
                .status,
            0);
  EXPECT_EQ(UniqueLabels(Renderer(1))[0], expected[0] + expected[0].substr(expected[0].find(" (")));
  EXPECT_EQ(Renderer(1)["originalLabels"], Json(originals));

  const Ran reset = Reset("Countries by continent");
  ASSERT_EQ(reset.status, 0) << reset.err;
  EXPECT_EQ(reset.OutLines(), originals);
  EXPECT_EQ(UniqueLabels(Renderer(1)), originals);
  const std::string afterReset = ReadText(map);
  ASSERT_EQ(Reset("Countries by continent").status, 0);
  EXPECT_EQ(ReadText(map), afterReset) << "a second reset changes nothing";
}

TEST_F(SetReset, EveryKindOfLayerRoundTrips) {
  const std::pair<size_t, const char*> cases[] = {{0, "Countries"},
                                                  {2, "Population"},
                                                  {3, "Continents and life expectancy"},
                                                  {5, "G20 members by continent"}};
  for (const auto& [index, layer] : cases) {
    SCOPED_TRACE(layer);
    const Json before = Saved();
    const Ran set = Set(layer, "$$LABEL!", {"--json"});
    ASSERT_EQ(set.status, 0) << set.err;
    const Json after = Saved();
    EXPECT_NE(after["layers"][index]["renderer"], before["layers"][index]["renderer"]);
    EXPECT_EQ(set.OutJson()["originalLabels"],
              after["layers"][index]["renderer"]["originalLabels"]);
    // Reset gives back the document as it was, keys in their order, but for the originals.
    ASSERT_EQ(Reset(layer).status, 0);
    Json restored = Saved();
    restored["layers"][index]["renderer"].erase("originalLabels");
    EXPECT_EQ(restored, before);
  }
}

// A hand-written map keeps its layout: set changes the label strings and adds the keys it
// must; --output writes the labelled map elsewhere, its data path taken from there.
TEST_F(SetReset, OnlyTheLabelsChangeAndOutputLeavesTheMapAlone) {
  const std::string compact =
      "{\"quillet\": 1, \"layers\": [{\"name\": \"w\",\n"
      "  \"source\": {\"path\": \"../data/world.gpkg\"}, \"renderer\": {\"kind\": "
      "\"uniqueValue\",\n"
      "  \"fields\": [\"continent\"], \"classes\": [{\"values\": [\"Asia\"], \"label\": "
      "\"Asia\"},\n"
      "    {\"values\": [\"Europe\"]}]}}]}\n";
  WriteText(map, compact);
  const fs::path elsewhere = copy.Path() / "out" / "deeper" / "labelled.json";
  fs::create_directories(elsewhere.parent_path());
  Ran run = Set("w", "$$LABEL: [pop].Count", {"--output", elsewhere.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadText(map), compact);
  EXPECT_EQ(Quillet({"labels", elsewhere.string(), "--layer", "w", "--expression", "$$LABEL"}).out,
            "Asia: 47\n: 39\n");

  ASSERT_EQ(Set("w", "$$LABEL: [pop].Count").status, 0);
  EXPECT_EQ(ReadText(map),
            "{\"quillet\": 1, \"layers\": [{\"name\": \"w\",\n"
            "  \"source\": {\"path\": \"../data/world.gpkg\"}, \"renderer\": {\"kind\": "
            "\"uniqueValue\",\n"
            "  \"fields\": [\"continent\"], \"classes\": [{\"values\": [\"Asia\"], \"label\": "
            "\"Asia: 47\"},\n"
            "    {\"values\": [\"Europe\"], \"label\": \": 39\"}], \"originalLabels\": [\"Asia\", "
            "\"\"]}}]}\n");
  std::string moved = ReadText(map);
  moved.replace(moved.find("../data/world.gpkg"), 18, "../../data/world.gpkg");
  EXPECT_EQ(ReadText(elsewhere), moved);
}

TEST_F(SetReset, SkippedEntriesAndTheDefaultClassKeepTheirLabels) {
  // With the definition query the default class selects nothing: "$$SKIPPED" leaves it alone.
  Ran set = Set("Countries by continent", "$$LABEL ([pop].Count)", {"--json"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.OutJson()["skippedLegendItems"], true);
  EXPECT_EQ(Renderer(1)["default"]["label"], "<all other values>");
  EXPECT_EQ(Renderer(1)["classes"][0]["label"].get<std::string>().rfind("Africa (", 0), 0u);

  // Without "all other values" the default label stays even though it selects features.
  ASSERT_EQ(Reset("Countries by continent").status, 0);
  set = Set("Countries by continent", "$$LABEL?",
            {"--no-definition-query", "--no-all-other-values", "--json"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.OutJson()["skippedLegendItems"], false);
  EXPECT_EQ(set.OutJson()["labels"].back(), "<all other values>?");
  EXPECT_EQ(Renderer(1)["default"]["label"], "<all other values>");
  EXPECT_EQ(Renderer(1)["classes"][5]["label"], "South America?");
}

TEST_F(SetReset, RefusalsAndResetsWithoutOriginalsLeaveTheFileAsItWas) {
  const std::string before = ReadText(map);
  Ran run = Set("Countries", "[pop]");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.ErrLines(), Lines{"Field \"pop\" does not have an appropriate summary method!"});
  EXPECT_EQ(ReadText(map), before);

  run = Reset("Countries");
  const std::string why =
      "the map stores no originalLabels for layer \"Countries\": labels are reset after a "
      "quillet set";
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.ErrLines(), (Lines{"Subscript out of range", "quillet: " + why}));
  EXPECT_EQ(Quillet({"reset", map, "--layer", "Countries", "--json"}).OutJson()["cause"], why);
  EXPECT_EQ(ReadText(map), before);
}

}  // namespace
}  // namespace quillet::test
