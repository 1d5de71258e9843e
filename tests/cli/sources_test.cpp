#include <map>

#include "cli_test_support.h"

namespace quillet::test {
namespace {

// The bundled countries converted with ogr2ogr into each format the command reads, or served
// by the tests' PostgreSQL servers, so that every source has to give the numbers that SQL
// gives on the original GeoPackage.
struct Format {
  const char* name;
  std::vector<std::string> ogr2ogr;  // the format's options
  const char* file;                  // or, for a server, its database
  const char* category;              // the GDAL driver's long name
  const char* objectId;              // the object id field
  bool geometry;
  int64_t firstId;  // the object id of the first country
};

// Test listings name a format, not its bytes.
void PrintTo(const Format& format, std::ostream* out) {
  *out << format.name;
}

const Format kFormats[] = {
    {"GeoPackage", {"-f", "GPKG"}, "world.gpkg", "GeoPackage", "fid", true, 1},
    {"Shapefile", {"-f", "ESRI Shapefile"}, "world.shp", "ESRI Shapefile", "FID", true, 0},
    {"GeoJSON", {"-f", "GeoJSON"}, "world.geojson", "GeoJSON", "FID", true, 0},
    {"CSV",
     {"-f", "CSV", "-lco", "CREATE_CSVT=YES"},
     "world.csv",
     "Comma Separated Value (.csv)",
     "FID",
     false,
     1},
    {"PostgreSQL", {}, "quillet", "PostgreSQL/PostGIS", "fid", true, 1},
    // Partitioned by hash over two more servers, attributes only.
    {"ShardedPostgreSQL", {}, "sharded", "PostgreSQL/PostGIS", "fid", false, 1},
};

bool IsServer(const Format& format) {
  return format.ogr2ogr.empty();
}

class Sources : public ::testing::TestWithParam<Format> {
 protected:
  static void SetUpTestSuite() {
    converted = new TempFolder();
    for (const Format& format : kFormats) {
      if (IsServer(format)) continue;
      Lines args = {"ogr2ogr", "-q", (converted->Path() / format.file).string(), kWorld, "world"};
      args.insert(args.begin() + 2, format.ogr2ogr.begin(), format.ogr2ogr.end());
      const Ran run = RunProgram(args);
      ASSERT_EQ(run.status, 0) << run.err;
    }
  }
  static void TearDownTestSuite() {
    delete converted;
    converted = nullptr;
  }

  void SetUp() override {
    const Format& format = GetParam();
    for (const auto& entry : fs::directory_iterator(converted->Path())) {
      if (entry.path().stem() == "world")
        fs::copy_file(entry.path(), folder.Path() / entry.path().filename());
    }
    std::string source = R"({"path": ")" + std::string(format.file) + "\"";
    source += std::string(format.name) == "GeoPackage" ? R"(, "layer": "world"})" : "}";
    if (IsServer(format)) {
      if (!fs::exists(fs::path(QUILLET_POSTGRES) / ".s.PGSQL.54329"))
        GTEST_SKIP() << "no PostgreSQL server for the tests (tests/postgres_servers.sh)";
      source = R"({"connection": "PG:dbname=)" + std::string(format.file) +
               " host=" QUILLET_POSTGRES R"( port=54329 user=postgres", "layer": "world"})";
    }
    std::string selection;
    for (int64_t id = format.firstId; id < format.firstId + 10; ++id)
      selection += (selection.empty() ? "" : ", ") + std::to_string(id);
    std::string document = R"({"quillet": 1, "layers": [
      {"name": "by continent", "source": SOURCE, "definitionExpression": "pop > 1000000",
       "renderer": {"kind": "uniqueValue", "fields": ["continent"], "classes": [
         {"values": ["Africa"], "label": "Africa"}, {"values": ["Asia"], "label": "Asia"}],
         "default": {"label": "Other"}}},
      {"name": "first ten", "source": SOURCE, "definitionSelection": [SELECTION],
       "renderer": {"kind": "simple", "label": "First ten"}},
      {"name": "by population", "source": SOURCE, "renderer": {"kind": "classBreaks", "field": "pop",
       "classes": [{"break": 1e7, "label": "small"}, {"break": 2e9, "label": "large"}]}}]})";
    for (size_t at; (at = document.find("SOURCE")) != std::string::npos;)
      document.replace(at, 6, source);
    document.replace(document.find("SELECTION"), 9, selection);
    map = (folder.Path() / "map.json").string();
    WriteText(map, document);
  }

  static TempFolder* converted;
  TempFolder folder;
  std::string map;
};

