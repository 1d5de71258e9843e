#include <set>

#include "cli_test_support.h"

namespace quillet::test {
namespace {

// The legend of each layer of the example map, labelled by one expression, against the same
// numbers computed with SQL over the bundled data.
struct LayerCase {
  std::string layer;
  std::string expression;
  std::vector<std::string> options;
  std::string sql;  // one label per row, in legend order
  Lines prefixes;   // put before the rows' labels, one per row, when not empty
  Lines after;      // labels after the rows
};

class ExampleMap : public ::testing::Test {
 protected:
  Ran Labels(const std::string& layer, const std::string& expression,
             std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"labels", map, "--layer", layer, "--expression", expression};
    args.insert(args.end(), options.begin(), options.end());
    return Quillet(args);
  }

  ExampleCopy copy;
  std::string map = copy.Map().string();
};

// The G20 member codes as the example's CSV lists them, for an IN (...) list.
std::string G20Codes() {
  std::string codes;
  for (const auto& line : Ran::Split(ReadText(fs::path(QUILLET_EXAMPLES_DIR) / "g20.csv"))) {
    if (line.rfind("iso", 0) == 0 || line.empty()) continue;
    codes += (codes.empty() ? "'" : ", '") + line.substr(0, line.find(',')) + "'";
  }
  return codes;
}

TEST_F(ExampleMap, EveryLayerOfAKindTheComponentLabels) {
  const std::string listed =
      "('Africa', 'Asia', 'Europe', 'North America', 'Oceania', 'South America')";
  const std::string byClass =
      "CASE WHEN pop <= 1e6 THEN 0 WHEN pop <= 1e7 THEN 1 WHEN pop <= 1e8 THEN 2 ELSE 3 END";
  const std::vector<LayerCase> cases = {
      {"Countries",
       "$$LABEL: [pop].Sum.FormatNumber(0) people",
       {},
       "SELECT 'Countries: ' || printf('%,d', total(pop)) || ' people' FROM world",
       {},
       {}},
      // The definition query leaves the default class (Antarctica, open ocean: no pop) empty.
      {"Countries by continent",
       "$$LABEL: [pop].Sum.FormatNumber(0)",
       {},
       "SELECT continent || ': ' || printf('%,d', total(pop)) FROM world WHERE pop > 1000000 "
       "AND continent IN " +
           listed + " GROUP BY continent ORDER BY continent",
       {},
       {"$$SKIPPED"}},
      {"Countries by continent",
       "$$LABEL: [pop].Count",
       {"--no-definition-query"},
       "SELECT continent || ': ' || count(*) FROM world WHERE continent IN " + listed +
           " GROUP BY continent ORDER BY continent",
       {},
       {"<all other values>: 2"}},
      {"Population",
       "$$LABEL: [pop].Count",
       {},
       "SELECT count(*) FROM world WHERE pop IS NOT NULL GROUP BY " + byClass + " ORDER BY " +
           byClass,
       {"up to 1 million: ", "1 to 10 million: ", "10 to 100 million: ", "over 100 million: "},
       {}},
      {"Continents and life expectancy",
       "$$VALUE [lifeExp].Average.FormatNumber(2)",
       {},
       "SELECT continent || ' ' || printf('%.2f', coalesce(avg(lifeExp), 0)) FROM world "
       "GROUP BY continent ORDER BY continent",
       {},
       {}},
      {"G20 members by continent",
       "$$LABEL: [g20.member].Sum",
       {},
       "SELECT continent || ': ' || count(*) FROM world WHERE iso_a2 IN (" + G20Codes() +
           ") GROUP BY continent ORDER BY continent",
       {},
       {}},
  };
  for (const LayerCase& c : cases) {
    SCOPED_TRACE(c.layer + " " + c.expression);
    Lines expected = Column(Query(kWorld, c.sql));
    ASSERT_FALSE(expected.empty());
    if (!c.prefixes.empty()) {
      ASSERT_EQ(expected.size(), c.prefixes.size());
      for (size_t k = 0; k < expected.size(); ++k)
        expected[k] = c.prefixes[k] + expected[k];
    }
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    const Ran run = Labels(c.layer, c.expression, c.options);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.OutLines(), expected);
  }
}

