#include "platform/store/pg_connection.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/store/sql_text.h"
#include "platform/store/stored_value.h"
#include "quillet/error.h"
#include "quillet/gis/field.h"

namespace quillet::platform {
namespace {

constexpr int kRowsPerFetch = 20000;

// libpq's and the server's messages run over several lines ("ERROR:  ...\nLINE 1: ..."); the
// first says what is wrong.
std::string FirstLine(const char* message) {
  std::string line = message ? message : "";
  line = line.substr(0, line.find('\n'));
  for (const char* prefix : {"ERROR:  ", "FATAL:  "})
    if (line.rfind(prefix, 0) == 0) line = line.substr(std::string(prefix).size());
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
    line.pop_back();
  return line.empty() ? "the server gave no reason" : line;
}

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

}  // namespace

class PgRows : public QueryRows {
 public:
  PgRows(std::shared_ptr<PgConnection> connection, std::string cursor)
      : mConnection(std::move(connection)),
        mCursor(std::move(cursor)),
        mBatch(nullptr, &PQclear),
        mNext(nullptr, &PQclear) {}
  ~PgRows() override {
    if (mConnection->mFetching == this) Collect();
    // The transaction outlives the cursor; closing it frees the server's side. A failure here
    // is someone else's to report.
    try {
      if (!mDone && !mConnection->mInterrupted) Result closed(mConnection->Exec(Close()), &PQclear);
    } catch (const runtime::Error&) {
    }
  }

  bool Next() override {
    if (mDone) return false;
    if (++mRow < mRows) return true;
    if (mRows >= 0 && mRows < kRowsPerFetch) return Finish();
    mConnection->CheckNotInterrupted();
    if (mConnection->mFetching == this) Collect();
    if (!mNext) mNext.reset(mConnection->Exec(Fetch()));
    mBatch = std::move(mNext);
    if (PQresultStatus(mBatch.get()) != PGRES_TUPLES_OK)
      mConnection->Fail(PQresultErrorMessage(mBatch.get()));
    mRows = PQntuples(mBatch.get());
    mRow = 0;
    if (mRows == kRowsPerFetch) FetchAhead();
    return mRows > 0 ? true : Finish();
  }

  /// Takes the batch asked for ahead, a failure kept for whoever reads it.
  void Collect() {
    mConnection->mFetching = nullptr;
    while (PGresult* result = PQgetResult(mConnection->mConnection)) {
      if (mNext) {
        PQclear(result);
      } else {
        mNext.reset(result);
      }
    }
  }

  /// Whether the batch asked for ahead failed, and why.
  const char* NextFailure() const {
    if (!mNext || PQresultStatus(mNext.get()) == PGRES_TUPLES_OK) return nullptr;
    return PQresultErrorMessage(mNext.get());
  }

  runtime::Variant Value(int column, int32_t fieldType) const override {
    if (PQgetisnull(mBatch.get(), mRow, column)) return runtime::Variant::Null();
    const std::string text = PQgetvalue(mBatch.get(), mRow, column);
    switch (fieldType) {
      case gis::kFieldSmallInteger:
      case gis::kFieldInteger:
      case gis::kFieldObjectId:
        if (text == "t" || text == "f") return runtime::Variant::Integer(text == "t" ? 1 : 0);
        return WholeNumberValue(std::strtoll(text.c_str(), nullptr, 10));
      case gis::kFieldSingle:
        return runtime::Variant::Single(std::strtof(text.c_str(), nullptr));
      case gis::kFieldDouble:
        return runtime::Variant::Double(std::strtod(text.c_str(), nullptr));
      case gis::kFieldDate:
        if (const auto serial = ParseStoredDate(text)) return runtime::Variant::Date(*serial);
        return runtime::Variant::String(text);
      case gis::kFieldGeometry:
      case gis::kFieldBlob:
        return runtime::Variant::Null();
      default:
        return runtime::Variant::String(text);
    }
  }

 private:
  std::string Fetch() const {
    return "FETCH FORWARD " + std::to_string(kRowsPerFetch) + " FROM " + mCursor;
  }
  std::string Close() const { return "CLOSE " + mCursor; }

  // The server prepares the next batch while this one is read: the two work at once.
  void FetchAhead() {
    mConnection->CollectFetch();
    // Unsent, the batch is fetched when it is needed, and fails then if it must.
    if (PQsendQuery(mConnection->mConnection, Fetch().c_str()) == 1) mConnection->mFetching = this;
  }

  bool Finish() {
    mDone = true;
    Result closed(mConnection->Exec(Close()), &PQclear);
    return false;
  }

