#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace quillet::test {

namespace fs = std::filesystem;

/// The bytes of a file.
inline std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

/// The names in a folder, sorted.
inline std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

/// A fresh folder in the system's temporary folder, readable by every user (so a test may run
/// a program as another user in it), removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "quillet-test-XXXXXX").string();
    mPath = mkdtemp(pattern.data());
    fs::permissions(mPath, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
  }
  ~TempFolder() {
    std::error_code ignored;
    // A test may have taken write permission away from a folder inside.
    for (const auto& entry : fs::recursive_directory_iterator(mPath, ignored))
      if (entry.is_directory())
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(mPath, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& Path() const { return mPath; }

 private:
  fs::path mPath;
};

}  // namespace quillet::test
