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
}

TEST_F(SetReset, BivariateLayersRoundTrip) {
  const Json before = Json::parse(ReadText(map));
  const Ran set = Set("Continents and life expectancy", "$$LABEL!");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(Renderer(3)["main"]["classes"][0]["label"], "Africa!");
  // Reset gives back the document as it was, keys in their order, but for the originals.
  ASSERT_EQ(Reset("Continents and life expectancy").status, 0);
  Json restored = Json::parse(ReadText(map));
  restored["layers"][3]["renderer"].erase("originalLabels");
  EXPECT_EQ(restored, before);
}

// --output writes the labelled map elsewhere, its data paths taken from there, and leaves the
// map alone. (Layout kept byte for byte: map_document_test.cpp.)
TEST_F(SetReset, OutputLeavesTheMapAlone) {
  const std::string before = ReadText(map);
  const fs::path elsewhere = copy.Path() / "out" / "deeper" / "labelled.json";
  fs::create_directories(elsewhere.parent_path());
  const Ran run = Set("Countries", "$$LABEL: [pop].Count", {"--output", elsewhere.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadText(map), before);
  const Json layer = Json::parse(ReadText(elsewhere))["layers"][0];
  EXPECT_EQ(layer["source"]["path"], "../../data/world.gpkg");
  EXPECT_EQ(layer["renderer"]["label"], "Countries: " + Column("SELECT count(*) FROM world")[0]);
}

}  // namespace
}  // namespace quillet::test
