#include "cli_test_support.h"

namespace quillet::test {
namespace {

// Every source has to give the numbers that SQL gives on the original GeoPackage.
const Format kFormats[] = {
    {"GeoPackage", {}, "world.gpkg", 1},
    {"Shapefile", {"-f", "ESRI Shapefile"}, "world.shp", 0},
    {"GeoJSON", {"-f", "GeoJSON"}, "world.geojson", 0},
    {"CSV", {"-f", "CSV", "-lco", "CREATE_CSVT=YES"}, "world.csv", 1},
    {"PostgreSQL", {}, "quillet", 1, true},
    // Partitioned by hash over two more servers, attributes only.
    {"ShardedPostgreSQL", {}, "sharded", 1, true},
};

bool NoServer() {
  return !fs::exists(fs::path(QUILLET_POSTGRES) / ".s.PGSQL.54329");
}

class Sources : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    const Format& format = GetParam();
    if (format.server && NoServer())
      GTEST_SKIP() << "no PostgreSQL server for the tests (tests/postgres_servers.sh)";
    if (!format.server) ConvertWorld(folder.Path() / format.file, format.ogr2ogr);
    data = format.server ? "PG:dbname=" + std::string(format.file) +
                               " host=" QUILLET_POSTGRES " port=54329 user=postgres"
                         : (folder.Path() / format.file).string();
    const std::string source = R"({")" + std::string(format.server ? "connection" : "path") +
                               R"(": ")" + data + R"(", "layer": "world"})";
    std::string selection;
    for (int64_t id = format.firstId; id < format.firstId + 10; ++id)
      selection += (selection.empty() ? "" : ", ") + std::to_string(id);
    map = (folder.Path() / "map.json").string();
    WriteText(map, R"({"quillet": 1, "layers": [)" +
                       ByContinent(source, R"("definitionExpression": "pop > 1000000", )") +
                       R"(, {"name": "first ten", "source": )" + source +
                       R"(, "definitionSelection": [)" + selection +
                       R"(], "renderer": {"kind": "simple", "label": "First ten"}},
      {"name": "by population", "source": )" +
                       source + R"(, "renderer": {"kind": "classBreaks", "field": "pop",
       "classes": [{"break": 1e7, "label": "small"}, {"break": 2e9, "label": "large"}]}}]})");
  }

  TempFolder folder;
  std::string data;  // the converted file, or the server's connection
  std::string map;
};

TEST_P(Sources, LabelsAndTheSampleMatchSql) {
  const std::string label =
      "printf('%,d', total(pop)) || ' in ' || count(*) FROM world WHERE pop > 1000000 AND ";
  const struct {
    Lines args;       // after the map
    std::string sql;  // one line of output per row
  } cases[] = {
      {{"labels", "--layer", "by continent", "--expression",
        "$$LABEL: [pop].Sum.FormatNumber(0) in [pop].Count"},
       "SELECT 'Africa: ' || " + label + "continent = 'Africa' UNION ALL SELECT 'Asia: ' || " +
           label + "continent = 'Asia' UNION ALL SELECT 'Other: ' || " + label +
           "continent NOT IN ('Africa', 'Asia')"},
      // The definition selection names the first ten countries by the ids the format gives them.
      {{"labels", "--layer", "first ten", "--expression", "[pop].Count [iso_a2].Last"},
       "SELECT count(*) || ' ' || (SELECT iso_a2 FROM world ORDER BY fid LIMIT 1 OFFSET 9) "
       "FROM (SELECT fid FROM world ORDER BY fid LIMIT 10)"},
      {{"labels", "--layer", "by population", "--expression",
        "[pop].Count [lifeExp].Average.FormatNumber(1)"},
       "SELECT count(*) || ' ' || printf('%.1f', avg(lifeExp)) FROM world WHERE pop IS NOT NULL "
       "GROUP BY pop > 1e7 ORDER BY pop > 1e7"},
      // Whatever the renderer, the sample is the simple label over every tenth feature.
      {{"verify", "--layer", "by population", "--expression", "[pop].Sum.FormatNumber(0)",
        "--sample"},
       "SELECT 'SAMPLE LABEL: ' || printf('%,d', total(pop)) FROM (SELECT pop, row_number() "
       "OVER (ORDER BY fid) AS n FROM world) WHERE n % 10 = 1"},
  };
  for (const auto& c : cases) {
    Lines args = c.args;
    args.insert(args.begin() + 1, map);
    SCOPED_TRACE(::testing::PrintToString(args));
    const Ran run = Quillet(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.OutLines(), Column(c.sql));
  }
}

