#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

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

/// The same as a user who may not write to folders that root owns: `nobody` when the tests
/// run as root, else the user running them. As `nobody` it runs a copy of the command in the
/// temporary folder, since the build folder may lie where that user cannot reach.
inline Ran QuilletAsNobody(std::vector<std::string> args, const fs::path& folder = {}) {
  if (geteuid() != 0) return Quillet(std::move(args), folder);
  static const TempFolder reachable;
  const fs::path binary = reachable.Path() / "quillet";
  if (!fs::exists(binary)) {
    fs::copy_file(QUILLET_BINARY, binary);
    fs::permissions(binary, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
  }
  args.insert(args.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--",
                             binary.string()});
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

/// Rows of one SQL query over a GeoPackage (or any SQLite file), every value as text: the
/// answers the command's labels must match, computed without the program.
inline std::vector<Lines> Query(const fs::path& file, const std::string& sql) {
  // Immutable: a reader of a database in WAL mode (the sample GeoPackage is one) would leave a
  // -wal and a -shm file beside it.
  std::string uri = "file:";
  for (const char c : file.string())
    uri += c == '%' ? "%25" : c == '?' ? "%3f" : c == '#' ? "%23" : std::string(1, c);
  uri += "?immutable=1";
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
inline Lines Column(const std::vector<Lines>& rows) {
  Lines column;
  for (const auto& row : rows)
    column.push_back(row.at(0));
  return column;
}

inline const fs::path kWorld = fs::path(QUILLET_DATA_DIR) / "world.gpkg";

}  // namespace quillet::test
