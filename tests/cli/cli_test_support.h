#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/programs.h"

namespace quillet::test {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::StartsWith;

/// A command that runs this long in a test hangs.
inline constexpr unsigned kHung = 300;

inline Ran Quillet(std::vector<std::string> args, const fs::path& folder = {}) {
  args.insert(args.begin(), QUILLET_BINARY);
  return RunProgram(args, folder, kHung);
}

/// A copy of the example folder and of the bundled data beside it, so that the example map's
/// paths (../data/world.gpkg) hold and `set` changes only the copy.
class ExampleCopy : public TempFolder {
 public:
  ExampleCopy() {
    fs::create_directories(Path() / "examples");
    fs::create_directories(Path() / "data");
    for (const char* name : {"world.json", "g20.csv", "g20.csvt"})
      fs::copy_file(fs::path(QUILLET_EXAMPLES_DIR) / name, Path() / "examples" / name);
    for (const char* name : {"world.gpkg", "sids.shp", "sids.shx", "sids.dbf"})
      fs::copy_file(fs::path(QUILLET_DATA_DIR) / name, Path() / "data" / name);
  }
  fs::path Map() const { return Path() / "examples" / "world.json"; }
};

/// Commands on a copy of the example map, each a process of its own.
class ExampleMap : public ::testing::Test {
 protected:
  /// `command` on a layer of the map with an expression, then the options.
  Ran Run(const char* command, const std::string& layer, const std::string& expression,
          Lines options = {}) {
    Lines args = {command, map, "--layer", layer, "--expression", expression};
    args.insert(args.end(), options.begin(), options.end());
    return Quillet(args);
  }
  Ran Labels(const std::string& layer, const std::string& expression, Lines options = {}) {
    return Run("labels", layer, expression, std::move(options));
  }
  Ran Set(const std::string& layer, const std::string& expression, Lines options = {}) {
    return Run("set", layer, expression, std::move(options));
  }
  Ran Reset(const std::string& layer) { return Quillet({"reset", map, "--layer", layer}); }
  Json Renderer(size_t layer) const {
    return Json::parse(ReadText(map))["layers"][layer]["renderer"];
  }

  ExampleCopy copy;
  std::string map = copy.Map().string();
};

inline const fs::path kWorld = fs::path(QUILLET_DATA_DIR) / "world.gpkg";

/// The first column of the rows of one SQL query over the bundled countries, as text: the
/// answers the command's labels must match, computed without the program.
inline Lines Column(const std::string& sql) {
  // Immutable: a reader of a database in WAL mode (the sample GeoPackage is one) would leave a
  // -wal and a -shm file beside it.
  const std::string uri = "file:" + kWorld.string() + "?immutable=1";
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr),
            SQLITE_OK);
  Lines column;
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement, 0);
    column.push_back(text ? reinterpret_cast<const char*>(text) : "");
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return column;
}

/// The bundled countries in a format the command reads: a file converted from them, or a
/// table of the tests' PostgreSQL servers.
struct Format {
  const char* name;
  Lines ogr2ogr;        // how world.gpkg is converted; none: a copy of it
  const char* file;     // or, for a server, its database
  int64_t firstId = 1;  // the object id of the first country
  bool server = false;
  bool wal = false;  // the copy in WAL mode, committed changes not yet checkpointed
};

/// Test listings name a format, not its bytes.
inline void PrintTo(const Format& format, std::ostream* out) {
  *out << format.name;
}
inline std::string FormatName(const ::testing::TestParamInfo<Format>& info) {
  return info.param.name;
}

/// The bundled countries as `file`: converted by ogr2ogr with these options, or a copy.
inline void ConvertWorld(const fs::path& file, const Lines& ogr2ogr) {
  if (ogr2ogr.empty()) {
    fs::copy_file(kWorld, file);
    return;
  }
  Lines args = {"ogr2ogr", "-q", file.string(), kWorld.string(), "world"};
  args.insert(args.begin() + 2, ogr2ogr.begin(), ogr2ogr.end());
  const Ran run = RunProgram(args);
  ASSERT_EQ(run.status, 0) << run.err;
}

/// A map document layer "by continent" of the countries in `source` (a JSON object): Africa,
/// Asia and the rest, with `more` keys before the renderer.
inline std::string ByContinent(const std::string& source, const std::string& more = "") {
  return R"({"name": "by continent", "source": )" + source + ", " + more +
         R"("renderer": {"kind": "uniqueValue", "fields": ["continent"], "classes": [
           {"values": ["Africa"], "label": "Africa"}, {"values": ["Asia"], "label": "Asia"}],
           "default": {"label": "Other"}}})";
}

}  // namespace quillet::test
