#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "cli/cli_test_support.h"

namespace quillet::test {

/// Starts the built quillet command with these arguments without waiting for it; its output is
/// thrown away.
inline pid_t StartQuillet(std::vector<std::string> args) {
  args.insert(args.begin(), QUILLET_BINARY);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_RDWR);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
      dup2(null, stream);
    alarm(kHung);
    std::vector<char*> argv;
    for (auto& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

/// The exit status of a started command, 128 + the signal's number when a signal ended it.
inline int Finish(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

/// The files of a folder, each as its name, size and a hash of its bytes, to compare a folder
/// before and after.
inline Lines Snapshot(const fs::path& folder) {
  Lines files;
  for (const std::string& name : Listing(folder)) {
    const std::string bytes = ReadText(folder / name);
    files.push_back(name + " " + std::to_string(bytes.size()) + " bytes, hash " +
                    std::to_string(std::hash<std::string>()(bytes)));
  }
  return files;
}

}  // namespace quillet::test
