#include "map/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "map/map_error.h"

namespace quillet::map {
namespace {

// The temporary files of saves under way, where a signal handler can find them: a fixed table
// of plain characters, since a handler may neither allocate nor lock. A slot is kFree, being
// filled or emptied (kBusy), or names a file (kNamed).
enum SlotState : int { kFree, kBusy, kNamed };
struct PendingSlot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
std::array<PendingSlot, 16> gPending;

// Enters a temporary file in the table; -1 when the table is full or the path too long, which
// only costs the removal on a signal (a later save removes the file).
int EnterPending(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (size_t i = 0; i < gPending.size(); ++i) {
    int expected = kFree;
    if (!gPending[i].state.compare_exchange_strong(expected, kBusy)) continue;
    std::memcpy(gPending[i].path, path.c_str(), path.size() + 1);
    gPending[i].state.store(kNamed);
    return static_cast<int>(i);
  }
  return -1;
}

void LeavePending(int slot) {
  if (slot >= 0) gPending[static_cast<size_t>(slot)].state.store(kFree);
}

// A temporary file beside the target, locked while this process writes it so that a later save
// can tell it from one whose process was killed; removed unless the rename has taken it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string pattern) : mPath(std::move(pattern)) {
    // SIGINT, SIGTERM and SIGHUP, on which a host removes these files, wait until the file is
    // in the table.
    sigset_t terminating;
    sigset_t previous;
    sigemptyset(&terminating);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
      sigaddset(&terminating, signal);
    pthread_sigmask(SIG_BLOCK, &terminating, &previous);
    mDescriptor = mkstemp(mPath.data());
    if (mDescriptor >= 0) mSlot = EnterPending(mPath);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (mDescriptor < 0) {
      mPath.clear();
      return;
    }
    (void)!flock(mDescriptor, LOCK_EX | LOCK_NB);
  }
  ~TemporaryFile() {
    if (mDescriptor >= 0) close(mDescriptor);
    if (!mPath.empty()) unlink(mPath.c_str());
    LeavePending(mSlot);
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
  // The rename has taken the file. Until here a signal handler may still try to remove it,
  // which then fails harmlessly.
  void Kept() {
    mPath.clear();
    LeavePending(mSlot);
    mSlot = -1;
  }

 private:
  std::string mPath;
  int mDescriptor = -1;
  int mSlot = -1;
};

// Whether `name` is one of the target's temporary files: "." + the target's name + "." + the
// six letters and digits mkstemp chose.
bool IsTemporaryName(const std::string& name, const std::string& target) {
  const std::string prefix = "." + target + ".";
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

// Removes the temporary files that saves of the target left behind when their process was
// killed: those that no process holds locked. Failures leave a file where it is.
void RemoveStaleTemporaryFiles(const std::filesystem::path& folder, const std::string& target) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::filesystem::path path = entry->path();
    if (!IsTemporaryName(path.filename().string(), target)) continue;
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) continue;
    struct stat info {};
    if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
        flock(descriptor, LOCK_EX | LOCK_NB) == 0)
      unlink(path.c_str());
    close(descriptor);
  }
}

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

  RemoveStaleTemporaryFiles(folder, target.filename().string());
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

void RemovePendingTemporaryFiles() noexcept {
  for (PendingSlot& slot : gPending)
    if (slot.state.load() == kNamed) unlink(slot.path);
}

}  // namespace quillet::map
