/*
 * engine_process.cpp - the checker as a child process, started with
 * posix_spawn from an argument vector, its output sent to a file.
 */
#include "engine_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

EngineProcess::~EngineProcess() { Kill(); }

/* The process's environment with the given settings replacing or adding
 * variables of the same names. */
static std::vector<std::string> MergedEnvironment(const std::vector<std::string> &extra) {
  std::vector<std::string> env;
  for (char **e = environ; e && *e; ++e) {
    std::string var(*e);
    std::string name = var.substr(0, var.find('='));
    bool replaced = false;
    for (const auto &x : extra)
      if (x.substr(0, x.find('=')) == name) replaced = true;
    if (!replaced) env.push_back(var);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

bool EngineProcess::Start(const std::vector<std::string> &argv, const std::string &cwd,
                          const std::string &console, const std::vector<std::string> &environment,
                          std::string &error) {
  if (argv.empty()) {
    error = "no command";
    return false;
  }
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    error = std::strerror(errno);
    return false;
  }
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  std::vector<std::string> env = MergedEnvironment(environment);
  std::vector<char *> args, envp;
  for (const auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);
  for (const auto &e : env) envp.push_back(const_cast<char *>(e.c_str()));
  envp.push_back(nullptr);
  int rc = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    pid_ = -1;
    error = std::strerror(rc);
    return false;
  }
#ifdef SYS_pidfd_open
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
#endif
  return true;
}

static void CloseFd(int &fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool EngineProcess::WaitFor(int millis) {
  if (pid_ < 0) return true;
  for (int waited = 0;;) {
    int st = 0;
    pid_t r = waitpid(pid_, &st, WNOHANG);
    if (r == pid_ || (r < 0 && errno != EINTR)) {
      status_ = r == pid_ && WIFEXITED(st) ? WEXITSTATUS(st) : -1;
      pid_ = -1;
      CloseFd(pidfd_);
      return true;
    }
    if (waited >= millis) return false;
    if (pidfd_ >= 0) {
      /* Woken when the process ends, not before. */
      struct pollfd p = {pidfd_, POLLIN, 0};
      poll(&p, 1, millis - waited);
      waited = millis;
    } else {
      usleep(10000);
      waited += 10;
    }
  }
}

void EngineProcess::Kill() {
  if (pid_ < 0) return;
  kill(pid_, SIGTERM);
  int st = 0;
  while (waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  CloseFd(pidfd_);
}
