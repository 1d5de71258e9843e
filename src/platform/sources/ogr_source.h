#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sources/source_table.h"
#include "platform/store/feature_store.h"

namespace quillet::platform {

/// Told how far a load has come: rows read so far, and the rows in all (-1 when the driver
/// cannot count them cheaply). Called every few thousand rows and once at the end.
using LoadProgress = std::function<void(int64_t done, int64_t total)>;

/// Opens `source` (a file path, or a connection string such as "PG:dbname=gis") read-only
/// through GDAL/OGR and copies the rows of its layer `layerName` (without regard to letter
/// case; "" takes the first layer) into a new table of `store` named `tableName` ("" names it
/// like the layer): the attribute fields `choice` names, or only the fields, with the
/// source's count of features.
///
/// Fields keep the layer's order after the object id and the geometries:
/// - the object id (type 6) first, named by the layer's FID column, or "FID" when the driver
///   has none (then "OBJECTID" or "OID" if a field already has that name); rows keep GDAL's
///   feature ids (a shapefile counts from 0, a CSV file from 1);
/// - each geometry field (type 7, its well-known binary), named by the layer ("SHAPE" when
///   the driver gives no name), whose values are never copied;
/// - then the attributes: Integer 1 (0 with the Int16 or Boolean subtype), Integer64 1 (read
///   back by the 64-bit rule: a Double beyond 32 bits), Real 3 (2 with the Float32 subtype),
///   String 4, Date and DateTime 5 (to the second, zone ignored), Binary 8, and any other
///   kind (Time, lists) as text 4.
/// Text is UTF-8: GDAL recodes a shapefile by its `.cpg` (or its code page mark), and text
/// that a driver hands over in another encoding is read as ISO-8859-1. A CSV file takes its
/// column types from a `.csvt` beside it, else every column is text. No where clause ever
/// reaches GDAL: the store answers them all.
///
/// Fails with a platform error carrying GDAL's reason when the source cannot be opened or
/// read ("Cannot open data/nope.gpkg: ..."), and naming the layers the source has when it
/// lacks `layerName` ("The data source data/world.gpkg has no layer countries (its layers:
/// world)"). The store is left without the table on failure.
SourceTable LoadOgrTable(FeatureStore& store, const std::string& source,
                         const std::string& layerName = "", const std::string& tableName = "",
                         const LoadProgress& progress = {}, const CopyChoice& choice = {});

/// The names of the layers of a data source, in GDAL's order. Fails like `LoadOgrTable`.
std::vector<std::string> OgrLayerNames(const std::string& source);

}  // namespace quillet::platform
