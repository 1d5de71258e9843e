#include "platform/geopackage.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "gis/field.h"
#include "platform/dataset_name.h"
#include "platform/simple_renderer.h"
#include "platform/sql_text.h"
#include "platform/sqlite_connection.h"
#include "runtime/error.h"

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

Cell ReadCell(const SqliteStatement& statement, int column) {
  switch (statement.ColumnStorage(column)) {
    case StorageClass::kInteger:
      return Cell(static_cast<long long>(statement.ColumnInteger(column)));
    case StorageClass::kReal:
      return Cell(statement.ColumnDouble(column));
    case StorageClass::kText:
      return Cell(statement.ColumnText(column));
    case StorageClass::kBlob:
      return Cell::Bytes(statement.ColumnBlob(column));
    case StorageClass::kNull:
      break;
  }
  return Cell(nullptr);
}

struct Column {
  std::string name;
  int32_t type;
};

// The table's name as the file spells it, if it has that layer; `layers` lists them all.
std::optional<std::string> FindFeatureTable(const std::shared_ptr<SqliteConnection>& file,
                                            const std::string& layerName, std::string& layers) {
  SqliteStatement tables(file,
                         "SELECT table_name FROM gpkg_contents WHERE data_type IN "
                         "('features', 'attributes') ORDER BY table_name");
  std::optional<std::string> found;
  while (tables.Step()) {
    std::string name = tables.ColumnText(0);
    if (Upper(name) == Upper(layerName)) found = name;
    layers += (layers.empty() ? "" : ", ") + name;
  }
  return found;
}

std::vector<Column> ReadColumns(const std::shared_ptr<SqliteConnection>& file,
                                const std::string& table) {
  std::string geometry;
  SqliteStatement geometryColumn(
      file, "SELECT column_name FROM gpkg_geometry_columns WHERE table_name = ?");
  geometryColumn.BindText(1, table);
  if (geometryColumn.Step()) geometry = geometryColumn.ColumnText(0);

  std::vector<Column> columns;
  bool hasObjectId = false;
  SqliteStatement info(file, "PRAGMA table_info(" + QuoteIdentifier(table) + ")");
  while (info.Step()) {
    Column column{info.ColumnText(1), GeoPackageFieldType(info.ColumnText(2))};
    const bool primaryKey = info.ColumnInteger(5) == 1 && column.type == gis::kFieldInteger;
    if (primaryKey && !hasObjectId) {
      hasObjectId = true;
      column.type = gis::kFieldObjectId;
      columns.insert(columns.begin(), column);
      continue;
    }
    if (Upper(column.name) == Upper(geometry)) column.type = gis::kFieldGeometry;
    columns.push_back(column);
  }
  if (!hasObjectId)
    throw runtime::Error::Platform("The layer " + table + " has no integer primary key");
  return columns;
}

}  // namespace

int32_t GeoPackageFieldType(std::string_view declaredType) {
  std::string type = Upper(declaredType);
  type = type.substr(0, type.find('('));
  while (!type.empty() && type.back() == ' ')
    type.pop_back();
  if (type == "INTEGER" || type == "INT" || type == "MEDIUMINT" || type == "BIGINT")
    return gis::kFieldInteger;
  if (type == "SMALLINT" || type == "TINYINT" || type == "BOOLEAN") return gis::kFieldSmallInteger;
  if (type == "FLOAT") return gis::kFieldSingle;
  if (type == "REAL" || type == "DOUBLE") return gis::kFieldDouble;
  if (type == "TEXT") return gis::kFieldString;
  if (type == "DATE" || type == "DATETIME") return gis::kFieldDate;
  if (type == "BLOB") return gis::kFieldBlob;
  if (Contains(type, "INT")) return gis::kFieldInteger;
  if (Contains(type, "CHAR") || Contains(type, "CLOB") || Contains(type, "TEXT"))
    return gis::kFieldString;
  if (type.empty() || Contains(type, "BLOB")) return gis::kFieldBlob;
  return gis::kFieldDouble;
}

std::shared_ptr<FeatureLayer> LoadGeoPackageLayer(FeatureStore& store, const std::string& path,
                                                  const std::string& layerName) {
  // Rows go into the store in batches as they are read, so that a big layer never sits in
  // memory twice. The table is made once the first batch has been read.
  constexpr size_t kBatchRows = 20000;
  std::optional<std::string> table;
  std::string layers;
  std::shared_ptr<FeatureTable> featureTable;
  bool storing = false;  // a failure of the store, not of the file, passes as it is
  if (!std::filesystem::is_regular_file(path))
    throw runtime::Error::Platform("The GeoPackage file " + path + " does not exist");
  try {
    const auto file = SqliteConnection::OpenReadOnly(path);
    table = FindFeatureTable(file, layerName, layers);
    if (table) {
      const std::vector<Column> columns = ReadColumns(file, *table);
      std::vector<FieldDefinition> fields;
      std::string names;
      for (const auto& column : columns) {
        fields.push_back({column.name, column.type});
        names += (names.empty() ? "" : ", ") + QuoteIdentifier(column.name);
      }
      SqliteStatement select(file, "SELECT " + names + " FROM " + QuoteIdentifier(*table) +
                                       " ORDER BY " + QuoteIdentifier(columns.front().name));
      std::vector<std::vector<Cell>> rows;
      bool more = true;
      while (more) {
        more = select.Step();
        if (more) {
          std::vector<Cell> row;
          for (size_t i = 0; i < columns.size(); ++i)
            row.push_back(ReadCell(select, static_cast<int>(i)));
          rows.push_back(std::move(row));
        }
        if (rows.size() == kBatchRows || !more) {
          storing = true;
          if (!featureTable) featureTable = store.CreateTable(*table, fields);
          featureTable->Insert(rows);
          storing = false;
          rows.clear();
        }
      }
    }
  } catch (const runtime::Error& error) {
    if (storing) throw;
    throw runtime::Error::Platform("Cannot read the GeoPackage " + path + ": " +
                                   error.Description());
  }
  if (!table)
    throw runtime::Error::Platform("The GeoPackage " + path + " has no layer " + layerName +
                                   " (its layers: " + (layers.empty() ? "none" : layers) + ")");
  return std::make_shared<FeatureLayer>(*table, featureTable,
                                        std::make_shared<DatasetName>(*table, "GeoPackage"),
                                        std::make_shared<SimpleRenderer>());
}

}  // namespace quillet::platform
