#include "synthetic_layer.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace quillet::bench {
namespace {

// splitmix64: tiny, fast, and the same sequence everywhere.
class Random {
 public:
  explicit Random(uint64_t seed) : mState(seed) {}
  uint64_t Next() {
    uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// In [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

 private:
  uint64_t mState;
};

class Database {
 public:
  explicit Database(const std::string& path) {
    if (sqlite3_open(path.c_str(), &mDb) != SQLITE_OK) Fail("open " + path);
  }
  ~Database() { sqlite3_close(mDb); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Execute(const std::string& sql) {
    if (sqlite3_exec(mDb, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("SQLite failed (" + what + "): " + sqlite3_errmsg(mDb));
  }
  sqlite3* Handle() const { return mDb; }

 private:
  sqlite3* mDb = nullptr;
};

// Days since 1970-01-01 to a civil date (H. Hinnant's algorithm).
std::string DateText(int64_t days) {
  days += 719468;
  const int64_t era = days / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(year),
                static_cast<int>(month), static_cast<int>(day));
  return text;
}

// A GeoPackage point: the binary header (little-endian, no envelope, SRS 4326), then WKB.
std::array<unsigned char, 29> Point(double x, double y) {
  std::array<unsigned char, 29> blob{'G', 'P', 0, 1, 0xE6, 0x10, 0, 0, 1, 1, 0, 0, 0};
  std::memcpy(blob.data() + 13, &x, sizeof x);
  std::memcpy(blob.data() + 21, &y, sizeof y);
  return blob;
}

constexpr int64_t kFirstDay = -25567;  // 1900-01-01
constexpr int64_t kDays = 43800;       // 120 years of 365 days

}  // namespace

std::vector<std::string> SyntheticLayer::ClassValues() {
  std::vector<std::string> values;
  char text[16];
  for (int k = 1; k <= kClasses; ++k) {
    std::snprintf(text, sizeof text, "Class %02d", k);
    values.emplace_back(text);
  }
  return values;
}

std::vector<double> SyntheticLayer::PopBreaks() {
  return {10, 30, 100, 300, 1000, 3000, 10000, 30000, 60000, 100000};
}

std::string SyntheticLayer::PopClassSql() {
  const auto breaks = PopBreaks();
  std::string sql = "CASE";
  for (size_t i = 0; i < breaks.size(); ++i) {
    char bound[32];
    std::snprintf(bound, sizeof bound, "%.0f", breaks[i]);
    sql += std::string(" WHEN POP <= ") + bound + " THEN " + std::to_string(i);
  }
  return sql + " END";
}

void WriteSyntheticGeoPackage(const std::string& path, int64_t features) {
  const std::string partial = path + ".partial";
  std::filesystem::remove(partial);
  {
    Database db(partial);
    db.Execute(
        "PRAGMA application_id = 1196444487; PRAGMA user_version = 10300;"
        "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
    db.Execute(
        "CREATE TABLE gpkg_spatial_ref_sys (srs_name TEXT NOT NULL, srs_id INTEGER PRIMARY KEY,"
        " organization TEXT NOT NULL, organization_coordsys_id INTEGER NOT NULL,"
        " definition TEXT NOT NULL, description TEXT);"
        "INSERT INTO gpkg_spatial_ref_sys VALUES"
        " ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined', NULL),"
        " ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined', NULL),"
        " ('WGS 84 geodetic', 4326, 'EPSG', 4326, 'GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\","
        "SPHEROID[\"WGS 84\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],"
        "UNIT[\"degree\",0.0174532925199433]]', NULL);"
        "CREATE TABLE gpkg_contents (table_name TEXT NOT NULL PRIMARY KEY,"
        " data_type TEXT NOT NULL, identifier TEXT UNIQUE, description TEXT DEFAULT '',"
        " last_change DATETIME NOT NULL, min_x DOUBLE, min_y DOUBLE, max_x DOUBLE,"
        " max_y DOUBLE, srs_id INTEGER);"
        "INSERT INTO gpkg_contents VALUES ('parcels', 'features', 'parcels', '',"
        " '2026-01-01T00:00:00.000Z', -180, -90, 180, 90, 4326);"
        "CREATE TABLE gpkg_geometry_columns (table_name TEXT NOT NULL,"
        " column_name TEXT NOT NULL, geometry_type_name TEXT NOT NULL, srs_id INTEGER NOT NULL,"
        " z TINYINT NOT NULL, m TINYINT NOT NULL, PRIMARY KEY (table_name, column_name));"
        "INSERT INTO gpkg_geometry_columns VALUES ('parcels', 'geom', 'POINT', 4326, 0, 0);"
        "CREATE TABLE parcels (fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, geom POINT,"
        " CLS TEXT(16), POP INTEGER, AREA REAL, BUILT DATE)");

    // Class k (1-based) is picked with weight 1/k.
    const std::vector<std::string> classes = SyntheticLayer::ClassValues();
    std::vector<double> cumulative;
    double total = 0;
    for (int k = 1; k <= SyntheticLayer::kClasses; ++k)
      cumulative.push_back(total += 1.0 / k);

    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), "INSERT INTO parcels VALUES (?, ?, ?, ?, ?, ?)", -1,
                           &insert, nullptr) != SQLITE_OK)
      db.Fail("prepare");
    Random random(20260101);
    db.Execute("BEGIN");
    for (int64_t fid = 1; fid <= features; ++fid) {
      const auto point = Point(-180 + 360 * random.Uniform(), -90 + 180 * random.Uniform());
      const double pick = random.Uniform() * total;
      const size_t cls = static_cast<size_t>(
          std::upper_bound(cumulative.begin(), cumulative.end(), pick) - cumulative.begin());
      const double popNull = random.Uniform();
      const double pop = std::floor(std::pow(10.0, 5 * random.Uniform()));
      const double areaNull = random.Uniform();
      const double area = std::round(1 + random.Uniform() * 4999) / 10;
      const int64_t day = kFirstDay + static_cast<int64_t>(random.Uniform() * kDays);
      const std::string built = DateText(day);

      sqlite3_bind_int64(insert, 1, fid);
      sqlite3_bind_blob(insert, 2, point.data(), static_cast<int>(point.size()), SQLITE_STATIC);
      const std::string& value = classes[std::min(cls, classes.size() - 1)];
      sqlite3_bind_text(insert, 3, value.c_str(), -1, SQLITE_STATIC);
      if (popNull < 0.05) {
        sqlite3_bind_null(insert, 4);
      } else {
        sqlite3_bind_int64(insert, 4, static_cast<int64_t>(pop));
      }
      if (areaNull < 0.03) {
        sqlite3_bind_null(insert, 5);
      } else {
        sqlite3_bind_double(insert, 5, area);
      }
      sqlite3_bind_text(insert, 6, built.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(insert) != SQLITE_DONE) db.Fail("insert");
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    db.Execute("COMMIT");
  }
  std::filesystem::rename(partial, path);
}

std::string WriteSyntheticGeoPackageOnce(const std::string& data, int64_t features) {
  std::filesystem::create_directories(data);
  const std::string path = data + "/parcels-" + std::to_string(features) + "-v1.gpkg";
  if (!std::filesystem::exists(path)) {
    std::fprintf(stderr, "# writing %s\n", path.c_str());
    WriteSyntheticGeoPackage(path, features);
  }
  return path;
}

}  // namespace quillet::bench
