#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/tables/feature_table.h"
#include "platform/tables/sql_table.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// Which joined row an own row takes when the key matches several.
enum class JoinMatch {
  kFirst,  ///< the one with the least object id (QGIS's join, and every map document's)
  kLast,   ///< the one with the greatest object id (QGIS's join cached in memory)
};

/// A layer's own table with a second table joined to it on a key, one to one: every row of the
/// own table once, with the columns of one joined row whose key matches (the first by object
/// id, or the last), or nulls when none does.
///
/// Field names are qualified by their table's name (`parcels.POP`, `owners.NAME`), the own
/// table's fields first. A search runs one query,
///   SELECT "parcels"."POP" AS "parcels.POP", ... FROM "parcels"
///   LEFT JOIN "owners" ON "parcels"."OWNER_ID" = "owners"."ID" AND "owners"."OBJECTID" IN
///   (SELECT min("OBJECTID") FROM "owners" GROUP BY "ID") WHERE (<clause>)
/// so a where clause may name a field by its alias (`"parcels.POP" > 1`, `[parcels.POP] > 1`),
/// by table and column (`parcels.POP > 1`), or by a column name only one table has.
class JoinedTable : public SqlTable, public virtual gis::JoinedTable {
 public:
  /// Fails when a key field is missing or the tables live in different stores. Reads only the
  /// fields asked for when either table does.
  JoinedTable(std::shared_ptr<FeatureTable> own, std::string ownKey,
              std::shared_ptr<FeatureTable> joined, std::string joinedKey,
              JoinMatch match = JoinMatch::kFirst);

  /// The qualified name without regard to letter case; else a bare column name that exactly
  /// one field of the join has (so `NAME` finds `owners.NAME`, while `OBJECTID`, in both
  /// tables, is not found); else -1.
  int32_t FindField(std::string_view name) const override;

  const std::shared_ptr<FeatureTable>& JoinedFeatureTable() const { return mJoined; }

  /// Makes the where clause `clause`, whenever a search's clause is it or ends with
  /// ") AND " + it, select also the rows for which `nullTest` holds: it stands instead as
  /// "(" + nullTest + " OR " + clause + ")". A map whose legend puts the rows whose value is
  /// missing in the class of all other values (QGIS) says so for the clause of that class.
  void AlsoSelect(std::string clause, std::string nullTest);

 protected:
  std::string RunningClause(const std::string& clause) const override;
  std::string SelectFrom() const override;
  std::string FromTables() const override;
  std::string ObjectIdColumn() const override;

 private:
  int32_t FindBareField(std::string_view name) const;

  std::shared_ptr<FeatureTable> mOwn;
  std::shared_ptr<FeatureTable> mJoined;
  std::string mOwnKey;
  std::string mJoinedKey;
  JoinMatch mMatch;
  std::vector<std::pair<std::string, std::string>> mAlsoSelected;  // clause, null test
};

}  // namespace quillet::platform
