#include "map/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "map/map_error.h"

namespace quillet::map {
namespace {

// Removes the temporary file unless the rename has taken it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string pattern) : mPath(std::move(pattern)) {
    mDescriptor = mkstemp(mPath.data());
    if (mDescriptor < 0) mPath.clear();
  }
  ~TemporaryFile() {
    if (mDescriptor >= 0) close(mDescriptor);
    if (!mPath.empty()) unlink(mPath.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Created() const { return mDescriptor >= 0; }
  int Descriptor() const { return mDescriptor; }
  const std::string& Path() const { return mPath; }
  // Closes the file, reporting whether the close succeeded.
  bool Close() {
    const int descriptor = mDescriptor;
    mDescriptor = -1;
    return close(descriptor) == 0;
  }
  void Kept() { mPath.clear(); }

 private:
  std::string mPath;
  int mDescriptor = -1;
};

bool WriteAll(int descriptor, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = write(descriptor, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  const std::string shown = path.string();
  const auto fail = [&](const std::string& what) {
    const std::string reason = std::strerror(errno);
    return MapError("cannot save " + shown, "", what + ": " + reason);
  };

  std::error_code ignored;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, ignored))
    target = std::filesystem::weakly_canonical(path, ignored);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  struct stat old {};
  const bool existed = stat(target.c_str(), &old) == 0;

  TemporaryFile temporary((folder / ("." + target.filename().string() + ".XXXXXX")).string());
  if (!temporary.Created()) throw fail("cannot create a temporary file in " + folder.string());
  if (!WriteAll(temporary.Descriptor(), contents)) throw fail("cannot write " + temporary.Path());
  if (fsync(temporary.Descriptor()) != 0) throw fail("cannot sync " + temporary.Path());
  if (existed) {
    if (fchmod(temporary.Descriptor(), old.st_mode & 07777) != 0)
      throw fail("cannot set the permissions of " + temporary.Path());
    // Keeps the owner where the user may; a file of one's own needs nothing.
    (void)!fchown(temporary.Descriptor(), old.st_uid, old.st_gid);
  }
  if (!temporary.Close()) throw fail("cannot close " + temporary.Path());
  if (std::rename(temporary.Path().c_str(), target.c_str()) != 0)
    throw fail("cannot rename " + temporary.Path() + " to " + target.string());
  temporary.Kept();

  const int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (directory >= 0) {
    fsync(directory);
    close(directory);
  }
}

}  // namespace quillet::map
