#include "document/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "document_test_support.h"
#include "runtime/error.h"

namespace quillet::document {
namespace {

namespace fs = std::filesystem;

using test::ReadText;
using test::WriteText;

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Failure(const fs::path& path, const std::string& contents) {
  try {
    ReplaceFileAtomically(path, contents);
  } catch (const runtime::Error& error) {
    return error.Description();
  }
  return "(saved)";
}

TEST(AtomicFile, ReplacesAndKeepsThePermissions) {
  test::TempFolder folder;
  const fs::path path = folder.Path() / "map.json";
  ReplaceFileAtomically(path, "first");
  EXPECT_EQ(ReadText(path), "first");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ReplaceFileAtomically(path, std::string(100000, 'x'));
  EXPECT_EQ(ReadText(path), std::string(100000, 'x'));
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{"map.json"});
}

TEST(AtomicFile, FollowsASymbolicLink) {
  test::TempFolder folder;
  fs::create_directory(folder.Path() / "real");
  const fs::path target = folder.Path() / "real" / "map.json";
  WriteText(target, "old");
  const fs::path link = folder.Path() / "link.json";
  fs::create_symlink(target, link);
  ReplaceFileAtomically(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadText(target), "new");
  EXPECT_EQ(Listing(folder.Path() / "real"), std::vector<std::string>{"map.json"});
}

TEST(AtomicFile, FailuresLeaveEverythingAsItWas) {
  test::TempFolder folder;
  const fs::path missing = folder.Path() / "missing" / "map.json";
  EXPECT_EQ(Failure(missing, "x"),
            "cannot save " + missing.string() + ": cannot create a temporary file in " +
                missing.parent_path().string() + ": No such file or directory");

  // A folder in the file's place: the rename fails after the text was written.
  const fs::path taken = folder.Path() / "taken";
  fs::create_directory(taken);
  WriteText(taken / "inside", "kept");
  const std::string failure = Failure(taken, "x");
  EXPECT_EQ(failure.rfind("cannot save " + taken.string() + ": cannot rename ", 0), 0u) << failure;
  EXPECT_NE(failure.find("Is a directory"), std::string::npos) << failure;
  EXPECT_EQ(ReadText(taken / "inside"), "kept");
  EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{"taken"});
}

}  // namespace
}  // namespace quillet::document
