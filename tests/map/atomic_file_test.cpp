#include "map/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/error_of.h"
#include "support/files.h"

namespace quillet::document {
namespace {

namespace fs = std::filesystem;

using test::ReadText;

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Failure(const fs::path& path) {
  return test::ErrorOf([&] { map::ReplaceFileAtomically(path, "x"); }).Description();
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
  const fs::path missing = folder.Path() / "missing" / "map.json";
  EXPECT_EQ(Failure(missing), "cannot save " + missing.string() +
                                  ": cannot create a temporary file in " +
                                  missing.parent_path().string() + ": No such file or directory");

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

}  // namespace
}  // namespace quillet::document
