#include "platform/tables/cursor.h"

#include "platform/store/platform_error.h"

namespace quillet::platform {

runtime::Variant Row::Value(int32_t index) const {
  if (mRows) {
    CheckIndex("Field", index, mRows->Columns());
    return mRows->Cell(mRow, static_cast<size_t>(index));
  }
  CheckIndex("Field", index, mValues.size());
  return mValues[static_cast<size_t>(index)];
}

void Row::Show(std::shared_ptr<const SearchRows> rows, size_t row) {
  mRows = std::move(rows);
  mRow = row;
}

Cursor::Cursor(std::shared_ptr<const gis::Table> table, std::vector<int32_t> fieldTypes,
               std::unique_ptr<QueryRows> rows, bool recycling,
               std::unique_ptr<SearchRecorder> recorder)
    : mTable(std::move(table)),
      mFieldTypes(std::move(fieldTypes)),
      mStatement(std::move(rows)),
      mRecorder(std::move(recorder)),
      mRecycling(recycling) {}

Cursor::Cursor(std::shared_ptr<const gis::Table> table, std::shared_ptr<const SearchRows> rows,
               bool recycling)
    : mTable(std::move(table)), mKept(std::move(rows)), mRecycling(recycling) {}

std::shared_ptr<gis::Row> Cursor::NextKeptRow() {
  if (mNextKeptRow >= mKept->RowCount()) {
    mDone = true;
    return nullptr;
  }
  if (!mRow || !mRecycling) mRow = std::make_shared<platform::Row>();
  mRow->Show(mKept, mNextKeptRow++);
  return mRow;
}

std::shared_ptr<gis::Row> Cursor::NextRow() {
  // A finished statement would start over if stepped again.
  if (mDone) return nullptr;
  if (mKept) return NextKeptRow();
  if (!mStatement->Next()) {
    mDone = true;
    mStatement.reset();
    if (mRecorder) mRecorder->Finished();
    mRecorder.reset();
    return nullptr;
  }
  if (!mRow || !mRecycling) mRow = std::make_shared<platform::Row>();
  auto& values = mRow->Values();
  values.clear();
  for (size_t i = 0; i < mFieldTypes.size(); ++i)
    values.push_back(mStatement->Value(static_cast<int>(i), mFieldTypes[i]));
  if (mRecorder) {
    if (SearchRows* rows = mRecorder->Rows()) {
      bool added = true;
      for (const auto& value : values)
        added = rows->Append(value) && added;
      mRecorder->RowAdded(added);
    }
  }
  return mRow;
}

}  // namespace quillet::platform
