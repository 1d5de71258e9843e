#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/tables/sql_table.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// A set of object ids of one table. Searching it reads the rows of the table whose id is in
/// the set and that the filter selects, numbered as the table numbers its fields.
class SelectionSet : public virtual gis::SelectionSet {
 public:
  /// Duplicate ids count once.
  SelectionSet(std::shared_ptr<SqlTable> table, std::vector<int64_t> objectIds);

  /// The number of distinct ids in the set (ids the table lacks included).
  int32_t Count() const override;
  std::shared_ptr<gis::Cursor> Search(const gis::QueryFilter* filter, bool recycling) override;

 private:
  std::shared_ptr<SqlTable> mTable;
  std::vector<int64_t> mObjectIds;
};

}  // namespace quillet::platform
