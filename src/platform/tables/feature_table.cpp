#include "platform/tables/feature_table.h"

#include "platform/store/sql_text.h"
#include "platform/store/stored_value.h"
#include "quillet/error.h"

namespace quillet::platform {
namespace {

const char* ColumnType(int32_t type) {
  switch (type) {
    case gis::kFieldSmallInteger:
    case gis::kFieldInteger:
      return "INTEGER";
    case gis::kFieldSingle:
    case gis::kFieldDouble:
      return "REAL";
    case gis::kFieldString:
    case gis::kFieldDate:
      return "TEXT";
    case gis::kFieldObjectId:
      return "INTEGER PRIMARY KEY";
    case gis::kFieldGeometry:
    case gis::kFieldBlob:
      return "BLOB";
    default:
      throw runtime::Error::Platform("Unknown field type " + std::to_string(type));
  }
}

void CheckObjectId(const std::string& table, const std::vector<FieldDefinition>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if ((fields[i].type == gis::kFieldObjectId) != (i == 0))
      throw runtime::Error::Platform("Table " + table +
                                     " needs its object id (type 6) as its first field, and "
                                     "only there");
  }
  if (fields.empty())
    throw runtime::Error::Platform("Table " + table + " needs an object id field");
}

}  // namespace

FeatureTable::FeatureTable(std::shared_ptr<SqliteConnection> connection, std::string name,
                           const std::vector<FieldDefinition>& fields)
    : SqlTable(connection, fields), mStore(connection), mName(std::move(name)), mTable(mName) {
  CheckObjectId(mName, fields);
  std::string sql = "CREATE TABLE " + QuoteIdentifier(mName) + " (";
  for (size_t i = 0; i < fields.size(); ++i) {
    sql += (i ? ", " : "") + QuoteIdentifier(fields[i].name) + " " + ColumnType(fields[i].type);
  }
  mStore->Execute(sql + ")");
}

FeatureTable::FeatureTable(InPlaceTag, std::shared_ptr<Engine> engine, std::string schema,
                           std::string table, std::string name,
                           const std::vector<FieldDefinition>& fields)
    : SqlTable(std::move(engine), fields),
      mName(std::move(name)),
      mSchema(std::move(schema)),
      mTable(std::move(table)) {
  CheckObjectId(mName, fields);
  ReadOnlyFieldsAskedFor();
}

std::shared_ptr<FeatureTable> FeatureTable::InPlace(std::shared_ptr<Engine> engine,
                                                    std::string schema, std::string table,
                                                    std::string name,
                                                    const std::vector<FieldDefinition>& fields) {
  return std::shared_ptr<FeatureTable>(new FeatureTable(InPlaceTag{}, std::move(engine),
                                                        std::move(schema), std::move(table),
                                                        std::move(name), fields));
}

std::string FeatureTable::Reference() const {
  if (mSchema.empty()) return QuoteIdentifier(mName);
  return QuoteIdentifier(mSchema) + "." + QuoteIdentifier(mTable) + " AS " + QuoteIdentifier(mName);
}

void FeatureTable::Insert(const std::vector<std::vector<Cell>>& rows) {
  if (!mStore)
    throw runtime::Error::Platform("Table " + mName + " is read in place and takes no rows");
  const auto& fields = FieldList().Definitions();
  std::string names;
  std::string marks;
  for (size_t i = 0; i < fields.size(); ++i) {
    names += (i ? ", " : "") + QuoteIdentifier(fields[i].name);
    marks += i ? ", ?" : "?";
  }
  SqliteStatement insert(
      mStore, "INSERT INTO " + QuoteIdentifier(mName) + " (" + names + ") VALUES (" + marks + ")");
  mStore->Execute("SAVEPOINT insert_rows");
  try {
    for (const auto& row : rows) {
      if (row.size() != fields.size())
        throw runtime::Error::Platform("A row of table " + mName + " needs " +
                                       std::to_string(fields.size()) + " values, not " +
                                       std::to_string(row.size()));
      for (size_t i = 0; i < fields.size(); ++i)
        BindStoredValue(insert, static_cast<int>(i + 1), row[i], fields[i].type);
      insert.Run();
    }
  } catch (...) {
    insert.Reset();
    mStore->Execute("ROLLBACK TO insert_rows; RELEASE insert_rows");
    throw;
  }
  mStore->Execute("RELEASE insert_rows");
}

std::string FeatureTable::SelectFrom() const {
  std::string columns;
  const auto& fields = FieldList().Definitions();
  for (size_t i = 0; i < fields.size(); ++i)
    columns += (i ? ", " : "") + (Reads(i) ? QuoteIdentifier(fields[i].name) : "NULL");
  return "SELECT " + columns + " FROM " + FromTables();
}

std::string FeatureTable::FromTables() const {
  return Reference();
}

std::string FeatureTable::ObjectIdColumn() const {
  return QuoteIdentifier(FieldList().Definitions().front().name);
}

}  // namespace quillet::platform
