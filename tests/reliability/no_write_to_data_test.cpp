#include <cstdlib>
#include <regex>

#include "reliability_support.h"

namespace quillet::test {
namespace {

const Format kFormats[] = {
    {"GeoPackage", {}, "world.gpkg"},
    {"GeoPackageWal", {}, "world.gpkg", 1, false, true},
    {"Shapefile", {"-f", "ESRI Shapefile"}, "world.shp"},
    {"Csv", {"-f", "CSV", "-lco", "CREATE_CSVT=YES"}, "world.csv"},
    {"GeoJson", {"-f", "GeoJSON"}, "world.geojson"},
    {"SpatiaLite", {"-f", "SQLite", "-dsco", "SPATIALITE=YES"}, "world.sqlite"},
};

// The calls of a strace log (strace -f -y, the command given absolute paths) that open a file
// in `folder` for writing, or create, change or remove anything there, one line each.
Lines WritesInto(const std::string& log, const fs::path& folder) {
  static const std::regex writes(
      R"(\d+\s+((open|openat|openat2)\(.*(O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND)|)"
      R"((creat|unlink|unlinkat|rename|renameat|renameat2|truncate|ftruncate|mkdir|mkdirat|rmdir|)"
      R"(link|linkat|symlink|symlinkat|mknod|mknodat|chmod|fchmodat|utimensat)\().*)");
  // A path inside, quoted or shown with a descriptor, or the folder itself as a descriptor.
  const std::string inside = folder.string() + "/";
  const std::string itself = "<" + folder.string() + ">";
  Lines found;
  for (const std::string& line : Ran::Split(log))
    if (std::regex_match(line, writes) &&
        (line.find(inside) != std::string::npos || line.find(itself) != std::string::npos))
      found.push_back(line);
  return found;
}

class NoWriteToData : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    fs::create_directories(data);
    fs::create_directories(maps);
    ConvertWorld(data / GetParam().file, GetParam().ogr2ogr);
    WriteText(map, R"({"quillet": 1, "layers": [)" +
                       ByContinent(R"({"path": "../data/)" + std::string(GetParam().file) +
                                   R"(", "layer": "world"})") +
                       "]}");
    if (!GetParam().wal) return;
    // WAL mode with a committed change left in the -wal file. The spatial index's triggers
    // call GDAL's functions; a change of attributes needs none.
    const fs::path file = data / GetParam().file;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr), SQLITE_OK);
    for (const char* sql : {"PRAGMA journal_mode=WAL", "PRAGMA wal_autocheckpoint=0",
                            "UPDATE world SET pop = pop + 1 WHERE fid = 1"})
      ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
    ASSERT_TRUE(fs::exists(file.string() + "-wal"));
  }

  TempFolder folder;
  const fs::path data = folder.Path() / "data";
  const fs::path maps = folder.Path() / "maps";
  const fs::path map = maps / "map.json";
};

// Every command, init, set and reset too, reads the data in place: no data file is opened for
// writing, and nothing is created or removed beside it, even for a moment.
TEST_P(NoWriteToData, NoCommandWritesBesideTheData) {
  const auto before = Snapshot(data);
  const std::string expression = "$$LABEL: [pop].Sum.FormatNumber(0) people";
  const std::string layer[] = {map.string(), "--layer", "by continent"};
  const Lines sequence[] = {
      {"init", (data / GetParam().file).string(), "--source-layer", "world", "--field", "pop",
       "--classify", "jenks", "--output", (maps / "made.json").string()},
      {"labels", layer[0], layer[1], layer[2], "--expression", expression},
      {"verify", layer[0], layer[1], layer[2], "--expression", expression, "--sample"},
      {"set", layer[0], layer[1], layer[2], "--expression", expression},
      {"reset", layer[0], layer[1], layer[2]},
      {"show", layer[0], layer[1], layer[2]},
  };
  const fs::path log = folder.Path() / "strace.log";
  for (const Lines& command : sequence) {
    Lines args = {"strace", "-f", "-qq", "-y", "-e", "trace=%file,ftruncate", "-o", log.string()};
    // LeakSanitizer cannot work under strace; every other test checks the command for leaks.
    const char* asan = std::getenv("ASAN_OPTIONS");
    args.insert(args.end(), {"-E", std::string("ASAN_OPTIONS=") + (asan ? asan : "") +
                                       (asan ? ":" : "") + "detect_leaks=0"});
    args.push_back(QUILLET_BINARY);
    args.insert(args.end(), command.begin(), command.end());
    SCOPED_TRACE(command[0]);
    const Ran run = RunProgram(args, maps, kHung);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(WritesInto(ReadText(log), data), Lines{});
  }
  EXPECT_EQ(Snapshot(data), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, NoWriteToData, ::testing::ValuesIn(kFormats), FormatName);

}  // namespace
}  // namespace quillet::test