  std::shared_ptr<PgConnection> mConnection;
  std::string mCursor;
  Result mBatch;
  Result mNext;  // the batch fetched ahead
  int mRows = -1;
  int mRow = -1;
  bool mDone = false;
};

std::shared_ptr<PgConnection> PgConnection::Connect(const std::string& connection,
                                                    std::string shown) {
  pg_conn* pg = PQconnectdb(connection.c_str());
  if (PQstatus(pg) != CONNECTION_OK) {
    const std::string reason = FirstLine(PQerrorMessage(pg));
    PQfinish(pg);
    throw runtime::Error::Platform("Cannot open " + shown + ": " + reason);
  }
  auto opened = std::shared_ptr<PgConnection>(new PgConnection(pg, std::move(shown)));
  // One snapshot for every query of the run, which writes nothing.
  opened->Execute("BEGIN TRANSACTION ISOLATION LEVEL REPEATABLE READ READ ONLY");
  if (connection.find("statement_timeout") == std::string::npos)
    opened->Execute("SET LOCAL statement_timeout = " +
                    std::to_string(kStatementTimeoutSeconds * 1000));
  return opened;
}

PgConnection::PgConnection(pg_conn* connection, std::string shown)
    : mConnection(connection), mCancel(PQgetCancel(connection)), mShown(std::move(shown)) {}

PgConnection::~PgConnection() {
  PQfreeCancel(mCancel);
  PQfinish(mConnection);
}

void PgConnection::Fail(const std::string& reason) const {
  if (mInterrupted) throw runtime::Error::Platform("interrupted");
  throw runtime::Error::Platform(mShown + ": " + FirstLine(reason.c_str()));
}

void PgConnection::CheckNotInterrupted() const {
  if (mInterrupted) throw runtime::Error::Platform("interrupted");
}

void PgConnection::CollectFetch() {
  if (mFetching == nullptr) return;
  PgRows* rows = mFetching;
  rows->Collect();
  // A failed fetch ended the transaction: whatever runs next would fail for that reason.
  if (const char* failure = rows->NextFailure()) Fail(failure);
}

PGresult* PgConnection::Exec(const std::string& sql) {
  CollectFetch();
  return PQexec(mConnection, sql.c_str());
}

void PgConnection::Execute(const std::string& sql) {
  CheckNotInterrupted();
  Result result(Exec(sql), &PQclear);
  if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) Fail(PQresultErrorMessage(result.get()));
}

std::unique_ptr<QueryRows> PgConnection::Query(const std::string& sql) {
  CheckNotInterrupted();
  // A failing query must not end the transaction that later ones run in.
  const std::string cursor = "quillet_" + std::to_string(++mCursors);
  Execute("SAVEPOINT " + cursor);
  Result declared(Exec("DECLARE " + cursor + " NO SCROLL CURSOR FOR " + sql), &PQclear);
  if (PQresultStatus(declared.get()) != PGRES_COMMAND_OK) {
    const std::string reason = PQresultErrorMessage(declared.get());
    Result undone(Exec("ROLLBACK TO SAVEPOINT " + cursor), &PQclear);
    Fail(reason);
  }
  Execute("RELEASE SAVEPOINT " + cursor);
  return std::make_unique<PgRows>(shared_from_this(), cursor);
}

std::vector<std::vector<std::optional<std::string>>> PgConnection::Rows(
    const std::string& sql, const std::vector<std::string>& parameters) {
  CheckNotInterrupted();
  CollectFetch();
  std::vector<const char*> values;
  for (const std::string& parameter : parameters)
    values.push_back(parameter.c_str());
  Result result(PQexecParams(mConnection, sql.c_str(), static_cast<int>(values.size()), nullptr,
                             values.data(), nullptr, nullptr, 0),
                &PQclear);
  if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) Fail(PQresultErrorMessage(result.get()));
  std::vector<std::vector<std::optional<std::string>>> rows(
      static_cast<size_t>(PQntuples(result.get())));
  for (int row = 0; row < PQntuples(result.get()); ++row)
    for (int column = 0; column < PQnfields(result.get()); ++column)
      rows[static_cast<size_t>(row)].push_back(
          PQgetisnull(result.get(), row, column)
              ? std::nullopt
              : std::optional<std::string>(PQgetvalue(result.get(), row, column)));
  return rows;
}

std::optional<double> PgConnection::NumberLiteral(const std::string& literal) {
  if (!IsNumberLiteral(literal)) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(literal.c_str(), &end);
  if (*end != '\0' || value != value || value > 1.7e308 || value < -1.7e308) return std::nullopt;
  // A whole number beyond 2^53 compares as an integer, not as this double.
  if (literal.find_first_of(".eE") == std::string::npos &&
      (value > 9007199254740992.0 || value < -9007199254740992.0))
    return std::nullopt;
  return value;
}

void PgConnection::Interrupt() {
  mInterrupted = true;
  char reason[256];
  PQcancel(mCancel, reason, sizeof reason);
}

std::string WithoutPassword(const std::string& connection) {
  const size_t key = connection.find("password=");
  if (key == std::string::npos) return connection;
  const size_t start = key + 9;
  size_t end = start;
  if (end < connection.size() && connection[end] == '\'') {
    for (++end; end < connection.size() && connection[end] != '\''; ++end)
      if (connection[end] == '\\') ++end;
    end = std::min(end + 1, connection.size());
  } else {
    while (end < connection.size() && connection[end] != ' ')
      ++end;
  }
  return connection.substr(0, start) + "***" + connection.substr(end);
}

}  // namespace quillet::platform
