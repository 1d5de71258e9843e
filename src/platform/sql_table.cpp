#include "platform/sql_table.h"

#include "platform/cursor.h"
#include "platform/sql_text.h"
#include "runtime/error.h"

namespace quillet::platform {
SqlTable::SqlTable(std::shared_ptr<SqliteConnection> connection,
                   const std::vector<FieldDefinition>& fields)
    : mConnection(std::move(connection)), mFields(std::make_shared<platform::Fields>(fields)) {}

int32_t SqlTable::FindField(std::string_view name) const {
  return mFields->Find(name);
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
  const std::string clause = filter ? filter->WhereClause() : std::string();
  std::string sql = SelectFrom();
  if (!restriction.empty()) sql += " WHERE " + restriction;
  // The clause goes on lines of its own, so a trailing "--" comment cannot swallow the order.
  if (!IsBlank(clause)) sql += (restriction.empty() ? " WHERE (\n" : " AND (\n") + clause + "\n)";
  sql += " ORDER BY " + ObjectIdColumn();
  std::unique_ptr<SqliteStatement> statement;
  try {
    statement = std::make_unique<SqliteStatement>(mConnection, sql);
  } catch (const runtime::Error&) {
    // SQLite describes a fault near the end of the clause by the text that follows it (the
    // closing parenthesis, the order). The clause alone at the very end of a query gets the
    // description a user would see for it, such as "incomplete input".
    if (!IsBlank(clause)) {
      SqliteStatement alone(mConnection, SelectFrom() + " WHERE " + clause);
    }
    throw;
  }
  return std::make_shared<platform::Cursor>(shared_from_this(), mFields->Types(),
                                            std::move(statement), recycling);
}

}  // namespace quillet::platform
