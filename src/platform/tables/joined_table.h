#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/tables/feature_table.h"
#include "platform/tables/sql_table.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// A layer's own table with a second table joined to it on a key: every row of the own table
/// with the columns of the joined row whose key matches, or nulls when none does. The key
/// should be unique in the joined table: a key found there twice gives the own row twice.
///
/// Field names are qualified by their table's name (`parcels.POP`, `owners.NAME`), the own
/// table's fields first. A search runs one query,
///   SELECT "parcels"."POP" AS "parcels.POP", ... FROM "parcels"
///   LEFT JOIN "owners" ON "parcels"."OWNER_ID" = "owners"."ID" WHERE (<clause>)
/// so a where clause may name a field by its alias (`"parcels.POP" > 1`, `[parcels.POP] > 1`),
/// by table and column (`parcels.POP > 1`), or by a column name only one table has.
class JoinedTable : public SqlTable, public virtual gis::JoinedTable {
 public:
  /// Fails when a key field is missing or the tables live in different stores. Reads only the
  /// fields asked for when either table does.
  JoinedTable(std::shared_ptr<FeatureTable> own, std::string ownKey,
              std::shared_ptr<FeatureTable> joined, std::string joinedKey);

  /// The qualified name without regard to letter case; else a bare column name that exactly
  /// one field of the join has (so `NAME` finds `owners.NAME`, while `OBJECTID`, in both
  /// tables, is not found); else -1.
  int32_t FindField(std::string_view name) const override;

  const std::shared_ptr<FeatureTable>& JoinedFeatureTable() const { return mJoined; }

 protected:
  std::string SelectFrom() const override;
  std::string FromTables() const override;
  std::string ObjectIdColumn() const override;

 private:
  int32_t FindBareField(std::string_view name) const;

  std::shared_ptr<FeatureTable> mOwn;
  std::shared_ptr<FeatureTable> mJoined;
  std::string mOwnKey;
  std::string mJoinedKey;
};

}  // namespace quillet::platform
