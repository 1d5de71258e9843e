#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/programs.h"

namespace quillet::test {

/// A command that runs this long in a test hangs.
inline constexpr unsigned kHung = 300;

/// The built quillet command with these arguments.
inline Ran Quillet(std::vector<std::string> args, const fs::path& folder = {}) {
  args.insert(args.begin(), QUILLET_BINARY);
  return RunProgram(args, folder, kHung);
}

/// A copy of the example folder and of the bundled data beside it, so that the example map's
/// paths (../data/world.gpkg) hold and `set` changes only the copy.
class ExampleCopy : public TempFolder {
 public:
  ExampleCopy() {
    const fs::path examples = QUILLET_EXAMPLES_DIR;
    const fs::path data = QUILLET_DATA_DIR;
    fs::create_directories(Path() / "examples");
    fs::create_directories(Path() / "data");
    for (const char* name : {"world.json", "g20.csv", "g20.csvt"})
      fs::copy_file(examples / name, Path() / "examples" / name);
    for (const char* name : {"world.gpkg", "sids.shp", "sids.shx", "sids.dbf"})
      fs::copy_file(data / name, Path() / "data" / name);
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
  /// The renderer object of a layer as the map stores it now.
  Json Renderer(size_t layer) const {
    return Json::parse(ReadText(map))["layers"][layer]["renderer"];
  }

  ExampleCopy copy;
  std::string map = copy.Map().string();
};

inline const fs::path kWorld = fs::path(QUILLET_DATA_DIR) / "world.gpkg";

/// Rows of one SQL query over the bundled countries, every value as text: the answers the
/// command's labels must match, computed without the program.
inline std::vector<Lines> Query(const std::string& sql) {
  // Immutable: a reader of a database in WAL mode (the sample GeoPackage is one) would leave a
  // -wal and a -shm file beside it.
  const std::string uri = "file:" + kWorld.string() + "?immutable=1";
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr),
            SQLITE_OK);
  std::vector<Lines> rows;
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    Lines row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const unsigned char* text = sqlite3_column_text(statement, i);
      row.push_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

/// The first column of a query's rows.
inline Lines Column(const std::string& sql) {
  Lines column;
  for (const auto& row : Query(sql))
    column.push_back(row.at(0));
  return column;
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
