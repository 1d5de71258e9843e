#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/sources/source_table.h"
#include "platform/store/pg_connection.h"

namespace quillet::platform {

/// Whether a data source is a PostgreSQL connection as GDAL writes one ("PG:dbname=gis ...").
bool IsPostgresSource(const std::string& location);

/// Connects to the PostgreSQL database that `location` names ("PG:" and libpq's keys; GDAL's
/// own keys are left out), read-only.
std::shared_ptr<PgConnection> ConnectPostgres(const std::string& location);

/// Layer `layerName` ("countries", "schema.table") of the database `server` is connected to,
/// read where it is: each search is a query to the server, which filters the rows
/// and sends only the fields asked for; nothing is copied and nothing is written (see
/// `PgConnection`). Known as `tableName` ("" names it like the layer).
///
/// Fields are what GDAL's PostgreSQL driver gives: the integer primary key first as the object
/// id (or, without one, an integer column named fid or ogc_fid), geometry and geography
/// columns next (type 7), then the other columns in the table's order: smallint and boolean 0,
/// integer, bigint and numeric without a fraction 1, real 2, double precision and numeric 3,
/// date and timestamps 5, bytea 8, anything else text 4.
///
/// Nothing when the layer has no integer key to order its rows by, so that the caller reads
/// it another way. Fails, naming the source with its password as ***, when the server cannot
/// be reached or has no such table, with the server's reason.
std::optional<SourceTable> OpenPostgresTable(const std::shared_ptr<PgConnection>& server,
                                             const std::string& layerName,
                                             const std::string& tableName = "");

}  // namespace quillet::platform
