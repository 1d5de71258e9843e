#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace quillet::cli {

/// Shows how far a long load has come, on one line of standard error that it rewrites, when
/// standard error is a terminal and the load has taken longer than half a second. Clears the
/// line when it goes.
class TerminalProgress {
 public:
  explicit TerminalProgress(std::string what);
  ~TerminalProgress();
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  /// Rows read so far, of `total` (-1 when unknown).
  void Report(int64_t done, int64_t total);

 private:
  std::string mWhat;
  bool mTerminal;
  bool mShown = false;
  std::chrono::steady_clock::time_point mStart;
};

}  // namespace quillet::cli
