#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/store/engine.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quillet::platform {

/// One SQLite database connection, shared by every table of a store and by the statements
/// that read them, so it stays open while any of them lives.
///
/// The double-quoted-string fallback is off for both DML and DDL: `"NOSUCHFIELD" = 1` then
/// fails as an unknown column instead of comparing the text "NOSUCHFIELD" with 1.
///
/// Database files of data sources are attached to it, read in place and never written (see
/// `ReadOnlyUri`), so that their tables join each other and the store's in one query.
class SqliteConnection : public Engine, public std::enable_shared_from_this<SqliteConnection> {
 public:
  /// How long a search waits for the writer of a file read under locks to end its commit.
  static constexpr int kLockWaitMilliseconds = 60'000;

  /// A private in-memory database.
  static std::shared_ptr<SqliteConnection> InMemory();

  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;
  ~SqliteConnection() override;

  std::string Name() const override { return "SQLite"; }
  std::unique_ptr<QueryRows> Query(const std::string& sql) override;
  StoreVersion Version() const override;
  std::optional<double> NumberLiteral(const std::string& literal) override;
  /// " NOT INDEXED".
  std::string PlainScan() const override;

  /// Runs statements that return no rows; fails with SQLite's description.
  void Execute(const std::string& sql);
  /// SQLite's description of the last failure on this connection.
  std::string LastError() const;
  sqlite3* Handle() const { return mDb; }

  /// Attaches a database file for reading in place and returns the schema name its tables
  /// are qualified with; a file attached before keeps its name. Fails with the file's path and
  /// SQLite's description.
  std::string AttachReadOnly(const std::filesystem::path& path);

  void Interrupt() override;
  bool Interrupted() const { return mInterrupted.load(); }

 private:
  explicit SqliteConnection(sqlite3* db);
  sqlite3* mDb;
  std::map<std::filesystem::path, std::string> mAttached;  // by absolute path
  std::atomic<bool> mInterrupted{false};
};

/// SQLite's storage classes: what a value of a row actually holds, whatever its column says.
enum class StorageClass { kNull, kInteger, kReal, kText, kBlob };

/// A prepared statement on a shared connection. Holds the connection open.
class SqliteStatement {
 public:
  /// Prepares exactly one statement; text after it (other than blanks) fails, so a where
  /// clause cannot smuggle in a second statement. Failures carry SQLite's description.
  SqliteStatement(std::shared_ptr<SqliteConnection> connection, std::string_view sql);
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  /// Parameters count from 1, as in SQLite.
  void BindNull(int index);
  void BindInteger(int index, int64_t value);
  void BindDouble(int index, double value);
  void BindText(int index, std::string_view value);
  void BindBlob(int index, const void* data, size_t size);

  /// Advances to the next row: true when there is one, false when done; fails with SQLite's
  /// description.
  bool Step();
  /// Runs a statement that returns no rows, then resets it for another run.
  void Run();
  void Reset();

  /// How the value of a column of the current row is stored.
  StorageClass ColumnStorage(int column) const;
  int64_t ColumnInteger(int column) const;
  double ColumnDouble(int column) const;
  std::string ColumnText(int column) const;
  std::string ColumnBlob(int column) const;

 private:
  std::shared_ptr<SqliteConnection> mConnection;
  sqlite3_stmt* mStatement = nullptr;
};

}  // namespace quillet::platform
