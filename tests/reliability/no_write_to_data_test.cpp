#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

#include "reliability_support.h"

namespace quillet::test {
namespace {

// The bundled countries in each format the command reads, beside nothing else in a data folder
// of their own.
struct Format {
  const char* name;
  std::vector<std::string> ogr2ogr;  // how to convert world.gpkg; none: a copy of it
  const char* file;
  // The copy in WAL mode with committed changes not yet checkpointed: -wal and -shm beside it.
  bool wal = false;
};

void PrintTo(const Format& format, std::ostream* out) {
  *out << format.name;
}

const Format kFormats[] = {
    {"GeoPackage", {}, "world.gpkg"},
    {"GeoPackageWal", {}, "world.gpkg", true},
    {"Shapefile", {"-f", "ESRI Shapefile"}, "world.shp"},
    {"Csv", {"-f", "CSV", "-lco", "CREATE_CSVT=YES"}, "world.csv"},
    {"GeoJson", {"-f", "GeoJSON"}, "world.geojson"},
    {"SpatiaLite", {"-f", "SQLite", "-dsco", "SPATIALITE=YES"}, "world.sqlite"},
};

// The calls of a strace log (strace -f -y, the command given absolute paths) that open a file
// in `folder` for writing, or create, change or remove anything there, one line each.
Lines WritesInto(const std::string& log, const fs::path& folder) {
  static const std::regex call(R"(^\d+\s+(\w+)\((.*)$)");
  static const std::regex opensToWrite(R"(O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND)");
  static const std::set<std::string> changing = {
      "creat",     "unlink", "unlinkat", "rename", "renameat", "renameat2", "truncate",
      "ftruncate", "mkdir",  "mkdirat",  "rmdir",  "link",     "linkat",    "symlink",
      "symlinkat", "mknod",  "mknodat",  "chmod",  "fchmodat", "utimensat"};
  // A path inside, quoted or shown with a descriptor, or the folder itself as a descriptor.
  const std::string inside = folder.string() + "/";
  const std::string itself = "<" + folder.string() + ">";
  Lines writes;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    std::smatch parts;
    if (!std::regex_match(line, parts, call)) continue;
    const std::string name = parts[1];
    const bool opens = name == "open" || name == "openat" || name == "openat2";
    const bool changes = opens ? std::regex_search(line, opensToWrite) : changing.count(name) > 0;
    if (changes &&
        (line.find(inside) != std::string::npos || line.find(itself) != std::string::npos))
      writes.push_back(line);
  }
  return writes;
}

class NoWriteToData : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    const Format& format = GetParam();
    fs::create_directories(data);
    fs::create_directories(maps);
    if (format.ogr2ogr.empty()) {
      fs::copy_file(kWorld, data / format.file);
    } else {
      Lines args = {"ogr2ogr", "-q", (data / format.file).string(), kWorld.string(), "world"};
      args.insert(args.begin() + 2, format.ogr2ogr.begin(), format.ogr2ogr.end());
      const Ran run = RunProgram(args);
      ASSERT_EQ(run.status, 0) << run.err;
    }
    if (format.wal) KeepUncheckpointedChanges(data / format.file);
    WriteText(map, R"({"quillet": 1, "layers": [{"name": "by continent",
      "source": {"path": "../data/)" +
                       std::string(format.file) + R"(", "layer": "world"},
      "renderer": {"kind": "uniqueValue", "fields": ["continent"], "classes": [
        {"values": ["Africa"], "label": "Africa"}, {"values": ["Asia"], "label": "Asia"}],
        "default": {"label": "Other"}}}]})");
  }

  // Puts the database in WAL mode and commits a change that stays in the -wal file.
  static void KeepUncheckpointedChanges(const fs::path& file) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr), SQLITE_OK);
    // The spatial index's triggers call GDAL's functions; a change of attributes needs none.
    ASSERT_EQ(sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr), SQLITE_OK);
    for (const char* sql : {"PRAGMA journal_mode=WAL", "PRAGMA wal_autocheckpoint=0",
                            "UPDATE world SET pop = pop + 1 WHERE fid = 1"})
      ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
    ASSERT_TRUE(fs::exists(file.string() + "-wal"));
    ASSERT_TRUE(fs::exists(file.string() + "-shm"));
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

INSTANTIATE_TEST_SUITE_P(Formats, NoWriteToData, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::test
