#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/store/engine.h"

struct pg_conn;
struct pg_cancel;
struct pg_result;

namespace quillet::platform {

class PgRows;

/// A connection to a PostgreSQL server whose tables are read where they are and never
/// written: every query runs in one read-only transaction, so the whole run sees one
/// snapshot, with a statement timeout unless the connection string sets one. Rows come in
/// batches from a server-side cursor, so a big result is never held whole; the next batch is
/// asked for as soon as one arrives, so that the server prepares it while this one is read.
///
/// Failures are runtime errors of one line: the source as reports show it (its password as
/// ***) and the server's own reason.
class PgConnection : public Engine, public std::enable_shared_from_this<PgConnection> {
 public:
  /// How long a statement may run unless the connection string says otherwise.
  static constexpr int kStatementTimeoutSeconds = 600;

  /// Connects with a libpq connection string ("dbname=gis host=db"); `shown` is the source as
  /// messages name it.
  static std::shared_ptr<PgConnection> Connect(const std::string& connection, std::string shown);
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;
  ~PgConnection() override;

  std::string Name() const override { return "PostgreSQL"; }
  std::unique_ptr<QueryRows> Query(const std::string& sql) override;
  /// One snapshot for the connection's life: the version never changes.
  StoreVersion Version() const override { return {0, 0}; }
  /// A plain SQL number as the server reads it as a double, when it compares exactly as one.
  std::optional<double> NumberLiteral(const std::string& literal) override;
  void Interrupt() override;

  /// The rows of a small query with text parameters ($1, $2...), all at once; a null is
  /// nothing. For the catalog.
  std::vector<std::vector<std::optional<std::string>>> Rows(
      const std::string& sql, const std::vector<std::string>& parameters = {});
  /// Runs a statement that returns no rows.
  void Execute(const std::string& sql);
  /// The source as messages name it.
  const std::string& Shown() const { return mShown; }

 private:
  PgConnection(pg_conn* connection, std::string shown);
  friend class PgRows;
  [[noreturn]] void Fail(const std::string& reason) const;
  void CheckNotInterrupted() const;
  /// Takes in the batch a cursor asked for ahead, which must come before any other command.
  void CollectFetch();
  /// Runs one command, after any batch asked for ahead.
  pg_result* Exec(const std::string& sql);

  pg_conn* mConnection;
  pg_cancel* mCancel;
  std::string mShown;
  std::atomic<bool> mInterrupted{false};
  int mCursors = 0;
  PgRows* mFetching = nullptr;  // whose batch the server is preparing
};

/// A connection string with its password's value replaced by ***, as reports show it.
std::string WithoutPassword(const std::string& connection);

}  // namespace quillet::platform
