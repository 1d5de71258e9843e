#include "map/write_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "support/error_of.h"
#include "support/files.h"

namespace quillet::map {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Whether another open file description can take the lock of the file at `path` now.
bool Free(const fs::path& path) {
  const int probe = open(path.c_str(), O_RDONLY);
  const bool free = flock(probe, LOCK_EX | LOCK_NB) == 0;
  close(probe);
  return free;
}

TEST(WriteLock, WaitsForTheHolderThenLocksTheFileItSaved) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "map.json";
  test::WriteText(path, "old");
  const int holder = open(path.c_str(), O_RDONLY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  EXPECT_EQ(test::Why([&] { WriteLock lock(path, 1s); }),
            path.string() + ": another process is writing the map; waited 1 s for it to finish");

  // The holder saves, renaming a new file over the old one, and lets go while the writer waits.
  std::thread save([&] {
    std::this_thread::sleep_for(300ms);
    test::WriteText(folder.Path() / "new", "new");
    std::rename((folder.Path() / "new").c_str(), path.c_str());
    close(holder);
  });
  {
    const WriteLock lock(path, 10s);
    save.join();
    EXPECT_FALSE(Free(path));
  }
  EXPECT_TRUE(Free(path));
}

}  // namespace
}  // namespace quillet::map