TempFolder* Sources::converted = nullptr;

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
    EXPECT_EQ(run.OutLines(), Column(Query(kWorld, c.sql)));
  }
}

TEST_P(Sources, ShowNamesTheDriverAndTheFieldTypes) {
  const Format& format = GetParam();
  const Ran run = Quillet({"show", map, "--layer", "by continent", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json layer = run.OutJson()["layers"].at(0);
  EXPECT_EQ(layer["category"], format.category);
  EXPECT_EQ(layer["table"], "world");
  EXPECT_EQ(layer["features"], 177);
  std::vector<std::pair<std::string, int>> fields;
  for (const auto& field : layer["fields"])
    fields.emplace_back(field["name"], field["type"]);
  ASSERT_FALSE(fields.empty());
  EXPECT_EQ(fields.front(), std::make_pair(std::string(format.objectId), 6));
  const std::map<std::string, int> types(fields.begin(), fields.end());
  EXPECT_EQ(types.at("continent"), 4);
  EXPECT_EQ(types.at("pop"), 3);
  EXPECT_EQ(types.at("lifeExp"), 3);
  int geometries = 0;
  for (const auto& [name, type] : fields)
    geometries += type == 7;
  EXPECT_EQ(geometries, format.geometry ? 1 : 0);
}

// init makes, from each format, a map whose labels are SQL's; a second init adds its layer
// after the first, whose bytes stay as they were.
TEST_P(Sources, InitMakesALayerThatLabelsAsSqlCounts) {
  const std::string data = IsServer(GetParam()) ? "PG:dbname=" + std::string(GetParam().file) +
                                                      " host=" QUILLET_POSTGRES
                                                      " port=54329"
                                                      " user=postgres"
                                                : (folder.Path() / GetParam().file).string();
  const std::string made = (folder.Path() / "made.json").string();
  // A database names its tables; a file's first layer is taken.
  const Lines layer = IsServer(GetParam()) ? Lines{"--source-layer", "world"} : Lines{};
  Lines args = {"init", data, "--field", "continent", "--output", made};
  args.insert(args.end(), layer.begin(), layer.end());
  Ran run = Quillet(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote layer \"world\" with 9 legend entries into " + made + "\n");
  const std::string first = ReadText(made);
  args = {"init",      data, "--field", "pop",   "--classify", "equal",
          "--classes", "4",  "--name",  "equal", "--output",   made};
  args.insert(args.end(), layer.begin(), layer.end());
  run = Quillet(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string both = ReadText(made);
  const size_t end = first.rfind("}\n  ]");
  EXPECT_EQ(both.substr(0, end + 1), first.substr(0, end + 1));

  run = Quillet({"labels", made, "--layer", "world", "--expression", "$$LABEL [pop].Count"});
  EXPECT_EQ(run.status, 0) << run.err;
  Lines expected = Column(Query(kWorld,
                                "SELECT continent || ' ' || count(*) FROM world GROUP BY "
                                "continent ORDER BY continent"));
  expected.push_back("$$SKIPPED");  // every value has its class
  EXPECT_EQ(run.OutLines(), expected);
  run = Quillet({"labels", made, "--layer", "equal", "--expression", "[pop].Count"});
  EXPECT_EQ(run.status, 0) << run.err;
  // Four equal steps from the least to the greatest population; a class of none is skipped.
  const auto rows = Query(kWorld,
                          "SELECT pop, min(pop) OVER (), max(pop) OVER () FROM world "
                          "WHERE pop IS NOT NULL");
  const double low = std::stod(rows.at(0).at(1));
  const double step = (std::stod(rows.at(0).at(2)) - low) / 4;
  std::vector<int> counts(4);
  for (const auto& row : rows) {
    const double pop = std::stod(row.at(0));
    counts[pop <= low + step ? 0 : pop <= low + 2 * step ? 1 : pop <= low + 3 * step ? 2 : 3]++;
  }
  Lines equal;
  for (const int count : counts)
    equal.push_back(count == 0 ? "$$SKIPPED" : std::to_string(count));
  EXPECT_EQ(run.OutLines(), equal);
}

// A server that cannot answer, or stops answering mid-run: the source named (its password
// hidden) with the server's reason. Opening fails as bad input; a search that fails ends the
// component's run, which says so, with the server's reason under it.
TEST(ServerSources, FailuresNameTheSourceAndTheReason) {
  if (!fs::exists(fs::path(QUILLET_POSTGRES) / ".s.PGSQL.54329"))
    GTEST_SKIP() << "no PostgreSQL server for the tests (tests/postgres_servers.sh)";
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

INSTANTIATE_TEST_SUITE_P(Formats, Sources, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::test
