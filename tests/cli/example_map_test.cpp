#include <set>

#include "cli_test_support.h"

namespace quillet::test {
namespace {

// The G20 member codes as the example's CSV lists them, for an IN (...) list.
std::string G20Codes() {
  std::string codes;
  for (const auto& line : Ran::Split(ReadText(fs::path(QUILLET_EXAMPLES_DIR) / "g20.csv"))) {
    if (line.rfind("iso", 0) == 0 || line.empty()) continue;
    codes += (codes.empty() ? "'" : ", '") + line.substr(0, line.find(',')) + "'";
  }
  return codes;
}

// The legends that only the example map has (a definition query that empties the default class,
// a bivariate renderer, a join), against the same numbers computed with SQL over the bundled
// data; the other kinds are labelled over every format in sources_test.cpp.
TEST_F(ExampleMap, LabelsMatchSql) {
  const struct {
    std::string layer;
    std::string expression;
    std::string sql;  // one label per row, in legend order
  } cases[] = {
      {"Countries by continent", "$$LABEL: [pop].Sum.FormatNumber(0)",
       "SELECT continent || ': ' || printf('%,d', total(pop)) FROM world WHERE pop > 1000000 AND "
       "continent IN ('Africa', 'Asia', 'Europe', 'North America', 'Oceania', 'South America') "
       "GROUP BY continent ORDER BY continent"},
      {"Continents and life expectancy", "$$VALUE [lifeExp].Average.FormatNumber(2)",
       "SELECT continent || ' ' || printf('%.2f', coalesce(avg(lifeExp), 0)) FROM world "
       "GROUP BY continent ORDER BY continent"},
      {"G20 members by continent", "$$LABEL: [g20.member].Sum",
       "SELECT continent || ': ' || count(*) FROM world WHERE iso_a2 IN (" + G20Codes() +
           ") GROUP BY continent ORDER BY continent"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layer);
    Lines expected = Column(c.sql);
    ASSERT_FALSE(expected.empty());
    const Ran run = Labels(c.layer, c.expression);
    EXPECT_EQ(run.status, 0) << run.err;
    // The definition query leaves the default class (Antarctica, open ocean: no pop) empty.
    const bool skipped = c.layer == "Countries by continent";
    if (skipped) expected.push_back("$$SKIPPED");
    EXPECT_EQ(run.OutLines(), expected);
    EXPECT_EQ(run.err, skipped ? "quillet: legend entries that select no features read $$SKIPPED; "
                                 "set leaves their labels alone\n"
                               : "");
  }
}

TEST_F(ExampleMap, RefusalsExitWithOneAndTheComponentsMessage) {
  const struct {
    const char* layer;
    const char* expression;
    const char* message;
    std::string cause;  // the command's own line, where it adds one
  } refusals[] = {
      {"Population circles", "[pop].Sum",
       "Layer's legend must be a Simple, Unique Value, Graduated Color/Symbol, or "
       "Multi-Attribute type!",
       ""},
      {"Countries", "[POPP].Sum", "Field \"POPP\" does not exist in attribute table!",
       "layer \"Countries\" has no field POPP (nearest: pop)"},
      {"Countries", "[xyzzy].Sum", "Field \"xyzzy\" does not exist in attribute table!",
       "layer \"Countries\" has no field xyzzy (its fields: fid, geom, iso_a2, name_long, "
       "continent, region_un, subregion, type, area_km2, pop, lifeExp, gdpPercap)"},
  };
  for (const auto& [layer, expression, message, cause] : refusals) {
    SCOPED_TRACE(expression);
    const Ran run = Labels(layer, expression);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.ErrLines(),
              (cause.empty() ? Lines{message} : Lines{message, "quillet: " + cause}));
    const Ran json = Labels(layer, expression, {"--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.OutJson()["ok"], false);
    EXPECT_EQ(json.OutJson()["message"], message);
    EXPECT_EQ(json.OutJson().value("cause", ""), cause);
    EXPECT_EQ(json.OutJson()["labels"], Json::array());
  }
  // With --messages the failure box comes first.
  EXPECT_EQ(Labels("Population circles", "[pop].Sum", {"--messages"}).ErrLines().front(),
            "Invalid Expression!: Layer's legend must be a Simple, Unique Value, Graduated "
            "Color/Symbol, or Multi-Attribute type!");
}

TEST_F(ExampleMap, JsonObjectsHaveExactlyTheirKeys) {
  const std::vector<std::string> countries = {map, "--layer", "Countries"};
  const struct {
    std::vector<std::string> args;  // after the map and the layer
    Lines more;                     // keys after ok, message, labels and skippedLegendItems
  } cases[] = {
      {{"labels", "--expression", "[pop].Sum"}, {"entries"}},
      {{"verify", "--expression", "[pop].Sum"}, {}},
      {{"verify", "--expression", "[pop].Sum", "--instructions"}, {"sampleLabel", "instructions"}},
      {{"verify", "--expression", "[pop].Sum", "--sample"}, {"sampleLabel"}},
      {{"set", "--expression", "[pop].Sum"}, {"entries", "originalLabels"}},
      {{"reset"}, {"entries", "originalLabels"}},
      {{"show"}, {"layers"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, countries.begin(), countries.end());
    args.push_back("--json");
    SCOPED_TRACE(::testing::PrintToString(args));
    const Ran run = Quillet(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const Json json = run.OutJson();
    Lines keys;
    for (const auto& item : json.items())
      keys.push_back(item.key());
    Lines expected = {"ok", "message", "labels", "skippedLegendItems"};
    expected.insert(expected.end(), c.more.begin(), c.more.end());
    EXPECT_EQ(keys, expected);
  }
}

TEST_F(ExampleMap, VerifyGivesTheStatusTheSampleAndTheInstructions) {
  const std::string sample =
      "Pop: " + Column(
                    "SELECT printf('%,d', total(pop)) FROM (SELECT pop, row_number() OVER "
                    "(ORDER BY fid) AS n FROM world) WHERE n % 10 = 1")
                    .at(0);
  const auto verify = [&](Lines options) {
    return Run("verify", "Countries", "Pop: [pop].Sum.FormatNumber(0)", std::move(options));
  };
  EXPECT_EQ(verify({}).OutLines(), Lines{"Successfully created formatting statement"});

  const Ran run = verify({"--instructions", "--json"});
  EXPECT_EQ(run.err, "") << "boxes stay quiet without --messages";
  EXPECT_EQ(run.OutJson()["sampleLabel"], sample);
  EXPECT_EQ(run.OutJson()["instructions"],
            "SAMPLE LABEL: " + sample +
                "\r\n\r\nLabeling Instructions:\r\n\tPUT\tTEXT:\"Pop: \"\r\n\tAND\t"
                "FIELD:pop,Sum\r\n\t\t\tFORMAT:FormatNumber,0,\r\n");
  EXPECT_EQ(verify({"--instructions"}).OutLines(),
            (Lines{"SAMPLE LABEL: " + sample, "", "Labeling Instructions:", "\tPUT\tTEXT:\"Pop: \"",
                   "\tAND\tFIELD:pop,Sum", "\t\t\tFORMAT:FormatNumber,0,"}));
}

TEST_F(ExampleMap, OptionsReachTheComponent) {
  // Plain output shows a line break inside a label as ⏎; JSON keeps it.
  const std::string count = Column("SELECT count(*) FROM world").at(0);
  Ran run = Labels("Countries", "$$LABEL$$NEWLINE[pop].Count countries");
  EXPECT_EQ(run.OutLines(), Lines{"Countries\u23CE" + count + " countries"});
  run = Labels("Countries", "$$LABEL$$NEWLINE[pop].Count countries", {"--json"});
  EXPECT_EQ(run.OutJson()["labels"], Json::array({"Countries\r\n" + count + " countries"}));

  // Wrapping breaks the one label, longer than 12 characters, into lines; the limits of the
  // option's range are taken, and do not wrap it.
  const std::string expression = "$$LABEL has [pop].Count countries in all";
  const Ran unwrapped = Labels("Countries", expression);
  ASSERT_EQ(unwrapped.OutLines().size(), 1u);
  EXPECT_EQ(unwrapped.out.find("\u23CE"), std::string::npos);
  EXPECT_NE(Labels("Countries", expression, {"--wrap", "12"}).out.find("\u23CE"),
            std::string::npos);
  EXPECT_EQ(Labels("Countries", expression, {"--wrap", "-32768"}).out, unwrapped.out);
  EXPECT_EQ(Labels("Countries", expression, {"--wrap", "32767"}).out, unwrapped.out);

  // csv: a row per legend entry, its value and its label, quoted where a comma stands.
  run = Labels("Countries by continent", "$$LABEL, [pop].Count",
               {"--format", "csv", "--no-definition-query"});
  const Lines rows = run.OutLines();
  ASSERT_EQ(rows.size(), 8u) << run.err;
  EXPECT_EQ(rows[0], "value,label\r");
  EXPECT_EQ(rows[1], "Africa,\"Africa, " +
                         Column("SELECT count(*) FROM world WHERE continent = 'Africa'").at(0) +
                         "\"\r");
  EXPECT_EQ(rows[7].rfind("all other values,\"<all other values>, ", 0), 0u);

  // A locale writes the numbers of labels.
  EXPECT_EQ(Labels("Countries", "[pop].Sum.FormatNumber(0)", {"--locale", "de-DE"}).OutLines(),
            Column("SELECT replace(printf('%,d', total(pop)), ',', '.') FROM world"));
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

  run = Quillet({"show", map, "--layer", "G20 members by continent", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json layer = run.OutJson()["layers"].at(0);
  // Fields are qualified by their table; the joined CSV's member column is an integer.
  EXPECT_EQ(layer["fields"].front()["name"], "world.fid");
  EXPECT_EQ(layer["fields"].back(),
            Json({{"name", "g20.member"}, {"type", 1}, {"typeName", "integer"}}));
  EXPECT_EQ(run.OutJson()["labels"],
            Json::array({"Africa", "Asia", "Europe", "North America", "Oceania", "South America"}));
}

}  // namespace
}  // namespace quillet::test
