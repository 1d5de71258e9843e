#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gis/table.h"
#include "platform/field.h"
#include "platform/sqlite_connection.h"

namespace quillet::platform {

/// A table whose rows come from one SELECT over the store: a feature table, or a join of two.
/// Every search hands the where clause to SQLite as it stands (inside parentheses, so it
/// stays one expression) and orders the rows by object id.
class SqlTable : public virtual gis::Table, public std::enable_shared_from_this<SqlTable> {
 public:
  /// The field whose name equals `name` without regard to letter case, or -1.
  int32_t FindField(std::string_view name) const override;
  std::shared_ptr<gis::Fields> Fields() const override { return mFields; }
  /// All rows for a null filter or a blank clause. A clause SQLite cannot run fails with
  /// SQLite's own description ("no such column: NOSUCHFIELD").
  std::shared_ptr<gis::Cursor> Search(const gis::QueryFilter* filter, bool recycling) override;

  /// The rows whose object id is one of `objectIds` and that the filter selects.
  std::shared_ptr<gis::Cursor> SearchObjectIds(const std::vector<int64_t>& objectIds,
                                               const gis::QueryFilter* filter, bool recycling);

  const platform::Fields& FieldList() const { return *mFields; }
  const std::shared_ptr<SqliteConnection>& Connection() const { return mConnection; }

 protected:
  SqlTable(std::shared_ptr<SqliteConnection> connection,
           const std::vector<FieldDefinition>& fields);

  /// "SELECT <one column per field, in order> FROM <tables>".
  virtual std::string SelectFrom() const = 0;
  /// The object-id column as the query names it, for the order and for sets of ids.
  virtual std::string ObjectIdColumn() const = 0;

 private:
  std::shared_ptr<gis::Cursor> Open(const std::string& restriction, const gis::QueryFilter* filter,
                                    bool recycling);

  std::shared_ptr<SqliteConnection> mConnection;
  std::shared_ptr<platform::Fields> mFields;
};

}  // namespace quillet::platform
