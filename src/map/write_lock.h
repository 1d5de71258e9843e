#pragma once

#include <chrono>
#include <filesystem>

namespace quillet::map {

/// How long a writer waits for another one to finish with a map before it gives up.
inline constexpr std::chrono::seconds kLongestLockWait{120};

/// An exclusive advisory lock (flock) on a map file, held by a process that reads the file,
/// changes it and saves it, from before the read until after the save. A second writer waits
/// for it, and so reads and changes what the first one saved instead of overwriting it. Readers
/// take no lock: a save replaces the file by a rename, so they see the old file or the new one.
///
/// A lock stands on the file as it was opened, which a save replaces: a writer whose file was
/// replaced while it waited locks the new one instead. A path that does not open as a regular
/// file is not locked, and neither is one on a file system without such locks: reading it says
/// what is wrong, or the save goes on as it would without a lock.
class WriteLock {
 public:
  /// Takes the lock, waiting at most `wait` for another process to release it. Fails with
  /// "<path>: another process is writing the map; waited <n> s for it to finish".
  explicit WriteLock(const std::filesystem::path& path,
                     std::chrono::milliseconds wait = kLongestLockWait);
  ~WriteLock();
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

  /// Whether the lock is held.
  bool Held() const { return mDescriptor >= 0; }

 private:
  int mDescriptor = -1;
};

}  // namespace quillet::map
