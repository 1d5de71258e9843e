#include "cli_test_support.h"

namespace quillet::test {
namespace {

const Lines kContinents = {"Africa", "Asia", "Europe", "North America", "Oceania", "South America"};

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
  const Lines counts =
      Column(Query(kWorld,
                   "SELECT count(*) FROM world WHERE continent IN ('Africa', 'Asia', 'Europe', "
                   "'North America', 'Oceania', 'South America') GROUP BY continent ORDER BY "
                   "continent"));
  Lines originals = kContinents;
  originals.push_back("<all other values>");
  Lines expected;
  for (size_t i = 0; i < kContinents.size(); ++i)
    expected.push_back(kContinents[i] + " (" + counts.at(i) + ")");
  expected.push_back("<all other values> (2)");

  const Ran set = Set("Countries by continent", "$$LABEL ([pop].Count)", {"--no-definition-query"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.OutLines(), expected);
  EXPECT_EQ(UniqueLabels(Renderer(1)), expected);
  EXPECT_EQ(Renderer(1)["originalLabels"], Json(originals));

  // A second set relabels but keeps the labels from before the first.
  ASSERT_EQ(Set("Countries by continent", "[pop].Count", {"--no-definition-query"}).status, 0);
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
  struct RoundTrip {
    size_t index;
    const char* layer;
    const char* expression;
  };
  const RoundTrip cases[] = {
      {0, "Countries", "$$LABEL: [pop].Count"},
      {2, "Population", "$$LABEL: [pop].Count"},
      {3, "Continents and life expectancy", "$$LABEL: [lifeExp].Average.FormatNumber(1)"},
      {5, "G20 members by continent", "$$LABEL: [g20.member].Sum"},
      {6, "North Carolina counties", "$$LABEL: [NAME].Count"},
  };
  const Json before = Saved();
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.layer);
    const Ran set = Set(c.layer, c.expression, {"--json"});
    ASSERT_EQ(set.status, 0) << set.err;
    const Json after = Saved();
    EXPECT_NE(after["layers"][c.index]["renderer"], before["layers"][c.index]["renderer"]);
    EXPECT_EQ(set.OutJson()["originalLabels"],
              after["layers"][c.index]["renderer"]["originalLabels"]);
    ASSERT_EQ(Reset(c.layer).status, 0);
    Json restored = Saved()["layers"][c.index]["renderer"];
    restored.erase("originalLabels");
    EXPECT_EQ(restored, before["layers"][c.index]["renderer"]);
  }
  // The bivariate layer's second renderer is never written.
  EXPECT_EQ(Saved()["layers"][3]["renderer"]["second"], before["layers"][3]["renderer"]["second"]);
}

TEST_F(SetReset, SkippedEntriesAndTheDefaultClassKeepTheirLabels) {
  // With the definition query the default class selects nothing: "$$SKIPPED" leaves it alone.
  Ran set = Set("Countries by continent", "$$LABEL ([pop].Count)", {"--json"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.OutJson()["skippedLegendItems"], true);
  EXPECT_EQ(Renderer(1)["default"]["label"], "<all other values>");
  EXPECT_EQ(Renderer(1)["classes"][0]["label"],
            "Africa (" +
                Query(kWorld, "SELECT count(*) FROM world WHERE continent = 'Africa' AND pop > 1e6")
                    .at(0)
                    .at(0) +
                ")");

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

TEST_F(SetReset, OtherKeysAndTheirOrderStay) {
  Json document = Saved();
  document["owner"] = "cartography";
  document["layers"][0]["visible"] = false;
  document["layers"][0]["renderer"]["symbol"] = {{"color", "#336699"}, {"size", 2}};
  WriteText(map, document.dump(2));
  const auto keys = [](const Json& object) {
    Lines names;
    for (const auto& item : object.items())
      names.push_back(item.key());
    return names;
  };
  ASSERT_EQ(Set("Countries", "All [pop].Count").status, 0);
  const Json saved = Saved();
  EXPECT_EQ(keys(saved), (Lines{"quillet", "layers", "owner"}));
  EXPECT_EQ(keys(saved["layers"][0]), (Lines{"name", "source", "renderer", "visible"}));
  EXPECT_EQ(keys(saved["layers"][0]["renderer"]),
            (Lines{"kind", "label", "symbol", "originalLabels"}));
  EXPECT_EQ(saved["layers"][0]["renderer"]["symbol"], document["layers"][0]["renderer"]["symbol"]);
  for (size_t i = 1; i < document["layers"].size(); ++i)
    EXPECT_EQ(saved["layers"][i], document["layers"][i]);
}

TEST_F(SetReset, RefusalsAndResetsWithoutOriginalsLeaveTheFileAsItWas) {
  const std::string before = ReadText(map);
  Ran run = Set("Countries", "[pop]");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.ErrLines(), Lines{"Field \"pop\" does not have an appropriate summary method!"});
  EXPECT_EQ(ReadText(map), before);

  run = Set("Population circles", "[pop].Sum");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadText(map), before);

  run = Reset("Countries");
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.ErrLines().size(), 2u);
  EXPECT_EQ(run.ErrLines()[0],
            "quillet: the map stores no originalLabels for layer "
            "\"Countries\": labels are reset after a quillet set");
  EXPECT_EQ(run.ErrLines()[1], "Subscript out of range");
  EXPECT_EQ(ReadText(map), before);
}

}  // namespace
}  // namespace quillet::test
