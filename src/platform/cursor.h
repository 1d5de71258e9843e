#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gis/cursor.h"
#include "gis/table.h"
#include "platform/sqlite_connection.h"
#include "runtime/variant.h"

namespace quillet::platform {

/// One row of values, numbered as the table's fields.
class Row : public virtual gis::Row {
 public:
  /// Fails with "Field index ... is out of range" outside the table's fields.
  runtime::Variant Value(int32_t index) const override;

  std::vector<runtime::Variant>& Values() { return mValues; }

 private:
  std::vector<runtime::Variant> mValues;
};

/// The rows of one query over the store, read one at a time as they are asked for. After the
/// last row it keeps answering null.
class Cursor : public virtual gis::Cursor {
 public:
  /// `fieldTypes` tells how to read each column of `statement`; `table` names the fields and
  /// stays alive while the cursor does.
  Cursor(std::shared_ptr<const gis::Table> table, std::vector<int32_t> fieldTypes,
         std::unique_ptr<SqliteStatement> statement, bool recycling);

  /// A recycling cursor hands out the same row object every time, with new values.
  std::shared_ptr<gis::Row> NextRow() override;

  /// The table whose search made this cursor: it finds the rows' fields by name.
  const gis::Table& Table() const { return *mTable; }

 private:
  std::shared_ptr<const gis::Table> mTable;
  std::vector<int32_t> mFieldTypes;
  std::unique_ptr<SqliteStatement> mStatement;
  bool mRecycling;
  bool mDone = false;
  std::shared_ptr<platform::Row> mRow;
};

}  // namespace quillet::platform
