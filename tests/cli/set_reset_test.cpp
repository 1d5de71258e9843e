#include "cli_test_support.h"

namespace quillet::test {
namespace {

class SetReset : public ExampleMap {};

// Labels of a unique value renderer object: its classes', then its default class's.
Lines UniqueLabels(const Json& renderer) {
  Lines labels;
  for (const auto& legendClass : renderer["classes"])
    labels.push_back(legendClass["label"]);
  labels.push_back(renderer["default"]["label"]);
  return labels;
}

// Each command a process of its own, so that only what the map stores carries over.
TEST_F(SetReset, ResetInALaterProcessRestoresTheFirstOriginals) {
  const Lines originals = UniqueLabels(Renderer(1));
  // With the definition query the default class selects nothing: "$$SKIPPED" keeps its label.
  Ran set = Set("Countries by continent", "$$LABEL ([pop].Count)", {"--json"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.OutJson()["skippedLegendItems"], true);
  EXPECT_EQ(UniqueLabels(Renderer(1)).back(), originals.back());

  const std::string listed =
      "continent IN ('Africa', 'Asia', 'Europe', 'North America', 'Oceania', 'South America')";
  const Lines expected = Column(
      "SELECT * FROM (SELECT continent || ' (' || count(*) || ')' FROM world WHERE " + listed +
      " GROUP BY continent ORDER BY continent) UNION ALL SELECT '<all other values> (' || "
      "count(*) || ')' FROM world WHERE NOT " +
      listed);
  // A second set computes from the labels before the first.
  set = Set("Countries by continent", "$$LABEL ([pop].Count)", {"--no-definition-query"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.OutLines(), expected);
  EXPECT_EQ(UniqueLabels(Renderer(1)), expected);
  EXPECT_EQ(Renderer(1)["originalLabels"], Json(originals));
  // From the labels it shows now, it stacks; without "all other values" the default label
  // stays though its class selects features; the originals stay those before the first set.
  ASSERT_EQ(Set("Countries by continent", "$$LABEL ([pop].Count)",
                {"--no-definition-query", "--from-current", "--no-all-other-values"})
                .status,
            0);
  EXPECT_EQ(UniqueLabels(Renderer(1))[0], expected[0] + expected[0].substr(expected[0].find(" (")));
  EXPECT_EQ(UniqueLabels(Renderer(1)).back(), expected.back());
  EXPECT_EQ(Renderer(1)["originalLabels"], Json(originals));

  const Ran reset = Reset("Countries by continent");
  ASSERT_EQ(reset.status, 0) << reset.err;
  EXPECT_EQ(reset.OutLines(), originals);
  EXPECT_EQ(UniqueLabels(Renderer(1)), originals);
  const std::string afterReset = ReadText(map);
  ASSERT_EQ(Reset("Countries by continent").status, 0);
  EXPECT_EQ(ReadText(map), afterReset) << "a second reset changes nothing";
}

// A bivariate renderer, whose labels are its main renderer's, round trips too.
TEST_F(SetReset, BivariateLayersRoundTrip) {
  const Json before = Json::parse(ReadText(map));
  const Ran set = Set("Continents and life expectancy", "$$LABEL!", {"--json"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(Renderer(3)["main"]["classes"][0]["label"], "Africa!");
  EXPECT_EQ(set.OutJson()["originalLabels"], Renderer(3)["originalLabels"]);
  // Reset gives back the document as it was, keys in their order, but for the originals.
  ASSERT_EQ(Reset("Continents and life expectancy").status, 0);
  Json restored = Json::parse(ReadText(map));
  restored["layers"][3]["renderer"].erase("originalLabels");
  EXPECT_EQ(restored, before);
}

// A hand-written map keeps its layout: set changes the label strings and adds the keys it
// must; --output writes the labelled map elsewhere, its data path taken from there, and leaves
// the map alone.
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
  const Ran run = Set("w", "$$LABEL: [pop].Count", {"--output", elsewhere.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadText(map), compact);
  EXPECT_EQ(ReadText(elsewhere),
            "{\"quillet\": 1, \"layers\": [{\"name\": \"w\",\n"
            "  \"source\": {\"path\": \"../../data/world.gpkg\"}, \"renderer\": {\"kind\": "
            "\"uniqueValue\",\n"
            "  \"fields\": [\"continent\"], \"classes\": [{\"values\": [\"Asia\"], \"label\": "
            "\"Asia: 47\"},\n"
            "    {\"values\": [\"Europe\"], \"label\": \": 39\"}], \"originalLabels\": [\"Asia\", "
            "\"\"]}}]}\n");
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