// init makes, from each format, a map whose labels are SQL's; a second init adds its layer
// after the first, whose bytes stay as they were. (tests/qgis/test_classify.py checks the
// classes against QGIS's.)
TEST_P(Sources, InitMakesALayerThatLabelsAsSqlCounts) {
  const std::string made = (folder.Path() / "made.json").string();
  const auto init = [&](Lines args) {
    args.insert(args.begin(), {"init", data, "--output", made});
    // A database names its tables; a file's first layer is taken.
    if (GetParam().server) args.insert(args.end(), {"--source-layer", "world"});
    return Quillet(args);
  };
  Ran run = init({"--field", "continent"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote layer \"world\" with 9 legend entries into " + made + "\n");
  run = Quillet({"labels", made, "--layer", "world", "--expression", "$$LABEL [pop].Count"});
  EXPECT_EQ(run.status, 0) << run.err;
  Lines expected = Column(
      "SELECT continent || ' ' || count(*) FROM world GROUP BY continent ORDER BY continent");
  expected.push_back("$$SKIPPED");  // every value has its class
  EXPECT_EQ(run.OutLines(), expected);

  const std::string first = ReadText(made);
  ASSERT_EQ(init({"--field", "pop", "--classify", "equal", "--name", "equal"}).status, 0);
  const size_t end = first.rfind("}\n  ]");
  EXPECT_EQ(ReadText(made).substr(0, end + 1), first.substr(0, end + 1));
  EXPECT_EQ(Quillet({"labels", made, "--layer", "equal", "--expression", "[pop].Count"}).status, 0);
}

// A server that cannot answer, or stops answering mid-run: the source named (its password
// hidden) with the server's reason. Opening fails as bad input; a search that fails ends the
// component's run, which says so, with the server's reason under it.
TEST(ServerSources, FailuresNameTheSourceAndTheReason) {
  if (NoServer()) GTEST_SKIP() << "no PostgreSQL server for the tests (tests/postgres_servers.sh)";
  const std::string server = "host=" QUILLET_POSTGRES " user=postgres";
  const std::string socket = ": connection to server on socket \"" QUILLET_POSTGRES;
  const struct {
    std::string connection;
    const char* layer;
    std::string error;
    const char* definition = "";  // sent with the layer's searches, once the source is open
  } cases[] = {
      {"PG:dbname=quillet port=54398 password=secret " + server, "world",
       "Cannot open PG:dbname=quillet port=54398 password=*** " + server + socket +
           "/.s.PGSQL.54398\" failed: No such file or directory"},
      {"PG:dbname=nowhere port=54329 " + server, "world",
       "Cannot open PG:dbname=nowhere port=54329 " + server + socket +
           "/.s.PGSQL.54329\" failed: FATAL:  database \"nowhere\" does not exist"},
      {"PG:dbname=quillet port=54329 host=" QUILLET_POSTGRES " user=quillet_login password=wrong",
       "world",
       "Cannot open PG:dbname=quillet port=54329 host=" QUILLET_POSTGRES
       " user=quillet_login password=***" +
           socket +
           "/.s.PGSQL.54329\" failed: FATAL:  password authentication failed for user "
           "\"quillet_login\""},
      {"PG:dbname=quillet port=54329 " + server, "nosuch",
       "The data source PG:dbname=quillet port=54329 " + server + " has no layer nosuch"},
      {"PG:dbname=quillet port=54329 options='-c statement_timeout=100' " + server, "world",
       "canceling statement due to statement timeout", "pg_sleep(1) IS NOT NULL"},
      {"PG:dbname=quillet port=54329 " + server, "world",
       "server closed the connection unexpectedly",
       "pg_terminate_backend(pg_backend_pid()) IS NOT NULL"},
  };
  TempFolder folder;
  const std::string map = (folder.Path() / "map.json").string();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.connection);
    WriteText(map, R"({"quillet": 1, "layers": [{"name": "w", "source": {"connection": ")" +
                       c.connection + R"(", "layer": ")" + c.layer + R"("},
      "definitionExpression": ")" +
                       c.definition + R"(",
      "renderer": {"kind": "simple", "label": "all"}}]})");
    const Ran run = Quillet({"labels", map, "--layer", "w", "--expression", "[pop].Sum"});
    if (*c.definition) {
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.ErrLines(), (Lines{"Unknown Error in MakeLabels!",
                                       "quillet: " + c.connection + ": " + c.error}));
    } else {
      EXPECT_EQ(run.status, 2);
      EXPECT_EQ(run.ErrLines(), Lines{"quillet: " + map + ": /layers/0/source: " + c.error});
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, Sources, ::testing::ValuesIn(kFormats), FormatName);

}  // namespace
}  // namespace quillet::test
