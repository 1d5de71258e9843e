#include "platform/tables/sql_table.h"

#include "platform/search/class_clause.h"
#include "platform/search/value_groups.h"
#include "platform/store/sql_text.h"
#include "platform/store/sqlite_connection.h"
#include "platform/tables/cursor.h"
#include "quillet/error.h"

namespace quillet::platform {
SqlTable::SqlTable(std::shared_ptr<Engine> engine, const std::vector<FieldDefinition>& fields)
    : mEngine(std::move(engine)),
      mFields(std::make_shared<platform::Fields>(fields)),
      mCache(std::make_shared<SearchCache>()),
      // Only the store's own tables can be indexed; a server indexes its tables itself.
      mIndexes(std::dynamic_pointer_cast<SqliteConnection>(mEngine)) {}

int32_t SqlTable::FindField(std::string_view name) const {
  const int32_t index = mFields->Find(name);
  if (index >= 0) AskFor(static_cast<size_t>(index));
  return index;
}

bool SqlTable::Reads(size_t index) const {
  if (mReadsAll) return true;
  if (index == 0) return true;
  const int32_t type = mFields->Definitions()[index].type;
  if (type == gis::kFieldGeometry || type == gis::kFieldBlob) return false;
  return index < mAskedFor.size() && mAskedFor[index];
}

std::vector<bool> SqlTable::ReadColumns() const {
  std::vector<bool> read;
  for (size_t i = 0; i < mFields->Definitions().size(); ++i)
    read.push_back(Reads(i));
  return read;
}

void SqlTable::AskFor(size_t index) const {
  if (mAskedFor.size() <= index) mAskedFor.resize(mFields->Definitions().size(), false);
  mAskedFor[index] = true;
}

int64_t SqlTable::RowCount(const std::string& clause) const {
  std::string sql = "SELECT count(*) FROM " + FromTables();
  if (!IsBlank(clause)) sql += " WHERE (\n" + clause + "\n)";
  const auto count = mEngine->Query(sql);
  count->Next();
  return static_cast<int64_t>(count->Value(0, gis::kFieldDouble).NumericValue());
}

void SqlTable::CheckClause(const std::string& clause) const {
  if (IsBlank(clause)) return;
  // Planned, not run: a database fails on a column or function it does not know at once.
  mEngine->Query(SelectFrom() + " WHERE (\n" + RunningClause(clause) + "\n)");
}

std::shared_ptr<gis::Cursor> SqlTable::Search(const gis::QueryFilter* filter, bool recycling) {
  return Open("", filter, recycling);
}

std::shared_ptr<gis::Cursor> SqlTable::SearchObjectIds(const std::vector<int64_t>& objectIds,
                                                       const gis::QueryFilter* filter,
                                                       bool recycling) {
  std::string list;
  for (const int64_t id : objectIds)
    list += (list.empty() ? "" : ", ") + std::to_string(id);
  return Open(ObjectIdColumn() + " IN (" + list + ")", filter, recycling);
}

std::shared_ptr<gis::Cursor> SqlTable::Open(const std::string& restriction,
                                            const gis::QueryFilter* filter, bool recycling) {
  std::string where = filter ? filter->WhereClause() : std::string();
  // A class's range comes in the locale of the object that wrote it.
  const auto* localized = dynamic_cast<const gis::LocalizedQueryFilter*>(filter);
  if (localized && localized->NumberLocale())
    where = WithSqlNumbers(where, *localized->NumberLocale());
  const std::string clause = RunningClause(where);
  std::string sql = SelectFrom();
  if (!restriction.empty()) sql += " WHERE " + restriction;
  // The clause goes on lines of its own, so a trailing "--" comment cannot swallow the order.
  if (!IsBlank(clause)) sql += (restriction.empty() ? " WHERE (\n" : " AND (\n") + clause + "\n)";
  sql += " ORDER BY " + ObjectIdColumn();
  const StoreVersion version = mEngine->Version();
  auto kept = mCache->Find(sql, version);
  if (!kept && restriction.empty() && !IsBlank(clause) && AnswersClassClauses())
    kept = PickFromKeptRows(clause, sql, version);
  if (kept)
    return std::make_shared<platform::Cursor>(shared_from_this(), std::move(kept), recycling);
  if (!IsBlank(clause)) mIndexes.IndexColumnsOf(FromTables(), clause);
  std::unique_ptr<QueryRows> rows;
  try {
    rows = mEngine->Query(sql);
  } catch (const runtime::Error&) {
    // A database describes a fault near the end of the clause by the text that follows it
    // (the closing parenthesis, the order). The clause alone at the very end of a query gets
    // the description a user would see for it, such as "incomplete input".
    if (!IsBlank(clause)) mEngine->Query(SelectFrom() + " WHERE " + clause);
    throw;
  }
  // An index made just now changed the schema: the rows are read under the version after it.
  const StoreVersion readVersion = mEngine->Version();
  std::unique_ptr<SearchRecorder> recorder;
  if (!mCache->IsTooLarge(sql, readVersion))
    recorder = std::make_unique<SearchRecorder>(mCache, mEngine, sql, readVersion, ReadColumns());
  return std::make_shared<platform::Cursor>(shared_from_this(), mFields->Types(), std::move(rows),
                                            recycling, std::move(recorder));
}

std::shared_ptr<const SearchRows> SqlTable::ReadAndKeep(const std::string& sql,
                                                        const StoreVersion& version) {
  if (mCache->IsTooLarge(sql, version)) return nullptr;
  std::unique_ptr<QueryRows> statement;
  try {
    statement = mEngine->Query(sql);
  } catch (const runtime::Error&) {
    return nullptr;  // the search itself reports what is wrong with the clause
  }
  const std::vector<int32_t> types = mFields->Types();
  auto rows = std::make_shared<SearchRows>(ReadColumns());
  try {
    while (statement->Next()) {
      bool added = true;
      for (size_t i = 0; i < types.size(); ++i)
        added = rows->Append(statement->Value(static_cast<int>(i), types[i])) && added;
      if (!added || rows->CellCount() > mCache->BudgetCells()) {
        mCache->MarkTooLarge(sql, version);
        return nullptr;
      }
    }
  } catch (const runtime::Error&) {
    return nullptr;
  }
  mCache->Keep(sql, version, rows);
  return rows;
}

std::shared_ptr<const SearchRows> SqlTable::PickFromKeptRows(const std::string& clause,
                                                             const std::string& sql,
                                                             const StoreVersion& version) {
  const auto parsed = ParseClassClause(clause, *mFields, [&](const std::string& literal) {
    return mEngine->NumberLiteral(literal);
  });
  if (!parsed) return nullptr;
  AskFor(static_cast<size_t>(parsed->field));
  // Every row under the definition, in a plain scan: one pass whatever indexes exist.
  std::string baseSql = SelectFrom() + mEngine->PlainScan();
  if (!parsed->definition.empty()) baseSql += " WHERE (\n" + parsed->definition + "\n)";
  baseSql += " ORDER BY " + ObjectIdColumn();
  auto base = mCache->Find(baseSql, version);
  if (!base) base = ReadAndKeep(baseSql, version);
  if (!base) return nullptr;
  if (!mGroups || !mGroups->Serves(base.get(), *parsed)) {
    mGroups.reset();
    mGroups = ValueGroups::Build(base, *parsed);
    if (!mGroups) return nullptr;  // a value only SQLite can compare
  }
  // The class's rows, read through the kept ones: the legend reads them once for each field
  // and again for each numeric field's statistics.
  std::shared_ptr<const SearchRows> rows = SearchRows::Pick(base, mGroups->Picks(*parsed));
  mCache->Keep(sql, version, rows);
  return rows;
}

}  // namespace quillet::platform
