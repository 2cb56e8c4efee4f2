/*
 * spawn.cpp - posix_spawn and wait for a child program.
 */
#include "driver/spawn.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace kvx {

int run_program(const std::vector<std::string> &argv) {
  if (argv.empty()) {
    errno = EINVAL;
    return -1;
  }
  std::vector<char *> args;
  args.reserve(argv.size() + 1);
  for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid;
  int rc = posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
  if (rc != 0) {
    errno = rc;
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 1;
}

}  // namespace kvx
