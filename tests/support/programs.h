#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace quillet::test {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using Lines = std::vector<std::string>;

/// What a run of a program gave back.
struct Ran {
  int status = -1;
  std::string out;
  std::string err;

  /// Standard output, one entry per line.
  Lines OutLines() const { return Split(out); }
  Lines ErrLines() const { return Split(err); }
  Json OutJson() const { return Json::parse(out); }

  static Lines Split(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }
};

/// Runs a program with these arguments (no shell: arguments reach it as they are), in
/// `folder` when given, and collects its exit status and both output streams. With
/// `timeoutSeconds`, a program still running then is ended by SIGALRM (status 142), so that
/// one that hangs fails its test instead of stalling the suite.
inline Ran RunProgram(const std::vector<std::string>& args, const fs::path& folder = {},
                      unsigned timeoutSeconds = 0) {
  // The streams go to unnamed files, read once the program has ended: none can fill up.
  FILE* streams[2] = {std::tmpfile(), std::tmpfile()};
  if (!streams[0] || !streams[1]) {
    for (FILE* stream : streams)
      if (stream) std::fclose(stream);
    return {};
  }
  for (FILE* stream : streams)
    fcntl(fileno(stream), F_SETFD, FD_CLOEXEC);  // the program gets them as its 1 and 2 only
  const pid_t child = fork();
  if (child == 0) {
    dup2(fileno(streams[0]), STDOUT_FILENO);
    dup2(fileno(streams[1]), STDERR_FILENO);
    const int input = open("/dev/null", O_RDONLY);
    dup2(input, STDIN_FILENO);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    if (timeoutSeconds > 0) alarm(timeoutSeconds);  // survives exec
    std::vector<char*> argv;
    for (const auto& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  Ran run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::string* texts[2] = {&run.out, &run.err};
  for (int i = 0; i < 2; ++i) {
    std::rewind(streams[i]);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, streams[i])) > 0;)
      texts[i]->append(buffer, n);
    std::fclose(streams[i]);
  }
  return run;
}

}  // namespace quillet::test
