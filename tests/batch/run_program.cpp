#include "tests/batch/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/files.h"

namespace batch_test {
namespace {

// Everything the master side of a pseudo-terminal holds until the child has
// closed its side.
std::string DrainTerminal(int master) {
  std::string text;
  char buffer[4096];
  ssize_t got;
  while ((got = read(master, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(got));
  return text;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& input, bool error_to_terminal) {
  char pattern[] = "/tmp/qxtxt-run-XXXXXX";
  const std::filesystem::path dir = mkdtemp(pattern);
  const std::string in = dir / "in", out = dir / "out", err = dir / "err";
  std::FILE* in_file = std::fopen(in.c_str(), "wb");
  std::fwrite(input.data(), 1, input.size(), in_file);
  std::fclose(in_file);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  int master = -1;
  if (error_to_terminal) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    posix_spawn_file_actions_addopen(&actions, 2, ptsname(master), O_RDWR | O_NOCTTY, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int status = 0;
  ProgramRun run{-1, {}, {}};
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
    if (master >= 0) run.error = DrainTerminal(master);  // ends when the child closes its side
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (master >= 0) {
    close(master);
  } else {
    run.error = platform::ReadWholeFile(err).value_or("");
  }
  run.output = platform::ReadWholeFile(out).value_or("");
  std::filesystem::remove_all(dir);
  return run;
}

}  // namespace batch_test
