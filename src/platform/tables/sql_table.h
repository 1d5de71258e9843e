#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/search/automatic_index.h"
#include "platform/search/search_cache.h"
#include "platform/store/engine.h"
#include "platform/tables/field.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// A table whose rows come from one SELECT over the store: a feature table, or a join of two.
/// Every search hands the where clause to SQLite as it stands (inside parentheses, so it
/// stays one expression) and orders the rows by object id.
///
/// Searches are made cheap for legends, which ask the same few questions of big tables again
/// and again: the columns a where clause compares get an index (`AutomaticIndexes`), and the
/// rows of recent searches are kept and read again from memory while the store is unchanged
/// (`SearchCache`). A table that allows it answers the clauses a legend asks once per class
/// (`ClassClause`) by one read of the rows under the clause's definition, kept, and picking
/// from them the rows of each class.
class SqlTable : public virtual gis::Table, public std::enable_shared_from_this<SqlTable> {
 public:
  /// The field whose name equals `name` without regard to letter case, or -1. On a table that
  /// reads only the fields asked for, asking for a field by name makes searches read it.
  int32_t FindField(std::string_view name) const override;
  std::shared_ptr<gis::Fields> Fields() const override { return mFields; }
  /// All rows for a null filter or a blank clause. A clause SQLite cannot run fails with
  /// SQLite's own description ("no such column: NOSUCHFIELD").
  std::shared_ptr<gis::Cursor> Search(const gis::QueryFilter* filter, bool recycling) override;

  /// The rows whose object id is one of `objectIds` and that the filter selects.
  std::shared_ptr<gis::Cursor> SearchObjectIds(const std::vector<int64_t>& objectIds,
                                               const gis::QueryFilter* filter, bool recycling);

  /// The number of rows, of those `clause` selects when it is not blank, counted by SQLite
  /// without reading them.
  int64_t RowCount(const std::string& clause = "") const;
  /// Fails with the database's description ("no such column: NOSUCHFIELD") when `clause`
  /// cannot run as the where clause of a search; plans the search but reads nothing.
  void CheckClause(const std::string& clause) const;
  const platform::Fields& FieldList() const { return *mFields; }
  /// The database the table's searches run on.
  const std::shared_ptr<Engine>& Database() const { return mEngine; }
  /// The rows kept from recent searches.
  SearchCache& RecentSearches() { return *mCache; }
  /// The indexes made for where clauses.
  AutomaticIndexes& Indexes() { return mIndexes; }

  /// From now on searches read only the object id and the fields asked for by name
  /// (`FindField`), never a geometry or a blob; the other fields of their rows are null. A
  /// legend reads a few fields of tables that may hold many, and kept rows then hold only
  /// those.
  void ReadOnlyFieldsAskedFor() { mReadsAll = false; }
  bool ReadsAllFields() const { return mReadsAll; }
  /// Whether searches read field `index` (see `ReadOnlyFieldsAskedFor`).
  bool Reads(size_t index) const;
  /// `Reads` of every field, in order.
  std::vector<bool> ReadColumns() const;
  /// Makes searches read field `index` too.
  void AskFor(size_t index) const;

 protected:
  SqlTable(std::shared_ptr<Engine> engine, const std::vector<FieldDefinition>& fields);

  /// "SELECT <one column per field, in order> FROM <tables>".
  virtual std::string SelectFrom() const = 0;
  /// The tables of the query, as its FROM names them.
  virtual std::string FromTables() const = 0;
  /// The object-id column as the query names it, for the order and for sets of ids.
  virtual std::string ObjectIdColumn() const = 0;
  /// Whether class clauses may be answered from kept rows: the fields must be the columns of
  /// one table, as the clauses name them.
  virtual bool AnswersClassClauses() const { return false; }
  /// The where clause a search runs for the clause it was given: the same, unless the table
  /// says otherwise.
  virtual std::string RunningClause(const std::string& clause) const { return clause; }

 private:
  std::shared_ptr<gis::Cursor> Open(const std::string& restriction, const gis::QueryFilter* filter,
                                    bool recycling);
  /// The rows of `sql` (whose where clause is `clause`), picked from kept rows when the clause
  /// is a class clause that they can answer exactly; else null.
  std::shared_ptr<const SearchRows> PickFromKeptRows(const std::string& clause,
                                                     const std::string& sql,
                                                     const StoreVersion& version);
  /// All rows of `sql`, read now and kept; null when they exceed the cache's budget or SQLite
  /// cannot run the query.
  std::shared_ptr<const SearchRows> ReadAndKeep(const std::string& sql,
                                                const StoreVersion& version);

  std::shared_ptr<Engine> mEngine;
  std::shared_ptr<platform::Fields> mFields;
  std::shared_ptr<SearchCache> mCache;
  AutomaticIndexes mIndexes;
  std::shared_ptr<const class ValueGroups> mGroups;  // of the latest kept rows a class used
  bool mReadsAll = true;
  mutable std::vector<bool> mAskedFor;
};

}  // namespace quillet::platform
