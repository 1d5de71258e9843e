#include "platform/cursor.h"

#include "platform/platform_error.h"
#include "platform/stored_value.h"

namespace quillet::platform {

runtime::Variant Row::Value(int32_t index) const {
  CheckIndex("Field", index, mValues.size());
  return mValues[static_cast<size_t>(index)];
}

Cursor::Cursor(std::shared_ptr<const gis::Table> table, std::vector<int32_t> fieldTypes,
               std::unique_ptr<SqliteStatement> statement, bool recycling)
    : mTable(std::move(table)),
      mFieldTypes(std::move(fieldTypes)),
      mStatement(std::move(statement)),
      mRecycling(recycling) {}

std::shared_ptr<gis::Row> Cursor::NextRow() {
  // A finished statement would start over if stepped again.
  if (mDone) return nullptr;
  if (!mStatement->Step()) {
    mDone = true;
    mStatement.reset();
    return nullptr;
  }
  if (!mRow || !mRecycling) mRow = std::make_shared<platform::Row>();
  auto& values = mRow->Values();
  values.clear();
  for (size_t i = 0; i < mFieldTypes.size(); ++i)
    values.push_back(ReadStoredValue(*mStatement, static_cast<int>(i), mFieldTypes[i]));
  return mRow;
}

}  // namespace quillet::platform
