#include "map/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "support/error_of.h"
#include "support/files.h"

namespace quillet::document {
namespace {

namespace fs = std::filesystem;

using test::Listing;
using test::ReadText;

std::string Failure(const fs::path& path) {
  return test::Why([&] { map::ReplaceFileAtomically(path, "x"); });
}

TEST(AtomicFile, ReplacesKeepingThePermissionsAndFollowingALink) {
  test::TempFolder folder;
  fs::create_directory(folder.Path() / "real");
  const fs::path path = folder.Path() / "real" / "map.json";
  map::ReplaceFileAtomically(path, "first");
  EXPECT_EQ(ReadText(path), "first");
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(path, perms);
  map::ReplaceFileAtomically(path, std::string(100000, 'x'));
  EXPECT_EQ(ReadText(path), std::string(100000, 'x'));
  EXPECT_EQ(fs::status(path).permissions(), perms);

  // Through a link the file it points to is replaced; the link stays a link.
  const fs::path link = folder.Path() / "link.json";
  fs::create_symlink(path, link);
  map::ReplaceFileAtomically(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadText(path), "new");
  EXPECT_EQ(Listing(folder.Path() / "real"), std::vector<std::string>{"map.json"});
}

TEST(AtomicFile, FailuresLeaveEverythingAsItWas) {
  test::TempFolder folder;
  const fs::path gone = folder.Path() / "gone";
  EXPECT_EQ(Failure(gone / "map.json"), "cannot save " + (gone / "map.json").string() +
                                            ": cannot create a temporary file in " + gone.string() +
                                            ": No such file or directory");
  // A folder in the file's place: the rename fails after the text was written.
  const fs::path taken = folder.Path() / "taken";
  fs::create_directory(taken);
  test::WriteText(taken / "inside", "kept");
  const std::string failure = Failure(taken);
  EXPECT_EQ(failure.rfind("cannot save " + taken.string() + ": cannot rename ", 0), 0u) << failure;
  EXPECT_NE(failure.find("Is a directory"), std::string::npos) << failure;
  EXPECT_EQ(ReadText(taken / "inside"), "kept");
  EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{"taken"});
}

// A killed save leaves its temporary file behind; the next save of the same file removes it, but
// neither one that a save under way holds locked nor files that only look alike.
TEST(AtomicFile, ASaveRemovesTheTemporaryFilesOfKilledSaves) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "map.json";
  map::ReplaceFileAtomically(path, "old");
  for (const char* name : {".map.json.AbC123", ".map.json.live01", ".map.json.bak",
                           ".other.json.AbC123", ".map.json.AbC12"})
    test::WriteText(folder.Path() / name, "x");
  const int live = open((folder.Path() / ".map.json.live01").c_str(), O_RDONLY);
  ASSERT_EQ(flock(live, LOCK_EX), 0);
  map::ReplaceFileAtomically(path, "new");
  close(live);
  EXPECT_EQ(ReadText(path), "new");
  EXPECT_EQ(Listing(folder.Path()),
            (std::vector<std::string>{".map.json.AbC12", ".map.json.bak", ".map.json.live01",
                                      ".other.json.AbC123", "map.json"}));
}

}  // namespace
}  // namespace quillet::document
