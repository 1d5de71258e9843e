#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/search/search_cache.h"
#include "platform/store/engine.h"
#include "quillet/gis/cursor.h"
#include "quillet/gis/table.h"
#include "quillet/variant.h"

namespace quillet::platform {

/// One row of values, numbered as the table's fields: its own values, or a row of a search's
/// kept rows.
class Row : public virtual gis::Row {
 public:
  /// Fails with "Field index ... is out of range" outside the table's fields.
  runtime::Variant Value(int32_t index) const override;

  std::vector<runtime::Variant>& Values() { return mValues; }
  /// Makes this row row `row` of `rows`.
  void Show(std::shared_ptr<const SearchRows> rows, size_t row);

 private:
  std::vector<runtime::Variant> mValues;
  std::shared_ptr<const SearchRows> mRows;
  size_t mRow = 0;
};

/// The rows of one query over the store, read one at a time as they are asked for: from
/// SQLite, or from the rows kept from the same query before. After the last row it keeps
/// answering null.
class Cursor : public virtual gis::Cursor {
 public:
  /// Reads the rows of a query; `fieldTypes` tells how to read each of its columns; `table`
  /// names the fields and stays alive while the cursor does. A `recorder` collects the rows
  /// for the search cache.
  Cursor(std::shared_ptr<const gis::Table> table, std::vector<int32_t> fieldTypes,
         std::unique_ptr<QueryRows> rows, bool recycling,
         std::unique_ptr<SearchRecorder> recorder = nullptr);
  /// Reads rows kept from an earlier search.
  Cursor(std::shared_ptr<const gis::Table> table, std::shared_ptr<const SearchRows> rows,
         bool recycling);

  /// A recycling cursor hands out the same row object every time, with new values.
  std::shared_ptr<gis::Row> NextRow() override;

  /// The table whose search made this cursor: it finds the rows' fields by name.
  const gis::Table& Table() const { return *mTable; }

 private:
  std::shared_ptr<gis::Row> NextKeptRow();

  std::shared_ptr<const gis::Table> mTable;
  std::vector<int32_t> mFieldTypes;
  std::unique_ptr<QueryRows> mStatement;
  std::unique_ptr<SearchRecorder> mRecorder;
  std::shared_ptr<const SearchRows> mKept;
  size_t mNextKeptRow = 0;
  bool mRecycling;
  bool mDone = false;
  std::shared_ptr<platform::Row> mRow;
};

}  // namespace quillet::platform