TEST_F(ExampleMap, ShapefileLayerAgainstACopyOfItsTable) {
  // The county table as SQLite sees it, made by ogr2ogr: births by class of BIR74.
  const fs::path counties = copy.Path() / "sids.sqlite";
  ASSERT_EQ(RunProgram({"ogr2ogr", "-f", "SQLite", counties.string(),
                        (copy.Path() / "data" / "sids.shp").string()})
                .status,
            0);
  const Lines expected = Column(Query(
      counties,
      "SELECT printf('%,d', total(bir74)) || ' births in ' || count(*), CASE WHEN bir74 <= 2000 "
      "THEN 0 WHEN bir74 <= 10000 THEN 1 ELSE 2 END AS k FROM sids GROUP BY k ORDER BY k"));
  ASSERT_EQ(expected.size(), 3u);
  const Ran run =
      Labels("North Carolina counties", "[BIR74].Sum.FormatNumber(0) births in [NAME].Count");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.OutLines(), expected);
}

TEST_F(ExampleMap, RefusalsExitWithOneAndTheComponentsMessage) {
  struct Refusal {
    const char* layer;
    const char* expression;
    const char* message;
  };
  const Refusal refusals[] = {
      {"Population circles", "[pop].Sum",
       "Layer's legend must be a Simple, Unique Value, Graduated Color/Symbol, or "
       "Multi-Attribute type!"},
      {"Countries", "[pop]", "Field \"pop\" does not have an appropriate summary method!"},
      {"Countries", "[name_long].Sum",
       "Field \"name_long\" field type does not support selected summary method!"},
      {"Countries", "[nope].Count", "Field \"nope\" does not exist in attribute table!"},
      {"Countries", "[geom].Count",
       "Field \"geom\": geometry and blob field types are not supported by this tool!"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.expression);
    const Ran run = Labels(refusal.layer, refusal.expression);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.ErrLines(), Lines{refusal.message});
    const Ran json = Labels(refusal.layer, refusal.expression, {"--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.OutJson()["ok"], false);
    EXPECT_EQ(json.OutJson()["message"], refusal.message);
  }
}

TEST_F(ExampleMap, JsonObjectsHaveExactlyTheirKeys) {
  using Keys = std::vector<std::string>;
  const Keys base = {"ok", "message", "labels", "skippedLegendItems"};
  const std::string expression = "[pop].Sum";
  struct KeyCase {
    std::vector<std::string> args;
    Keys keys;
  };
  const std::vector<KeyCase> cases = {
      {{"labels", map, "--layer", "Countries", "--expression", expression}, base},
      {{"verify", map, "--layer", "Countries", "--expression", expression}, base},
      {{"verify", map, "--layer", "Countries", "--expression", expression, "--instructions"}, base},
      {{"verify", map, "--layer", "Countries", "--expression", expression, "--sample"},
       {"ok", "message", "labels", "skippedLegendItems", "sampleLabel"}},
      {{"verify", map, "--layer", "Countries", "--expression", expression, "--sample",
        "--instructions"},
       {"ok", "message", "labels", "skippedLegendItems", "sampleLabel", "instructions"}},
      {{"set", map, "--layer", "Countries", "--expression", expression},
       {"ok", "message", "labels", "skippedLegendItems", "originalLabels"}},
      {{"reset", map, "--layer", "Countries"},
       {"ok", "message", "labels", "skippedLegendItems", "originalLabels"}},
      {{"show", map, "--layer", "Countries"},
       {"ok", "message", "labels", "skippedLegendItems", "layers"}},
  };
  for (const KeyCase& c : cases) {
    auto args = c.args;
    args.push_back("--json");
    SCOPED_TRACE(args[0]);
    const Ran run = Quillet(args);
    ASSERT_EQ(run.status, 0) << run.err;
    Keys keys;
    const Json json = run.OutJson();
    for (const auto& item : json.items())
      keys.push_back(item.key());
    EXPECT_EQ(keys, c.keys);
  }
}

TEST_F(ExampleMap, VerifyGivesTheStatusTheSampleAndTheInstructions) {
  const std::string sample = Query(kWorld,
                                   "SELECT printf('%,d', total(pop)) FROM (SELECT pop, "
                                   "row_number() OVER (ORDER BY fid) AS n FROM world) "
                                   "WHERE n % 10 = 1")
                                 .at(0)
                                 .at(0);
  const std::string expression = "Pop: [pop].Sum.FormatNumber(0)";
  const auto verify = [&](std::vector<std::string> more) {
    std::vector<std::string> args = {"verify",       map,       "--layer", "Countries",
                                     "--expression", expression};
    args.insert(args.end(), more.begin(), more.end());
    return Quillet(args);
  };

  Ran run = verify({});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.OutLines(), Lines{"Successfully created formatting statement"});
  run = Quillet({"verify", map, "--layer", "Countries", "--expression", "Total"});
  EXPECT_EQ(run.OutLines(), Lines{"Expression is Valid but contains no fields!"});

  run = verify({"--sample", "--json"});
  EXPECT_EQ(run.OutJson()["sampleLabel"], "Pop: " + sample);
  EXPECT_EQ(run.OutJson()["labels"], Json::array());
  EXPECT_EQ(run.err, "") << "boxes stay quiet without --messages";

  const std::string box = "SAMPLE LABEL: Pop: " + sample +
                          "\r\n\r\nLabeling Instructions:\r\n\tPUT\tTEXT:\"Pop: \"\r\n\tAND\t"
                          "FIELD:pop,Sum\r\n\t\t\tFORMAT:FormatNumber,0,\r\n";
  run = verify({"--sample", "--instructions", "--json"});
  EXPECT_EQ(run.OutJson()["instructions"], box);
  EXPECT_EQ(run.OutJson()["sampleLabel"], "Pop: " + sample);
  run = verify({"--sample", "--instructions"});
  EXPECT_EQ(run.OutLines(), (Lines{"SAMPLE LABEL: Pop: " + sample, "",
                                   "Labeling Instructions:", "\tPUT\tTEXT:\"Pop: \"",
                                   "\tAND\tFIELD:pop,Sum", "\t\t\tFORMAT:FormatNumber,0,"}));

  run = verify({"--sample", "--messages"});
  EXPECT_EQ(run.OutLines(), Lines{"SAMPLE LABEL: Pop: " + sample});
  EXPECT_EQ(run.ErrLines(), Lines{"Valid Expression: SAMPLE LABEL: Pop: " + sample});
}

