#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "quillet/variant.h"

namespace quillet::platform {

/// What a database's data and schema looked like: any change gives a different version, so
/// that rows kept from a search are read again after one.
struct StoreVersion {
  int64_t changes = -1;
  int64_t schema = -1;
  friend bool operator==(const StoreVersion&, const StoreVersion&) = default;
};

/// The rows of a query, read as they are asked for.
class QueryRows {
 public:
  virtual ~QueryRows() = default;
  /// Advances to the next row: true when there is one; fails with the database's reason.
  virtual bool Next() = 0;
  /// The value of a column of the current row, read as a field of type `fieldType`
  /// (`gis::FieldType`).
  virtual runtime::Variant Value(int column, int32_t fieldType) const = 0;
};

/// The database that answers tables' searches: the embedded SQLite store with the files
/// attached to it, or a PostgreSQL server. Where clauses reach it as they stand.
class Engine {
 public:
  virtual ~Engine() = default;
  /// The database's name, for messages: "SQLite", "PostgreSQL".
  virtual std::string Name() const = 0;
  /// Runs one query. Fails with the database's own reason.
  virtual std::unique_ptr<QueryRows> Query(const std::string& sql) = 0;
  /// The version of the data now.
  virtual StoreVersion Version() const = 0;
  /// The value of a number literal as this database reads it, when it compares exactly as a
  /// double; nothing otherwise.
  virtual std::optional<double> NumberLiteral(const std::string& literal) = 0;
  /// What follows a table in FROM to make the database read it in one plain pass ("" when it
  /// always does).
  virtual std::string PlainScan() const { return ""; }
  /// Makes the query running now fail with "interrupted", and every later one: a host's
  /// Cancel, called from any thread. The engine stays interrupted.
  virtual void Interrupt() = 0;
};

}  // namespace quillet::platform
