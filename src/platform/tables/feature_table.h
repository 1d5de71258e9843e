#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/store/cell.h"
#include "platform/store/sqlite_connection.h"
#include "platform/tables/field.h"
#include "platform/tables/sql_table.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// A table of features: a SQLite table of the store, or a table of a database file attached
/// to the store's connection and read in place. Its first field is its object id (type 6),
/// the table's integer primary key, so rows come back in the order of their ids.
class FeatureTable : public SqlTable, public virtual gis::FeatureClass {
 public:
  /// Creates the SQLite table in the store. Fails unless exactly the first field has type 6,
  /// every type is one of 0..8, and SQLite accepts the names.
  FeatureTable(std::shared_ptr<SqliteConnection> connection, std::string name,
               const std::vector<FieldDefinition>& fields);

  /// The existing table `table` of the schema `schema` of a database (a file attached to the
  /// store, a PostgreSQL server), read in place and never written, known (and qualified in
  /// joins) as `name`. `fields` are its columns as the platform types them, its object id
  /// (integer key) first. Searches read only the fields asked for (`ReadOnlyFieldsAskedFor`).
  static std::shared_ptr<FeatureTable> InPlace(std::shared_ptr<Engine> engine, std::string schema,
                                               std::string table, std::string name,
                                               const std::vector<FieldDefinition>& fields);

  /// The name the table is known by: its own in the store, or the one it was given.
  const std::string& Name() const { return mName; }
  /// The table as a FROM clause names it: `"world"`, or `"source1"."world" AS "w"`.
  std::string Reference() const;

  /// Adds rows, one value per field in field order; a null object id takes the next free one.
  /// Fails, adding none, when a row has the wrong number of values or SQLite refuses one, or
  /// when the table is read in place.
  void Insert(const std::vector<std::vector<Cell>>& rows);

 protected:
  std::string SelectFrom() const override;
  std::string FromTables() const override;
  bool AnswersClassClauses() const override { return true; }
  std::string ObjectIdColumn() const override;

 private:
  struct InPlaceTag {};
  FeatureTable(InPlaceTag, std::shared_ptr<Engine> engine, std::string schema, std::string table,
               std::string name, const std::vector<FieldDefinition>& fields);

  std::shared_ptr<SqliteConnection> mStore;  // where rows are inserted; null in place
  std::string mName;
  std::string mSchema;  // "" in the store
  std::string mTable;   // the table's own name in its database
};

}  // namespace quillet::platform
