#include "platform/sources/sqlite_source.h"

#include <fstream>
#include <vector>

#include "platform/store/sql_text.h"
#include "quillet/error.h"
#include "quillet/gis/field.h"
#include "runtime/case.h"

namespace quillet::platform {
namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

bool Contains(const std::string& text, const char* word) {
  return text.find(word) != std::string::npos;
}

// The declared type without a size ("TEXT(20)" is "TEXT"), in capitals.
std::string BaseType(std::string_view declared) {
  std::string type = Upper(declared.substr(0, declared.find('(')));
  while (!type.empty() && type.back() == ' ')
    type.pop_back();
  return type;
}

int32_t GeoPackageType(std::string_view declared) {
  const std::string type = BaseType(declared);
  if (type == "INT" || type == "INTEGER" || type == "MEDIUMINT" || type == "TINYINT")
    return gis::kFieldInteger;
  if (type == "SMALLINT" || type == "BOOLEAN") return gis::kFieldSmallInteger;
  if (type == "FLOAT") return gis::kFieldSingle;
  if (type == "DOUBLE" || type == "REAL" || type == "NUMERIC") return gis::kFieldDouble;
  if (type == "DATE" || type == "DATETIME") return gis::kFieldDate;
  if (type == "BLOB") return gis::kFieldBlob;
  return gis::kFieldString;
}

int32_t SqliteType(std::string_view declared) {
  const std::string type = BaseType(declared);
  if (type == "INTEGER_BOOLEAN" || type == "INTEGER_INT16") return gis::kFieldSmallInteger;
  if (Contains(type, "INT")) return gis::kFieldInteger;
  if (Contains(type, "REAL") || Contains(type, "FLOA") || Contains(type, "DOUB") ||
      Contains(type, "NUMERIC") || Contains(type, "DECIMAL"))
    return gis::kFieldDouble;
  if (type == "DATE" || type == "DATETIME" || type == "TIMESTAMP") return gis::kFieldDate;
  if (Contains(type, "BLOB")) return gis::kFieldBlob;
  return gis::kFieldString;
}

class Database {
 public:
  Database(std::shared_ptr<SqliteConnection> connection, std::string schema)
      : mConnection(std::move(connection)), mSchema(std::move(schema)) {}

  bool HasTable(const std::string& name) const { return Has("table", name); }
  bool HasView(const std::string& name) const { return Has("view", name); }

  std::vector<std::string> Texts(const std::string& sql) const {
    std::vector<std::string> texts;
    SqliteStatement statement(mConnection, sql);
    while (statement.Step())
      texts.push_back(statement.ColumnText(0));
    return texts;
  }

  std::string Qualified(const std::string& table) const {
    return QuoteIdentifier(mSchema) + "." + QuoteIdentifier(table);
  }

  const std::shared_ptr<SqliteConnection>& Connection() const { return mConnection; }
  const std::string& Schema() const { return mSchema; }

 private:
  // Names of tables compare without regard to ASCII case, as SQLite compares them.
  bool Has(const char* type, const std::string& name) const {
    SqliteStatement find(mConnection, "SELECT 1 FROM " + Qualified("sqlite_master") +
                                          " WHERE type = ? AND name = ? COLLATE NOCASE");
    find.BindText(1, type);
    find.BindText(2, name);
    return find.Step();
  }

