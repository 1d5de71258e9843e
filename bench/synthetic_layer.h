#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::bench {

/// The synthetic parcels layer the benchmarks label: the same bytes for the same feature count
/// on every machine (its own generator, no library distributions).
///
/// Fields: `fid` (primary key), `geom` (a GeoPackage point), `CLS` (text, 50 values whose
/// sizes fall off like 1/k: "Class 01" holds about 22 % of the features, "Class 50" about
/// 0.45 %), `POP` (integer, spread evenly over the decades 1 .. 100000, 5 % null), `AREA`
/// (real, 0.1 .. 500.0, 3 % null) and `BUILT` (date, 1900-01-01 .. 2019-12-28, so about half
/// the features are built before 1960).
struct SyntheticLayer {
  static constexpr const char* kTable = "parcels";
  static constexpr int kClasses = 50;
  /// The class values in class order.
  static std::vector<std::string> ClassValues();
  /// The upper bounds of the ten POP classes; the last one is the largest POP.
  static std::vector<double> PopBreaks();
  /// SQL numbering each POP value by its class from 0: "CASE WHEN POP <= 10 THEN 0 ... END".
  static std::string PopClassSql();
};

/// Writes the layer with `features` features as a GeoPackage at `path` (replacing any file
/// there), through SQLite directly.
void WriteSyntheticGeoPackage(const std::string& path, int64_t features);

/// The path of the layer with `features` features in the folder `data`, written there unless
/// it is there already.
std::string WriteSyntheticGeoPackageOnce(const std::string& data, int64_t features);

}  // namespace quillet::bench
