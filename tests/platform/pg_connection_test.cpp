#include "platform/store/pg_connection.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "quillet/error.h"
#include "quillet/gis/field.h"

namespace quillet::platform {
namespace {

class PgConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(QUILLET_POSTGRES "/.s.PGSQL.54329"))
      GTEST_SKIP() << "no PostgreSQL server for the tests (tests/postgres_servers.sh)";
    server = PgConnection::Connect("dbname=quillet port=54329 user=postgres host=" QUILLET_POSTGRES,
                                   "server");
  }

  static double Read(QueryRows& rows) { return rows.Value(0, gis::kFieldDouble).NumericValue(); }

  std::shared_ptr<PgConnection> server;
};

// Two cursors of several batches read by turns, and a query between: while the server prepares
// the next batch of one, the other and the query still get their own rows, in order.
TEST_F(PgConnectionTest, CursorsReadByTurnsKeepTheirOwnRows) {
  auto up = server->Query("SELECT g FROM generate_series(1, 50000) g ORDER BY g");
  auto down = server->Query("SELECT -g FROM generate_series(1, 45001) g ORDER BY g");
  double ups = 0;
  double downs = 0;
  for (bool more = true; more;) {
    more = false;
    for (int i = 0; i < 3 && up->Next(); ++i, more = true) {
      ASSERT_EQ(Read(*up), ++ups);
    }
    if (down->Next()) {
      ASSERT_EQ(Read(*down), -++downs);
      more = true;
    }
    if (ups == 30000) {
      EXPECT_EQ(server->Rows("SELECT 7")[0][0], "7");
    }
  }
  EXPECT_EQ(ups, 50000);
  EXPECT_EQ(downs, 45001);
}

// A batch that fails while it is prepared ahead fails the read that reaches it, or the next
// command, whichever comes first, with the server's reason.
TEST_F(PgConnectionTest, ABatchFailingAheadFailsWhatComesNext) {
  const std::string failing = "SELECT 1 / (30000 - g) FROM generate_series(1, 60000) g";
  for (const bool anotherCommand : {false, true}) {
    SetUp();
    auto rows = server->Query(failing);
    try {
      for (int read = 1; rows->Next(); ++read)
        if (anotherCommand && read == 10000) {
          server->Rows("SELECT 1");
        }
      ADD_FAILURE() << "no failure";
    } catch (const runtime::Error& error) {
      EXPECT_EQ(error.Description(), "server: division by zero");
    }
  }
}

}  // namespace
}  // namespace quillet::platform