  std::shared_ptr<SqliteConnection> mConnection;
  std::string mSchema;
};

struct Kind {
  bool geoPackage = false;
  std::vector<std::string> layers;  // in GDAL's order
  std::string category;
};

Kind ReadKind(const Database& db) {
  Kind kind;
  kind.geoPackage = db.HasTable("gpkg_contents");
  if (kind.geoPackage) {
    kind.category = "GeoPackage";
    kind.layers = db.Texts("SELECT table_name FROM " + db.Qualified("gpkg_contents") +
                           " WHERE data_type IN ('features', 'attributes')"
                           " ORDER BY data_type <> 'features', rowid");
    return kind;
  }
  kind.category = "SQLite / Spatialite";
  // With spatial metadata only the spatial tables are listed; other tables answer by name.
  if (db.HasTable("geometry_columns")) {
    kind.layers = db.Texts("SELECT f_table_name FROM " + db.Qualified("geometry_columns"));
  } else {
    kind.layers = db.Texts("SELECT name FROM " + db.Qualified("sqlite_master") +
                           " WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"
                           " ORDER BY rowid");
  }
  return kind;
}

std::string GeometryColumn(const Database& db, const Kind& kind, const std::string& table) {
  const bool hasColumns =
      kind.geoPackage ? db.HasTable("gpkg_geometry_columns") : db.HasTable("geometry_columns");
  if (!hasColumns) return "";
  SqliteStatement find(db.Connection(),
                       kind.geoPackage
                           ? "SELECT column_name FROM " + db.Qualified("gpkg_geometry_columns") +
                                 " WHERE lower(table_name) = lower(?)"
                           : "SELECT f_geometry_column FROM " + db.Qualified("geometry_columns") +
                                 " WHERE lower(f_table_name) = lower(?)");
  find.BindText(1, table);
  return find.Step() ? find.ColumnText(0) : "";
}

// The fields as GDAL orders them, or nothing without an integer primary key.
std::optional<std::vector<FieldDefinition>> ReadFields(const Database& db, const Kind& kind,
                                                       const std::string& table) {
  const std::string geometry = GeometryColumn(db, kind, table);
  std::optional<FieldDefinition> objectId;
  std::vector<FieldDefinition> geometries;
  std::vector<FieldDefinition> attributes;
  SqliteStatement info(db.Connection(), "PRAGMA " + QuoteIdentifier(db.Schema()) + ".table_info(" +
                                            QuoteIdentifier(table) + ")");
  int primaryKeys = 0;
  while (info.Step()) {
    FieldDefinition field{info.ColumnText(1), gis::kFieldString};
    const std::string declared = info.ColumnText(2);
    const bool key = info.ColumnInteger(5) != 0;
    primaryKeys += key ? 1 : 0;
    if (key && BaseType(declared) == "INTEGER" && !objectId) {
      objectId = FieldDefinition{field.name, gis::kFieldObjectId};
    } else if (!geometry.empty() && runtime::EqualsIgnoreCase(field.name, geometry)) {
      geometries.push_back({field.name, gis::kFieldGeometry});
    } else {
      field.type = kind.geoPackage ? GeoPackageType(declared) : SqliteType(declared);
      attributes.push_back(field);
    }
  }
  // Only a lone INTEGER PRIMARY KEY is the rowid, in whose order rows come back.
  if (!objectId || primaryKeys != 1) return std::nullopt;
  std::vector<FieldDefinition> fields{*objectId};
  fields.insert(fields.end(), geometries.begin(), geometries.end());
  fields.insert(fields.end(), attributes.begin(), attributes.end());
  return fields;
}

std::string LayerList(const std::vector<std::string>& layers) {
  std::string names;
  for (const std::string& layer : layers)
    names += (names.empty() ? "" : ", ") + layer;
  return names.empty() ? "none" : names;
}

}  // namespace

bool IsSqliteDatabase(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char header[16] = {};
  return file.read(header, sizeof header) &&
         std::string_view(header, sizeof header) == std::string_view("SQLite format 3\0", 16);
}

std::optional<SourceTable> OpenSqliteTable(FeatureStore& store, const std::string& path,
                                           const std::string& layerName,
                                           const std::string& tableName) {
  const auto& connection = store.Connection();
  const Database db(connection, connection->AttachReadOnly(path));
  Kind kind;
  try {
    kind = ReadKind(db);
  } catch (const runtime::Error& error) {
    throw runtime::Error::Platform("Cannot read " + path + ": " + error.Description());
  }
  std::optional<std::string> layer;
  if (layerName.empty()) {
    if (kind.layers.empty())
      throw runtime::Error::Platform("The data source " + path + " has no layers");
    layer = kind.layers.front();
  }
  for (const std::string& name : kind.layers)
    if (!layer && name == layerName) layer = name;
  for (const std::string& name : kind.layers)
    if (!layer && runtime::EqualsIgnoreCase(name, layerName)) layer = name;
  // A database answers for a table it does not list, under the name asked for.
  if (!layer && !kind.geoPackage && db.HasTable(layerName)) layer = layerName;
  if (!layer) {
    // A view may still be read another way.
    if (db.HasView(layerName)) return std::nullopt;
    throw runtime::Error::Platform("The data source " + path + " has no layer " + layerName +
                                   " (its layers: " + LayerList(kind.layers) + ")");
  }
  if (!db.HasTable(*layer)) return std::nullopt;
  const auto fields = ReadFields(db, kind, *layer);
  if (!fields) return std::nullopt;
  SourceTable source;
  source.layerName = *layer;
  source.category = kind.category;
  source.table = FeatureTable::InPlace(connection, db.Schema(), *layer,
                                       tableName.empty() ? *layer : tableName, *fields);
  return source;
}

}  // namespace quillet::platform
