#include "platform/search/automatic_index.h"

#include <sqlite3.h>

#include <utility>
#include <vector>

#include "platform/store/sql_text.h"
#include "quillet/error.h"

namespace quillet::platform {
namespace {

using Column = std::pair<std::string, std::string>;  // table, column

// Collects the columns of the main database that a statement reads while it is prepared.
int CollectColumn(void* columns, int action, const char* table, const char* column,
                  const char* database, const char*) {
  if (action == SQLITE_READ && table && column && *column && database &&
      std::string_view(database) == "main")
    static_cast<std::vector<Column>*>(columns)->emplace_back(table, column);
  return SQLITE_OK;
}

std::vector<Column> ColumnsRead(sqlite3* db, const std::string& sql) {
  std::vector<Column> columns;
  sqlite3_set_authorizer(db, CollectColumn, &columns);
  sqlite3_stmt* statement = nullptr;
  const int status = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  sqlite3_finalize(statement);
  sqlite3_set_authorizer(db, nullptr, nullptr);
  if (status != SQLITE_OK) columns.clear();
  return columns;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool IsKeyOrMissing(sqlite3* db, const Column& column) {
  int primaryKey = 0;
  if (sqlite3_table_column_metadata(db, "main", column.first.c_str(), column.second.c_str(),
                                    nullptr, nullptr, nullptr, &primaryKey, nullptr) != SQLITE_OK)
    return true;
  return primaryKey != 0;
}

int64_t ApproximateRows(sqlite3* db, const std::string& table) {
  // The largest rowid: as quick as a lookup, and close enough to the count to decide.
  sqlite3_stmt* statement = nullptr;
  int64_t rows = 0;
  const std::string sql = "SELECT max(rowid) FROM " + QuoteIdentifier(table);
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    rows = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return rows;
}

}  // namespace

void AutomaticIndexes::IndexColumnsOf(const std::string& from, const std::string& clause) {
  if (!mConnection) return;
  sqlite3* db = mConnection->Handle();
  for (const Column& column :
       ColumnsRead(db, "SELECT 1 FROM " + from + " WHERE (\n" + clause + "\n)")) {
    if (Lower(column.first).rfind("sqlite_", 0) == 0) continue;
    if (!mConsidered.insert(Lower(column.first) + "\n" + Lower(column.second)).second) continue;
    if (IsKeyOrMissing(db, column)) continue;
    if (ApproximateRows(db, column.first) < mMinimumRows) {
      // A small table may grow: consider it again next time.
      mConsidered.erase(Lower(column.first) + "\n" + Lower(column.second));
      continue;
    }
    try {
      mConnection->Execute("CREATE INDEX IF NOT EXISTS " +
                           QuoteIdentifier("quillet_auto_" + column.first + "_" + column.second) +
                           " ON " + QuoteIdentifier(column.first) + " (" +
                           QuoteIdentifier(column.second) + ")");
    } catch (const runtime::Error&) {
      // Without the index the search still runs, only slower.
    }
  }
}

}  // namespace quillet::platform
