#include <functional>
#include <optional>

#include "cli_test_support.h"

namespace quillet::test {
namespace {

// Input that cannot be used: each gives one line on standard error that names what and where,
// exit status 2, and the map file exactly as it was (no temporary file left beside it).
struct BadInput {
  const char* name;
  const char* layer;
  // Changes the map's text (before the run), given its path; null leaves it.
  std::function<void(const fs::path& map)> edit;
  // The arguments after the command, given the map's path.
  std::function<std::vector<std::string>(const fs::path& map)> args;
  bool asNobody;
  // Pieces the line must hold, given the map's path.
  std::function<Lines(const fs::path& map)> says;
  // Only a command that saves meets it.
  bool onlyWhenSaving = false;
};

// Test listings name a case by what it is about, not by its bytes.
void PrintTo(const BadInput& input, std::ostream* out) {
  *out << input.name;
}

// Replaces the first `from` in the map's text by `to`; the test fails when it is not there.
std::function<void(const fs::path&)> Replace(std::string from, std::string to) {
  return [from, to](const fs::path& map) {
    std::string text = ReadText(map);
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    WriteText(map, text.replace(at, from.size(), to));
  };
}

std::function<std::vector<std::string>(const fs::path&)> OnMap(std::vector<std::string> more = {}) {
  return [more](const fs::path& map) {
    std::vector<std::string> args = {map.string()};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
}

std::function<Lines(const fs::path&)> Says(Lines pieces, bool withMap = true) {
  return [pieces, withMap](const fs::path& map) {
    Lines all = pieces;
    if (withMap) all.insert(all.begin(), map.string() + ": ");
    return all;
  };
}

const std::string kMalformed =
    "{\n  \"quillet\": 1,\n  \"layers\": [\n    { \"name\": \"a\", }\n  ]\n}\n";

const BadInput kBadInputs[] = {
    {"missing map", "Countries", nullptr,
     [](const fs::path& map) {
       return std::vector<std::string>{(map.parent_path() / "nope.json").string()};
     },
     false,
     [](const fs::path& map) {
       return Lines{(map.parent_path() / "nope.json").string() +
                    ": cannot read the map document: No such file or directory"};
     }},
    {"map is a folder", "Countries", nullptr,
     [](const fs::path& map) { return std::vector<std::string>{map.parent_path().string()}; },
     false,
     [](const fs::path& map) {
       return Lines{map.parent_path().string() + ": cannot read the map document: it is a folder"};
     }},
    {"unreadable map", "Countries",
     [](const fs::path& map) {
       fs::permissions(map, fs::perms::owner_read | fs::perms::owner_write);
     },
     OnMap(), true, Says({"cannot read the map document: Permission denied"})},
    {"malformed JSON", "a", [](const fs::path& map) { WriteText(map, kMalformed); }, OnMap(), false,
     [](const fs::path& map) {
       return Lines{map.string() + ":4:20: malformed JSON: syntax error while parsing object key",
                    "unexpected '}'; expected string literal"};
     }},
    {"not a map document", "a", [](const fs::path& map) { WriteText(map, "[1, 2]"); }, OnMap(),
     false, Says({"/: expected an object, found an array ([1,2])"})},
    {"another version", "Countries", Replace("\"quillet\": 1", "\"quillet\": 2"), OnMap(), false,
     Says({"/quillet: this is a map document of version 2; quillet reads version 1"})},
    {"layers not a list", "a",
     [](const fs::path& map) { WriteText(map, R"({"quillet": 1, "layers": {}})"); }, OnMap(), false,
     Says({"/layers: expected an array, found an object ({})"})},
    {"unknown layer", "Nope", nullptr, OnMap(), false,
     Says({"no layer named \"Nope\" (its layers: \"Countries\", \"Countries by continent\", "
           "\"Population\", \"Continents and life expectancy\", \"Population circles\", \"G20 "
           "members by continent\", \"North Carolina counties\")"})},
    {"unknown renderer kind", "Countries", Replace("\"kind\": \"simple\"", "\"kind\": \"pie\""),
     OnMap(), false,
     Says({"/layers/0/renderer/kind: unknown renderer kind \"pie\" (kinds: simple, uniqueValue, "
           "classBreaks, bivariate, proportionalSymbol)"})},
    {"label of the wrong type", "Countries", Replace("\"label\": \"Countries\"", "\"label\": 5"),
     OnMap(), false, Says({"/layers/0/renderer/label: expected a string, found a number (5)"})},
    {"break of the wrong type", "Population", Replace("\"break\": 1000000,", "\"break\": \"1e6\","),
     OnMap(), false,
     Says({"/layers/2/renderer/classes/0/break: expected a number, found a string (\"1e6\")"})},
    {"missing renderer key", "Population circles",
     Replace("\"kind\": \"proportionalSymbol\",\n        \"field\": \"pop\"",
             "\"kind\": \"proportionalSymbol\""),
     OnMap(), false, Says({"/layers/4/renderer: missing key \"field\""})},
    {"object id of the wrong type", "Countries",
     Replace("\"definitionExpression\": \"pop > 1000000\",",
             "\"definitionSelection\": [3, \"17\"],"),
     OnMap(), false,
     Says({"/layers/1/definitionSelection/1: expected an integer, found a string (\"17\")"})},
    {"missing data source", "North Carolina counties",
     Replace("../data/sids.shp", "../data/nope.shp"), OnMap(), false,
     Says({"/layers/6/source: Cannot open ", "nope.shp", "No such file or directory"})},
    {"not a data source", "North Carolina counties", Replace("../data/sids.shp", "notes.txt"),
     OnMap(), false,
     Says({"/layers/6/source: Cannot open ", "notes.txt",
           "not recognized as a supported file format"})},
    {"missing GDAL layer", "Countries", Replace("\"layer\": \"world\"", "\"layer\": \"countries\""),
     OnMap(), false,
     Says({"/layers/0/source: The data source ",
           "world.gpkg has no layer countries (its layers: world)"})},
    {"missing join key of the joined table", "G20 members by continent",
     Replace("\"joinField\": \"iso\"", "\"joinField\": \"isox\""), OnMap(), false,
     Says({"/layers/5/join/joinField: the join key isox is not a field of g20 (its fields: FID, "
           "iso, member)"})},
    {"missing join key of the layer", "G20 members by continent",
     Replace("\"field\": \"iso_a2\"", "\"field\": \"iso_x\""), OnMap(), false,
     Says({"/layers/5/join/field: the join key iso_x is not a field of world (its fields: fid, "
           "geom, iso_a2, name_long, continent, region_un, subregion, type, area_km2, pop, "
           "lifeExp, gdpPercap)"})},
    {"unknown locale", "Countries", nullptr, OnMap({"--locale", "xx-YY"}), false,
     Says({"--locale xx-YY: ", "xx-YY"}, false)},
    {"unwritable folder", "Countries",
     [](const fs::path& map) {
       fs::permissions(map.parent_path(),
                       fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                       fs::perm_options::remove);
     },
     OnMap(), true,
     [](const fs::path& map) {
       return Lines{"cannot save " + map.string() + ": cannot create a temporary file in " +
                    map.parent_path().string() + ": Permission denied"};
     },
     true},
};

class BadInputs : public ::testing::TestWithParam<BadInput> {};

Lines FolderListing(const fs::path& folder) {
  Lines names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_P(BadInputs, OneLineExitTwoAndTheMapUnchanged) {
  const BadInput& bad = GetParam();
  ExampleCopy copy;
  const fs::path map = copy.Map();
  WriteText(map.parent_path() / "notes.txt", "Not a data source.\n");
  if (bad.edit) bad.edit(map);
  const std::string before = ReadText(map);
  const Lines listing = FolderListing(map.parent_path());

  for (const char* command : {"set", "labels"}) {
    if (bad.onlyWhenSaving && std::string(command) != "set") continue;
    SCOPED_TRACE(command);
    std::vector<std::string> args = {command};
    for (const auto& arg : bad.args(map))
      args.push_back(arg);
    args.insert(args.end(), {"--layer", bad.layer, "--expression", "[pop].Sum"});
    const Ran run = bad.asNobody ? QuilletAsNobody(args) : Quillet(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    const Lines lines = run.ErrLines();
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_EQ(lines[0].rfind("quillet: ", 0), 0u) << lines[0];
    for (const auto& piece : bad.says(map))
      EXPECT_NE(lines[0].find(piece), std::string::npos) << lines[0] << "\nlacks: " << piece;
    EXPECT_EQ(ReadText(map), before);
    EXPECT_EQ(FolderListing(map.parent_path()), listing);
  }
}

TEST_P(BadInputs, JsonCarriesTheSameLine) {
  const BadInput& bad = GetParam();
  ExampleCopy copy;
  const fs::path map = copy.Map();
  WriteText(map.parent_path() / "notes.txt", "Not a data source.\n");
  if (bad.edit) bad.edit(map);
  std::vector<std::string> args = {"set"};
  for (const auto& arg : bad.args(map))
    args.push_back(arg);
  args.insert(args.end(), {"--layer", bad.layer, "--expression", "[pop].Sum", "--json"});
  const Ran run = bad.asNobody ? QuilletAsNobody(args) : Quillet(args);
  EXPECT_EQ(run.status, 2);
  const Json json = run.OutJson();
  EXPECT_EQ(json["ok"], false);
  EXPECT_EQ(json["labels"], Json::array());
  EXPECT_EQ("quillet: " + json["message"].get<std::string>(), run.ErrLines().at(0));
}

INSTANTIATE_TEST_SUITE_P(Table, BadInputs, ::testing::ValuesIn(kBadInputs), [](const auto& info) {
  std::string name;
  for (const char c : std::string(info.param.name))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

TEST(BadUsage, ExitsWithTwo) {
  ExampleCopy copy;
  const std::string map = copy.Map().string();
  const std::vector<std::vector<std::string>> usages = {
      {},
      {"frobnicate", map},
      {"labels", map, "--layer", "Countries"},
      {"labels", "--layer", "Countries", "--expression", "x"},
      {"labels", map, "--expression", "x"},
      {"labels", map, "--layer", "Countries", "--expression", "x", "--wrap", "40000"},
      {"labels", map, "--layer", "Countries", "--expression", "x", "--wrap", "many"},
      {"reset", map, "--layer", "Countries", "--expression", "x"},
      {"show", map, "--sample"},
  };
  for (const auto& usage : usages) {
    const Ran run = Quillet(usage);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(usage);
    EXPECT_EQ(run.ErrLines().size(), 1u) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace quillet::test
