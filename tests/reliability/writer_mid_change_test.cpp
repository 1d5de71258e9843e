#include <sqlite3.h>

#include <future>

#include "reliability_support.h"

namespace quillet::test {
namespace {

// A GeoPackage in rollback-journal mode whose writer is in the middle of a change, its pages
// already in the file: the command reads what was last committed, or says why it cannot, and
// changes nothing.
class WriterMidChange : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(kWorld, gpkg);
    WriteText(map,
              R"({"quillet": 1, "layers": [)" + ByContinent(R"({"path": "world.gpkg"})") + "]}");
    committed = Labels();
    ASSERT_EQ(committed.status, 0) << committed.err;
  }

  Ran Labels() const {
    return Quillet(
        {"labels", map.string(), "--layer", "by continent", "--expression", "[pop].Sum"});
  }

  // Opens the writer and changes every row, with a cache too small to keep the change, so that
  // it goes to the file under an exclusive lock, the original pages to the journal.
  sqlite3* ChangeEverything() const {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(gpkg.c_str(), &db), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    for (const char* sql : {"PRAGMA journal_mode=DELETE", "PRAGMA cache_size=1", "BEGIN",
                            "UPDATE world SET pop = 0, continent = 'Africa'"})
      EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    EXPECT_TRUE(fs::exists(gpkg.string() + "-journal"));
    return db;
  }

  TempFolder folder;
  const fs::path gpkg = folder.Path() / "world.gpkg";
  const fs::path map = folder.Path() / "map.json";
  Ran committed;
};

TEST_F(WriterMidChange, ReadsTheLastCommitOnceTheWriterIsDone) {
  sqlite3* writer = ChangeEverything();
  auto run = std::async(std::launch::async, [&] { return Labels(); });
  EXPECT_EQ(run.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
  sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(writer);
  const Ran ran = run.get();
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.out, committed.out);
}

TEST_F(WriterMidChange, AWriterKilledMidChangeLeavesNothingToRead) {
  if (fork() == 0) {
    ChangeEverything();
    _exit(0);  // as if killed: the journal stays, and so do the uncommitted pages
  }
  wait(nullptr);
  const Lines before = Snapshot(folder.Path());
  const Ran ran = Labels();
  EXPECT_EQ(ran.status, 2);
  EXPECT_EQ(ran.ErrLines(),
            Lines{"quillet: " + map.string() + ": /layers/0/source: Cannot read " + gpkg.string() +
                  ": a writer stopped in the middle of a change and left " + gpkg.string() +
                  "-journal, which only a writer may roll back (attempt to "
                  "write a readonly database)"});
  EXPECT_EQ(Snapshot(folder.Path()), before);
}

}  // namespace
}  // namespace quillet::test