TEST_F(ExampleMap, MessagesShowTheFailureBoxOnStandardError) {
  const Ran run = Labels("Countries", "[nope].Sum", {"--messages"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.ErrLines(), (Lines{"Invalid Expression!: Field \"nope\" does not exist in "
                                   "attribute table!",
                                   "Field \"nope\" does not exist in attribute table!"}));
}

TEST_F(ExampleMap, PlainLabelsShowTheirLineBreaks) {
  const std::string count = Query(kWorld, "SELECT count(*) FROM world").at(0).at(0);
  Ran run = Labels("Countries", "$$LABEL$$NEWLINE[pop].Count countries");
  EXPECT_EQ(run.OutLines(), Lines{"Countries\u23CE" + count + " countries"});
  run = Labels("Countries", "$$LABEL$$NEWLINE[pop].Count countries", {"--json"});
  EXPECT_EQ(run.OutJson()["labels"], Json::array({"Countries\r\n" + count + " countries"}));
}

TEST_F(ExampleMap, OptionsReachTheComponent) {
  const std::string expression = "$$LABEL has [pop].Count countries in all";
  // Wrapping breaks the one label, longer than 12 characters, into lines; 0 does not wrap.
  const Ran unwrapped = Labels("Countries", expression);
  const Ran wrapped = Labels("Countries", expression, {"--wrap", "12"});
  const Ran zero = Labels("Countries", expression, {"--wrap", "0"});
  ASSERT_EQ(unwrapped.OutLines().size(), 1u);
  EXPECT_EQ(unwrapped.out.find("\u23CE"), std::string::npos);
  EXPECT_NE(wrapped.out.find("\u23CE"), std::string::npos);
  EXPECT_EQ(zero.out, unwrapped.out);

  // A locale changes the separators of formatted numbers.
  std::string german = Query(kWorld, "SELECT printf('%,d', total(pop)) FROM world").at(0).at(0);
  for (char& c : german)
    if (c == ',') c = '.';
  EXPECT_EQ(Labels("Countries", "[pop].Sum.FormatNumber(0)", {"--locale", "de-DE"}).OutLines(),
            Lines{german});
}

TEST_F(ExampleMap, HelpForEveryCommand) {
  struct HelpCase {
    const char* command;
    std::vector<std::string> mentions;
  };
  const std::vector<HelpCase> cases = {
      {"labels",
       {"--layer", "--expression", "--no-definition-query", "--no-all-other-values", "--wrap",
        "--locale", "--messages", "--json"}},
      {"verify", {"--expression", "--sample", "--instructions", "--messages", "--json"}},
      {"set", {"--expression", "--no-all-other-values", "--wrap", "--json"}},
      {"reset", {"--layer", "--messages", "--json"}},
      {"show", {"--layer", "--json"}},
  };
  for (const HelpCase& c : cases) {
    SCOPED_TRACE(c.command);
    const Ran run = Quillet({c.command, "--help"});
    EXPECT_EQ(run.status, 0);
    for (const auto& option : c.mentions)
      EXPECT_NE(run.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(Quillet({"reset", "--help"}).out.find("--expression"), std::string::npos);
  const Ran top = Quillet({"--help"});
  EXPECT_EQ(top.status, 0);
  for (const char* command : {"labels", "verify", "set", "reset", "show"})
    EXPECT_NE(top.out.find(command), std::string::npos) << command;
}

TEST_F(ExampleMap, ShowListsLayersLegendsAndFields) {
  Ran run = Quillet({"show", map});
  ASSERT_EQ(run.status, 0) << run.err;
  std::set<std::string> layerLines;
  for (const auto& line : run.OutLines())
    if (line.rfind("layer \"", 0) == 0) layerLines.insert(line);
  EXPECT_EQ(layerLines.size(), 7u);
  EXPECT_TRUE(layerLines.count(
      "layer \"Countries\": world from ../data/world.gpkg (GeoPackage), 177 features"));
  EXPECT_TRUE(
      layerLines.count("layer \"North Carolina counties\": sids from ../data/sids.shp "
                       "(ESRI Shapefile), 100 features"));

  run = Quillet({"show", map, "--layer", "G20 members by continent", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json layer = run.OutJson()["layers"].at(0);
  EXPECT_EQ(layer["renderer"], "uniqueValue");
  EXPECT_EQ(layer["join"]["name"], "g20");
  std::map<std::string, int> types;
  for (const auto& field : layer["fields"])
    types[field["name"]] = field["type"];
  EXPECT_EQ(types.at("world.fid"), 6);
  EXPECT_EQ(types.at("world.geom"), 7);
  EXPECT_EQ(types.at("world.pop"), 3);
  EXPECT_EQ(types.at("world.continent"), 4);
  EXPECT_EQ(types.at("g20.member"), 1);
  EXPECT_EQ(types.at("g20.iso"), 4);
  EXPECT_EQ(run.OutJson()["labels"],
            Json::array({"Africa", "Asia", "Europe", "North America", "Oceania", "South America"}));
}

}  // namespace
}  // namespace quillet::test
