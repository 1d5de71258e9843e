#include "map/write_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "map/map_error.h"

namespace quillet::map {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kPoll{25};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

WriteLock::WriteLock(const std::filesystem::path& path, std::chrono::milliseconds wait) {
  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    // Without O_NONBLOCK a FIFO in the map's place would block here for good.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return;
    struct stat opened {};
    if (fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      close(descriptor);
      return;
    }
    for (;;) {
      if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) break;
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK) {
        close(descriptor);
        return;
      }
      if (Clock::now() >= deadline) {
        close(descriptor);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait).count();
        throw MapError(path.string(), "",
                       "another process is writing the map; waited " + std::to_string(seconds) +
                           " s for it to finish");
      }
      std::this_thread::sleep_for(kPoll);
    }
    // The holder may have replaced the file meanwhile: then the new one is what to lock.
    struct stat now {};
    if (stat(path.c_str(), &now) == 0 && SameFile(now, opened)) {
      mDescriptor = descriptor;
      return;
    }
    close(descriptor);
  }
}

WriteLock::~WriteLock() {
  if (mDescriptor >= 0) close(mDescriptor);
}

}  // namespace quillet::map
