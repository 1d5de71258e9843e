#include "platform/store/sqlite_connection.h"

#include <sqlite3.h>

#include <utility>

#include "platform/store/read_only_vfs.h"
#include "platform/store/sql_text.h"
#include "platform/store/stored_value.h"
#include "quillet/error.h"

namespace quillet::platform {
std::shared_ptr<SqliteConnection> SqliteConnection::InMemory() {
  sqlite3* db = nullptr;
  // One thread uses a connection at a time, so SQLite need not lock each call.
  if (sqlite3_open_v2(
          ":memory:", &db,
          SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
          nullptr) != SQLITE_OK) {
    std::string message = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw runtime::Error::Platform(message);
  }
  auto connection = std::shared_ptr<SqliteConnection>(new SqliteConnection(db));
  // Attached files are read without locks and with their WAL index in memory, which needs
  // exclusive locking mode, set before any is attached; and a closing reader never
  // checkpoints someone else's WAL.
  connection->Execute("PRAGMA locking_mode = EXCLUSIVE");
  // A file read under locks waits for its writer's commit, if need be this long.
  sqlite3_busy_timeout(db, kLockWaitMilliseconds);
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  return connection;
}

SqliteConnection::SqliteConnection(sqlite3* db) : mDb(db) {
  sqlite3_db_config(mDb, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(mDb, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_extended_result_codes(mDb, 1);
}

std::string SqliteConnection::AttachReadOnly(const std::filesystem::path& path) {
  const std::filesystem::path absolute = std::filesystem::absolute(path).lexically_normal();
  if (const auto found = mAttached.find(absolute); found != mAttached.end()) return found->second;
  const std::string schema = "source" + std::to_string(mAttached.size() + 1);
  SqliteStatement attach(shared_from_this(), "ATTACH DATABASE ? AS " + QuoteIdentifier(schema));
  const ReadOnlyOpening opening = ReadOnlyUri(absolute);
  attach.BindText(1, opening.uri);
  try {
    attach.Run();
    // Locks held only while a statement reads, so that a writer commits between two.
    if (opening.sharedLocks)
      Execute("PRAGMA " + QuoteIdentifier(schema) + ".locking_mode = NORMAL");
    // Reading the schema now makes a file that is no database fail here, with its path.
    SqliteStatement check(shared_from_this(),
                          "SELECT count(*) FROM " + QuoteIdentifier(schema) + ".sqlite_master");
    check.Step();
  } catch (const runtime::Error& error) {
    std::string reason = error.Description();
    if (sqlite3_extended_errcode(mDb) == SQLITE_READONLY_ROLLBACK)
      reason = "a writer stopped in the middle of a change and left " + path.string() +
               "-journal, which only a writer may roll back (" + reason + ")";
    try {
      Execute("DETACH DATABASE " + QuoteIdentifier(schema));
    } catch (const runtime::Error&) {
      // Never attached: nothing to undo.
    }
    throw runtime::Error::Platform("Cannot read " + path.string() + ": " + reason);
  }
  mAttached.emplace(absolute, schema);
  return schema;
}

SqliteConnection::~SqliteConnection() {
  sqlite3_close(mDb);
}

namespace {

class SqliteRows : public QueryRows {
 public:
  explicit SqliteRows(std::unique_ptr<SqliteStatement> statement)
      : mStatement(std::move(statement)) {}
  bool Next() override { return mStatement->Step(); }
  runtime::Variant Value(int column, int32_t fieldType) const override {
    return ReadStoredValue(*mStatement, column, fieldType);
  }

 private:
  std::unique_ptr<SqliteStatement> mStatement;
};

}  // namespace

std::unique_ptr<QueryRows> SqliteConnection::Query(const std::string& sql) {
  return std::make_unique<SqliteRows>(std::make_unique<SqliteStatement>(shared_from_this(), sql));
}

StoreVersion SqliteConnection::Version() const {
  StoreVersion version;
  version.changes = sqlite3_total_changes64(mDb);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(mDb, "PRAGMA schema_version", -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    version.schema = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return version;
}

std::optional<double> SqliteConnection::NumberLiteral(const std::string& literal) {
  try {
    SqliteStatement statement(shared_from_this(), "SELECT " + literal);
    if (!statement.Step()) return std::nullopt;
    switch (statement.ColumnStorage(0)) {
      case StorageClass::kInteger: {
        const int64_t value = statement.ColumnInteger(0);
        if (value > (int64_t{1} << 53) || value < -(int64_t{1} << 53)) return std::nullopt;
        return static_cast<double>(value);
      }
      case StorageClass::kReal:
        return statement.ColumnDouble(0);
      default:
        return std::nullopt;
    }
  } catch (const runtime::Error&) {
    return std::nullopt;
  }
}

std::string SqliteConnection::PlainScan() const {
  return " NOT INDEXED";
}

void SqliteConnection::Interrupt() {
  mInterrupted = true;
  sqlite3_interrupt(mDb);
}

namespace {

// sqlite3_interrupt stops only the statements running when it is called; a label run starts
// many after that, and each must fail as well.
constexpr const char* kInterrupted = "interrupted";

}  // namespace

void SqliteConnection::Execute(const std::string& sql) {
  if (Interrupted()) throw runtime::Error::Platform(kInterrupted);
  char* message = nullptr;
  if (sqlite3_exec(mDb, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : LastError();
    sqlite3_free(message);
    throw runtime::Error::Platform(text);
  }
}

std::string SqliteConnection::LastError() const {
  return sqlite3_errmsg(mDb);
}

SqliteStatement::SqliteStatement(std::shared_ptr<SqliteConnection> connection, std::string_view sql)
    : mConnection(std::move(connection)) {
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(mConnection->Handle(), sql.data(), static_cast<int>(sql.size()),
                         &mStatement, &tail) != SQLITE_OK) {
    throw runtime::Error::Platform(mConnection->LastError());
  }
  const std::string_view rest(tail, static_cast<size_t>(sql.data() + sql.size() - tail));
  if (!IsBlank(rest)) {
    sqlite3_finalize(mStatement);
    throw runtime::Error::Platform("more than one SQL statement");
  }
  if (mStatement == nullptr) throw runtime::Error::Platform("no statement to run");
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(mStatement);
}

namespace {

void CheckBind(int result, const SqliteConnection& connection) {
  if (result != SQLITE_OK) throw runtime::Error::Platform(connection.LastError());
}

}  // namespace

void SqliteStatement::BindNull(int index) {
  CheckBind(sqlite3_bind_null(mStatement, index), *mConnection);
}

void SqliteStatement::BindInteger(int index, int64_t value) {
  CheckBind(sqlite3_bind_int64(mStatement, index, value), *mConnection);
}

void SqliteStatement::BindDouble(int index, double value) {
  CheckBind(sqlite3_bind_double(mStatement, index, value), *mConnection);
}

void SqliteStatement::BindText(int index, std::string_view value) {
  CheckBind(sqlite3_bind_text64(mStatement, index, value.data(), value.size(), SQLITE_TRANSIENT,
                                SQLITE_UTF8),
            *mConnection);
}

void SqliteStatement::BindBlob(int index, const void* data, size_t size) {
  CheckBind(sqlite3_bind_blob64(mStatement, index, data, size, SQLITE_TRANSIENT), *mConnection);
}

bool SqliteStatement::Step() {
  if (mConnection->Interrupted()) throw runtime::Error::Platform(kInterrupted);
  const int result = sqlite3_step(mStatement);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  throw runtime::Error::Platform(mConnection->LastError());
}

void SqliteStatement::Run() {
  while (Step()) {
  }
  Reset();
}

void SqliteStatement::Reset() {
  sqlite3_reset(mStatement);
  sqlite3_clear_bindings(mStatement);
}

StorageClass SqliteStatement::ColumnStorage(int column) const {
  switch (sqlite3_column_type(mStatement, column)) {
    case SQLITE_INTEGER:
      return StorageClass::kInteger;
    case SQLITE_FLOAT:
      return StorageClass::kReal;
    case SQLITE_TEXT:
      return StorageClass::kText;
    case SQLITE_BLOB:
      return StorageClass::kBlob;
    default:
      return StorageClass::kNull;
  }
}

int64_t SqliteStatement::ColumnInteger(int column) const {
  return sqlite3_column_int64(mStatement, column);
}

double SqliteStatement::ColumnDouble(int column) const {
  return sqlite3_column_double(mStatement, column);
}

std::string SqliteStatement::ColumnText(int column) const {
  const auto* text = sqlite3_column_text(mStatement, column);
  const int size = sqlite3_column_bytes(mStatement, column);
  return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(size))
              : std::string();
}

std::string SqliteStatement::ColumnBlob(int column) const {
  const void* data = sqlite3_column_blob(mStatement, column);
  const int size = sqlite3_column_bytes(mStatement, column);
  return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size))
              : std::string();
}

}  // namespace quillet::platform
