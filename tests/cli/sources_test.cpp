#include <map>

#include "cli_test_support.h"

namespace quillet::test {
namespace {

// The bundled countries converted with ogr2ogr into each format the command reads, so that
// every format has to give the numbers that SQL gives on the original GeoPackage.
struct Format {
  const char* name;
  std::vector<std::string> ogr2ogr;  // the format's options
  const char* file;
  const char* category;  // the GDAL driver's long name
  const char* objectId;  // the object id field
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
};

class Sources : public ::testing::TestWithParam<Format> {
 protected:
  static void SetUpTestSuite() {
    converted = new TempFolder();
    for (const Format& format : kFormats) {
      std::vector<std::string> args = {"ogr2ogr", "-q"};
      args.insert(args.end(), format.ogr2ogr.begin(), format.ogr2ogr.end());
      args.push_back((converted->Path() / format.file).string());
      args.push_back(kWorld.string());
      args.push_back("world");
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
    Json source = {{"path", format.file}};
    if (std::string(format.name) == "GeoPackage") source["layer"] = "world";
    Json selection = Json::array();
    for (int64_t id = format.firstId; id < format.firstId + 10; ++id)
      selection.push_back(id);
    const Json document = {
        {"quillet", 1},
        {"layers",
         {{{"name", "by continent"},
           {"source", source},
           {"definitionExpression", "pop > 1000000"},
           {"renderer",
            {{"kind", "uniqueValue"},
             {"fields", {"continent"}},
             {"classes",
              {{{"values", {"Africa"}}, {"label", "Africa"}},
               {{"values", {"Asia"}}, {"label", "Asia"}}}},
             {"default", {{"label", "Other"}}}}}},
          {{"name", "first ten"},
           {"source", source},
           {"definitionSelection", selection},
           {"renderer", {{"kind", "simple"}, {"label", "First ten"}}}},
          {{"name", "by population"},
           {"source", source},
           {"renderer",
            {{"kind", "classBreaks"},
             {"field", "pop"},
             {"classes",
              {{{"break", 1e7}, {"label", "small"}}, {{"break", 2e9}, {"label", "large"}}}}}}}}}};
    map = (folder.Path() / "map.json").string();
    WriteText(map, document.dump(2));
  }

  static TempFolder* converted;
  TempFolder folder;
  std::string map;
};

TempFolder* Sources::converted = nullptr;

TEST_P(Sources, LabelsMatchSql) {
  const std::string label =
      "printf('%,d', total(pop)) || ' in ' || count(*) FROM world WHERE "
      "pop > 1000000 AND ";
  const Lines continents = Column(
      Query(kWorld, "SELECT 'Africa: ' || " + label + "continent = 'Africa' UNION ALL " +
                        "SELECT 'Asia: ' || " + label + "continent = 'Asia' UNION ALL " +
                        "SELECT 'Other: ' || " + label + "continent NOT IN ('Africa', 'Asia')"));
  Ran run = Quillet({"labels", map, "--layer", "by continent", "--expression",
                     "$$LABEL: [pop].Sum.FormatNumber(0) in [pop].Count"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.OutLines(), continents);

  // The definition selection names the first ten countries by the ids the format gives them;
  // it restricts First, Last and Count (the numeric statistics read the whole table).
  const Lines firstTen = Column(
      Query(kWorld,
            "SELECT count(*) || ' ' || (SELECT iso_a2 FROM world ORDER BY fid LIMIT 1 OFFSET 9) "
            "FROM (SELECT fid FROM world ORDER BY fid LIMIT 10)"));
  run =
      Quillet({"labels", map, "--layer", "first ten", "--expression", "[pop].Count [iso_a2].Last"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.OutLines(), firstTen);

  const Lines breaks =
      Column(Query(kWorld,
                   "SELECT count(*) || ' ' || printf('%.1f', avg(lifeExp)) FROM world WHERE pop IS "
                   "NOT NULL GROUP BY pop > 1e7 ORDER BY pop > 1e7"));
  run = Quillet({"labels", map, "--layer", "by population", "--expression",
                 "[pop].Count [lifeExp].Average.FormatNumber(1)"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.OutLines(), breaks);
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

TEST_P(Sources, VerifySampleReadsEveryTenthFeature) {
  const std::string sample = Query(kWorld,
                                   "SELECT printf('%,d', total(pop)) FROM (SELECT pop, "
                                   "row_number() OVER (ORDER BY fid) AS n FROM world) "
                                   "WHERE n % 10 = 1")
                                 .at(0)
                                 .at(0);
  // Whatever the renderer, the sample is the simple label over every tenth feature.
  const Ran run = Quillet({"verify", map, "--layer", "by population", "--expression",
                           "[pop].Sum.FormatNumber(0)", "--sample", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.OutJson()["sampleLabel"], sample);
}

TEST_P(Sources, SetThenResetInTwoProcesses) {
  const std::string before = ReadText(map);
  const Ran set = Quillet(
      {"set", map, "--layer", "by population", "--expression", "$$LABEL ([pop].Count)", "--json"});
  ASSERT_EQ(set.status, 0) << set.err;
  const Lines counts =
      Column(Query(kWorld,
                   "SELECT count(*) FROM world WHERE pop IS NOT NULL GROUP BY pop > 1e7 ORDER BY "
                   "pop > 1e7"));
  const Json saved = Json::parse(ReadText(map));
  const Json& renderer = saved["layers"][2]["renderer"];
  EXPECT_EQ(renderer["classes"][0]["label"], "small (" + counts.at(0) + ")");
  EXPECT_EQ(renderer["classes"][1]["label"], "large (" + counts.at(1) + ")");
  EXPECT_EQ(renderer["originalLabels"], Json::array({"small", "large"}));

  const Ran reset = Quillet({"reset", map, "--layer", "by population"});
  ASSERT_EQ(reset.status, 0) << reset.err;
  EXPECT_EQ(reset.OutLines(), (Lines{"small", "large"}));
  Json restored = Json::parse(ReadText(map));
  restored["layers"][2]["renderer"].erase("originalLabels");
  EXPECT_EQ(restored, Json::parse(before));
}

INSTANTIATE_TEST_SUITE_P(Formats, Sources, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::test
