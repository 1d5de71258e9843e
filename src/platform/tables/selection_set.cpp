#include "platform/tables/selection_set.h"

#include <algorithm>

namespace quillet::platform {

SelectionSet::SelectionSet(std::shared_ptr<SqlTable> table, std::vector<int64_t> objectIds)
    : mTable(std::move(table)), mObjectIds(std::move(objectIds)) {
  std::sort(mObjectIds.begin(), mObjectIds.end());
  mObjectIds.erase(std::unique(mObjectIds.begin(), mObjectIds.end()), mObjectIds.end());
}

int32_t SelectionSet::Count() const {
  return static_cast<int32_t>(mObjectIds.size());
}

std::shared_ptr<gis::Cursor> SelectionSet::Search(const gis::QueryFilter* filter, bool recycling) {
  return mTable->SearchObjectIds(mObjectIds, filter, recycling);
}

}  // namespace quillet::platform
