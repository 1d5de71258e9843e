#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "platform/store/sqlite_connection.h"

namespace quillet::platform {

/// Indexes the columns that where clauses compare, on tables big enough for an index to pay
/// for itself: a legend asks one query per class, each selecting a small part of the table,
/// and with an index each query reads only its part instead of every row.
///
/// A column is indexed once, the first time a clause names it (`CREATE INDEX IF NOT EXISTS`,
/// named `quillet_auto_<table>_<column>`); the object id needs none. The index then serves
/// every later search of the store, and SQLite keeps it up to date as rows are added.
class AutomaticIndexes {
 public:
  static constexpr int64_t kDefaultMinimumRows = 10000;

  /// Without a connection (a table of another database) nothing is indexed.
  explicit AutomaticIndexes(std::shared_ptr<SqliteConnection> connection)
      : mConnection(std::move(connection)) {}

  /// Tables with fewer rows than this are not indexed: scanning them costs no more.
  void SetMinimumRows(int64_t rows) { mMinimumRows = rows; }

  /// Indexes each column of a store table that `clause` reads as the where clause of a query
  /// over `from` (the text after FROM). Never fails: a clause SQLite cannot prepare is left
  /// for the search itself to report.
  void IndexColumnsOf(const std::string& from, const std::string& clause);

 private:
  std::shared_ptr<SqliteConnection> mConnection;
  int64_t mMinimumRows = kDefaultMinimumRows;
  std::set<std::string> mConsidered;  // "table\ncolumn" in small letters
};

}  // namespace quillet::platform
