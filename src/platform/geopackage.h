#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/feature_layer.h"
#include "platform/feature_store.h"

namespace quillet::platform {

/// Copies the feature table `layerName` of the GeoPackage file at `path` into a new table of
/// `store` (same name) and makes a layer of it: category "GeoPackage", data source named like
/// the layer, a simple renderer with an empty label, no definition.
///
/// Fields keep the file's column order, except that the integer primary key (the fid) comes
/// first as the object id; the column that gpkg_geometry_columns names is the geometry.
/// Fails with a platform error naming the file when it does not exist or cannot be read, and
/// naming the layer (and the layers the file has) when it has no such feature or attribute
/// table.
std::shared_ptr<FeatureLayer> LoadGeoPackageLayer(FeatureStore& store, const std::string& path,
                                                  const std::string& layerName);

/// The field type code for a column's declared type: INTEGER, INT, MEDIUMINT, BIGINT -> 1;
/// SMALLINT, TINYINT, BOOLEAN -> 0; FLOAT -> 2; REAL, DOUBLE -> 3; TEXT -> 4; DATE,
/// DATETIME -> 5; BLOB -> 8. Any other type by SQLite's affinity rules: containing "INT" -> 1,
/// "CHAR", "CLOB" or "TEXT" -> 4, "BLOB" or none -> 8, anything else -> 3. A size such as
/// TEXT(20) and letter case do not matter.
int32_t GeoPackageFieldType(std::string_view declaredType);

}  // namespace quillet::platform
