#include "platform/sources/postgres_source.h"

#include <vector>

#include "platform/store/pg_connection.h"
#include "quillet/error.h"
#include "quillet/gis/field.h"
#include "runtime/case.h"

namespace quillet::platform {
namespace {

// GDAL's own keys, which libpq does not know.
constexpr const char* kGdalKeys[] = {"schemas", "tables", "active_schema", "list_all_tables"};

// The libpq connection string of GDAL's "PG:..." text: its keys without GDAL's own.
std::string LibpqConnection(const std::string& location) {
  const std::string text = location.substr(3);
  std::string kept;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ')
      ++at;
    size_t end = at;
    bool quoted = false;
    for (; end < text.size() && (quoted || text[end] != ' '); ++end) {
      if (text[end] == '\\') {
        ++end;
      } else if (text[end] == '\'') {
        quoted = !quoted;
      }
    }
    const std::string pair = text.substr(at, end - at);
    bool gdal = false;
    for (const char* key : kGdalKeys)
      gdal = gdal || runtime::EqualsIgnoreCase(pair.substr(0, pair.find('=')), key);
    if (!pair.empty() && !gdal) kept += (kept.empty() ? "" : " ") + pair;
    at = end;
  }
  return kept;
}

int32_t FieldType(const std::string& type, const std::string& formatted) {
  if (type == "int2" || type == "bool") return gis::kFieldSmallInteger;
  if (type == "int4" || type == "int8") return gis::kFieldInteger;
  if (type == "float4") return gis::kFieldSingle;
  if (type == "float8") return gis::kFieldDouble;
  if (type == "numeric")
    return formatted.find(",0)") != std::string::npos ? gis::kFieldInteger : gis::kFieldDouble;
  if (type == "date" || type == "timestamp" || type == "timestamptz") return gis::kFieldDate;
  if (type == "bytea") return gis::kFieldBlob;
  if (type == "geometry" || type == "geography") return gis::kFieldGeometry;
  return gis::kFieldString;
}

struct Relation {
  std::string oid;
  std::string schema;
  std::string table;
};

// The table a layer name stands for: "schema.table", or a table of the search path; compared
// exactly, else without regard to letter case.
std::optional<Relation> FindRelation(PgConnection& server, const std::string& layerName) {
  const auto rows = server.Rows(
      "SELECT c.oid::text, n.nspname, c.relname, "
      "  CASE WHEN n.nspname = current_schema() THEN c.relname "
      "       ELSE n.nspname || '.' || c.relname END "
      "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
      "WHERE c.relkind IN ('r', 'v', 'm', 'f', 'p') "
      "  AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
      "  AND lower(CASE WHEN n.nspname = current_schema() THEN c.relname "
      "                 ELSE n.nspname || '.' || c.relname END) = lower($1)",
      {layerName});
  for (const bool exact : {true, false}) {
    for (const auto& row : rows) {
      if (exact && *row[3] != layerName) continue;
      return Relation{*row[0], *row[1], *row[2]};
    }
  }
  return std::nullopt;
}

}  // namespace

bool IsPostgresSource(const std::string& location) {
  return location.size() > 3 && runtime::EqualsIgnoreCase(location.substr(0, 3), "PG:");
}

std::shared_ptr<PgConnection> ConnectPostgres(const std::string& location) {
  return PgConnection::Connect(LibpqConnection(location), WithoutPassword(location));
}

std::optional<SourceTable> OpenPostgresTable(const std::shared_ptr<PgConnection>& server,
                                             const std::string& layerName,
                                             const std::string& tableName) {
  const std::string& shown = server->Shown();
  if (layerName.empty())
    throw runtime::Error::Platform("The data source " + shown + " needs a layer name");
  const auto relation = FindRelation(*server, layerName);
  if (!relation)
    throw runtime::Error::Platform("The data source " + shown + " has no layer " + layerName);

  const auto key = server->Rows(
      "SELECT a.attname FROM pg_index i JOIN pg_attribute a "
      "  ON a.attrelid = i.indrelid AND a.attnum = ANY(i.indkey) "
      "WHERE i.indrelid = $1::oid AND i.indisprimary AND i.indnatts = 1 "
      "  AND a.atttypid IN ('int2'::regtype, 'int4'::regtype, 'int8'::regtype)",
      {relation->oid});
  const auto columns = server->Rows(
      "SELECT a.attname, t.typname, format_type(a.atttypid, a.atttypmod) "
      "FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
      "WHERE a.attrelid = $1::oid AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
      {relation->oid});
  std::optional<std::string> objectId;
  if (!key.empty()) objectId = *key.front()[0];
  for (const char* name : {"fid", "ogc_fid"}) {
    for (const auto& column : columns) {
      const std::string& type = *column[1];
      if (!objectId && *column[0] == name && (type == "int2" || type == "int4" || type == "int8"))
        objectId = *column[0];
    }
  }
  if (!objectId) return std::nullopt;

  std::vector<FieldDefinition> fields{{*objectId, gis::kFieldObjectId}};
  std::vector<FieldDefinition> attributes;
  for (const auto& column : columns) {
    if (*column[0] == *objectId) continue;
    FieldDefinition field{*column[0], FieldType(*column[1], *column[2])};
    (field.type == gis::kFieldGeometry ? fields : attributes).push_back(field);
  }
  fields.insert(fields.end(), attributes.begin(), attributes.end());

  SourceTable source;
  source.layerName =
      relation->schema == "public" ? relation->table : relation->schema + "." + relation->table;
  source.category = "PostgreSQL/PostGIS";
  source.table = FeatureTable::InPlace(server, relation->schema, relation->table,
                                       tableName.empty() ? source.layerName : tableName, fields);
  return source;
}

}  // namespace quillet::platform
