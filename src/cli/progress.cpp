#include "cli/progress.h"

#include <unistd.h>

#include <cstdio>

namespace quillet::cli {

TerminalProgress::TerminalProgress(std::string what)
    : mWhat(std::move(what)),
      mTerminal(isatty(STDERR_FILENO) == 1),
      mStart(std::chrono::steady_clock::now()) {}

TerminalProgress::~TerminalProgress() {
  if (mShown) std::fputs("\r\033[K", stderr);
}

void TerminalProgress::Report(int64_t done, int64_t total) {
  if (!mTerminal) return;
  if (!mShown && std::chrono::steady_clock::now() - mStart < std::chrono::milliseconds(500)) return;
  mShown = true;
  if (total > 0) {
    std::fprintf(stderr, "\r\033[Kquillet: loading %s: %lld of %lld features (%lld%%)",
                 mWhat.c_str(), static_cast<long long>(done), static_cast<long long>(total),
                 static_cast<long long>(done * 100 / total));
  } else {
    std::fprintf(stderr, "\r\033[Kquillet: loading %s: %lld features", mWhat.c_str(),
                 static_cast<long long>(done));
  }
  std::fflush(stderr);
}

}  // namespace quillet::cli
