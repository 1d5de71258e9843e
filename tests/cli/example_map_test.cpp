#include "cli_test_support.h"

namespace quillet::test {
namespace {

// The G20 member codes as the example's CSV lists them (after its header), for an IN (...) list.
std::string G20Codes() {
  std::string codes = "NULL";  // matches nothing
  for (const auto& line : Ran::Split(ReadText(fs::path(QUILLET_EXAMPLES_DIR) / "g20.csv")))
    if (line.rfind("iso,", 0) != 0) codes += ", '" + line.substr(0, line.find(',')) + "'";
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

// The component's refusals exit with 1, its message and the command's own line where it adds
// one, and leave the map as it was.
TEST_F(ExampleMap, RefusalsExitWithOneAndTheComponentsMessage) {
  const std::string before = ReadText(map);
  const struct {
    Lines args;  // the command, then what follows the map
    const char* message;
    std::string cause;
  } refusals[] = {
      {{"labels", "--layer", "Population circles", "--expression", "[pop].Sum"},
       "Layer's legend must be a Simple, Unique Value, Graduated Color/Symbol, or "
       "Multi-Attribute type!",
       ""},
      {{"labels", "--layer", "Countries", "--expression", "[POPP].Sum"},
       "Field \"POPP\" does not exist in attribute table!",
       "layer \"Countries\" has no field POPP (nearest: pop)"},
      {{"labels", "--layer", "Countries", "--expression", "[xyzzy].Sum"},
       "Field \"xyzzy\" does not exist in attribute table!",
       "layer \"Countries\" has no field xyzzy (its fields: fid, geom, iso_a2, name_long, "
       "continent, region_un, subregion, type, area_km2, pop, lifeExp, gdpPercap)"},
      {{"set", "--layer", "Countries", "--expression", "[pop]"},
       "Field \"pop\" does not have an appropriate summary method!",
       ""},
      {{"reset", "--layer", "Countries"},
       "Subscript out of range",
       "the map stores no originalLabels for layer \"Countries\": labels are reset after a "
       "quillet set"},
  };
  for (const auto& [command, message, cause] : refusals) {
    Lines args = command;
    args.insert(args.begin() + 1, map);
    SCOPED_TRACE(::testing::PrintToString(args));
    const Ran run = Quillet(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.ErrLines(),
              (cause.empty() ? Lines{message} : Lines{message, "quillet: " + cause}));
    args.push_back("--json");
    const Ran json = Quillet(args);
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.OutJson()["ok"], false);
    EXPECT_EQ(json.OutJson()["message"], message);
    EXPECT_EQ(json.OutJson().value("cause", ""), cause);
    EXPECT_EQ(json.OutJson()["labels"], Json::array());
  }
  EXPECT_EQ(ReadText(map), before);
  EXPECT_EQ(Labels("Population circles", "[pop].Sum", {"--messages"}).ErrLines().front(),
            "Invalid Expression!: Layer's legend must be a Simple, Unique Value, Graduated "
            "Color/Symbol, or Multi-Attribute type!");
}

TEST_F(ExampleMap, JsonObjectsHaveExactlyTheirKeys) {
  const struct {
    Lines args;  // the command, then what follows the map and the layer
    Lines more;  // keys after ok, message, labels and skippedLegendItems
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
    Lines args = c.args;
    args.insert(args.begin() + 1, {map, "--layer", "Countries", "--json"});
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

// The instructions are the component's text (its sample checked against SQL in
// sources_test.cpp): JSON gives them whole, plain output line by line.
TEST_F(ExampleMap, VerifyGivesTheStatusAndTheInstructions) {
  const auto verify = [&](Lines options) {
    return Run("verify", "Countries", "Pop: [pop].Sum", std::move(options));
  };
  EXPECT_EQ(verify({}).OutLines(), Lines{"Successfully created formatting statement"});
  std::string instructions = verify({"--instructions", "--json"}).OutJson()["instructions"];
  EXPECT_THAT(instructions, HasSubstr("\r\n\r\nLabeling Instructions:\r\n\tPUT\tTEXT:\"Pop: \""));
  instructions.erase(std::remove(instructions.begin(), instructions.end(), '\r'),
                     instructions.end());
  EXPECT_EQ(verify({"--instructions"}).out, instructions);
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
  ASSERT_THAT(unwrapped.out, ::testing::Not(HasSubstr("\u23CE")));
  EXPECT_THAT(Labels("Countries", expression, {"--wrap", "12"}).out, HasSubstr("\u23CE"));
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

  EXPECT_EQ(Labels("Countries", "[pop].Sum.FormatNumber(0)", {"--locale", "de-DE"}).OutLines(),
            Column("SELECT replace(printf('%,d', total(pop)), ',', '.') FROM world"));
}

TEST_F(ExampleMap, ShowListsLayersLegendsAndFields) {
  Ran run = Quillet({"show", map});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.OutLines(), Contains(StartsWith("layer \"")).Times(7));
  EXPECT_THAT(run.OutLines(), Contains("layer \"Countries\": world from ../data/world.gpkg "
                                       "(GeoPackage), 177 features"));

  run = Quillet({"show", map, "--layer", "G20 members by continent", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json layer = run.OutJson()["layers"].at(0);
  // Fields are qualified by their table; the joined CSV's member column is an integer.
  EXPECT_EQ(layer["fields"].front()["name"], "world.fid");
  EXPECT_EQ(layer["fields"].back(),
            Json({{"name", "g20.member"}, {"type", 1}, {"typeName", "integer"}}));
}

}  // namespace
}  // namespace quillet::test
