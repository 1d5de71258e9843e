#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/sources/source_table.h"
#include "platform/store/feature_store.h"

namespace quillet::platform {

/// Whether the file at `path` is a SQLite database (a GeoPackage, a SpatiaLite or a plain
/// SQLite file), by its first bytes. False for anything else, a missing file included.
bool IsSqliteDatabase(const std::string& path);

/// Layer `layerName` of the SQLite database at `path`, read in place: the file is attached to
/// the store's connection read-only (`SqliteConnection::AttachReadOnly`) and its table is
/// searched where it is, with its own rows, feature ids and indexes; nothing is copied and
/// nothing is written. The table is known as `tableName` ("" names it like the layer).
///
/// Layers, fields and types are what GDAL's drivers give for the same file, so that labels,
/// messages and delimiters do not depend on the way the data is read:
/// - a GeoPackage lists the feature tables of `gpkg_contents`, then its attribute tables; its
///   declared types map as GDAL's GeoPackage driver maps them (`INT`, `INTEGER`, `MEDIUMINT`
///   1; `SMALLINT`, `BOOLEAN` 0; `TINYINT` 1; `FLOAT` 2; `DOUBLE`, `REAL`, `NUMERIC` 3; `DATE`,
///   `DATETIME` 5; `BLOB` 8; anything else text 4);
/// - another SQLite database lists its spatial tables (`geometry_columns`), or every table when
///   it has no spatial metadata, and answers for any table by name; it maps declared types as
///   GDAL's SQLite driver does (a name with `INT` 1, `REAL`, `FLOAT`,
///   `DOUBLE`, `NUMERIC`, `DECIMAL` 3, `DATE`, `DATETIME`, `TIMESTAMP` 5, `BLOB` 8, else 4).
/// Fields come as GDAL orders them: the integer primary key first as the object id, the
/// geometry column next (type 7), then the other columns in the table's order.
///
/// Nothing when the layer cannot be read in place (a view, a table without an integer primary
/// key), so that the caller reads it another way; fails naming the file and the layers it has
/// when it has no such layer, and with SQLite's reason when it cannot be read.
std::optional<SourceTable> OpenSqliteTable(FeatureStore& store, const std::string& path,
                                           const std::string& layerName,
                                           const std::string& tableName = "");

}  // namespace quillet::platform
