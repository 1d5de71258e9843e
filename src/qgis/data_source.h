#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "map/map.h"

namespace quillet::qgis {

/// A QGIS layer's data as GDAL reaches it.
struct DataSource {
  map::SourceEntry source;
  /// The provider's subset string, which becomes the layer's definition expression.
  std::optional<std::string> subset;
  /// Why GDAL cannot reach the data; "" when it can.
  std::string unusable;
};

/// Reads a QGIS data source of provider `provider` as a project writes it:
/// - ogr: `PATH|layername=NAME|layerid=N|subset=WHERE` (a path relative to the project starts
///   with "./" or "../"); layerid 0 is the first layer, another id is looked up in the source;
/// - spatialite: `dbname='PATH' table="NAME" (GEOMETRY) sql=WHERE`;
/// - postgres: `dbname='DB' host=H port=P user=U ... table="SCHEMA"."NAME" (GEOMETRY)
///   sql=WHERE`, opened as GDAL's `PG:` connection with the libpq keys, the layer named
///   `SCHEMA.NAME` (just `NAME` in the schema public);
/// any other provider's layer is unusable, the reason naming the provider. The source as
/// written keeps the text but a password (`password=***`), since reports show it.
/// Relative paths are taken from `folder`.
DataSource ReadDataSource(const std::string& provider, const std::string& written,
                          const std::filesystem::path& folder);

}  // namespace quillet::qgis
