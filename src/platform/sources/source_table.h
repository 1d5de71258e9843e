#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/tables/feature_table.h"

namespace quillet::platform {

/// A table of a data source, ready for a layer: read in place, or copied into the store.
struct SourceTable {
  std::shared_ptr<FeatureTable> table;
  /// The layer's name as the source gives it ("world", "sids").
  std::string layerName;
  /// The format's name as GDAL's driver gives it: "GeoPackage", "SQLite / Spatialite",
  /// "ESRI Shapefile", "GeoJSON", "Comma Separated Value (.csv)", "PostgreSQL/PostGIS"...
  std::string category;
  /// The number of features the source holds, when the table was made without its rows.
  std::optional<int64_t> featureCount;
};

/// What a copy of a data source into the store takes. Sources read in place ignore it: they
/// read what is asked for when it is asked for.
struct CopyChoice {
  /// Whether rows are copied; without them the table has the source's fields and no rows.
  bool rows = true;
  /// The attribute fields copied, by name without regard to letter case (others stay null);
  /// all of them when absent. Geometries are never copied: their fields are there, null.
  std::optional<std::vector<std::string>> fields;
};

}  // namespace quillet::platform
