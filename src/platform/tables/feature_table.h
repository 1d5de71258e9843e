#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/store/cell.h"
#include "platform/tables/field.h"
#include "platform/tables/sql_table.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// A table of features in the store, one SQLite table of the same name. Its first field is
/// its object id (type 6), the SQLite rowid, so rows come back in the order of their ids.
class FeatureTable : public SqlTable, public virtual gis::FeatureClass {
 public:
  /// Creates the SQLite table. Fails unless exactly the first field has type 6, every type
  /// is one of 0..8, and SQLite accepts the names.
  FeatureTable(std::shared_ptr<SqliteConnection> connection, std::string name,
               const std::vector<FieldDefinition>& fields);

  const std::string& Name() const { return mName; }

  /// Adds rows, one value per field in field order; a null object id takes the next free one.
  /// Fails, adding none, when a row has the wrong number of values or SQLite refuses one.
  void Insert(const std::vector<std::vector<Cell>>& rows);

 protected:
  std::string SelectFrom() const override;
  std::string FromTables() const override;
  bool AnswersClassClauses() const override { return true; }
  std::string ObjectIdColumn() const override;

 private:
  std::string mName;
};

}  // namespace quillet::platform
