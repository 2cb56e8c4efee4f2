/*
 * spawn.cpp - starting one child process (SendOutputTo) and ending the
 * caller's hold on it (CollectProcess, CloseProcessInfo).
 *
 * The child is started with posix_spawnp on the words of its command line,
 * never through a shell.  Redirection files are opened in the parent,
 * close-on-exec, and placed on descriptors 1 and 2 of the child only; every
 * other descriptor above 2 is closed in the child, so nothing of the caller
 * leaks into it whatever flags the caller's own descriptors carry.
 */
#include "wendrel_run.h"
#include "wendrel_cmdline.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <system_error>
#include <thread>
#include <vector>

extern char **environ;

static std::string Describe(const char *what, const std::string &name, int err) {
  return std::string(what) + " \"" + name + "\": " + std::strerror(err);
}

/* Creates (or truncates) a redirection file on a descriptor above 2, so that
 * placing it on 1 or 2 in the child never collides with itself. */
static int OpenRedirect(const std::string &name, std::string &error) {
  int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    error = Describe("cannot create file", name, errno);
    return -1;
  }
  if (fd <= 2) {
    int high = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    int err = errno;
    ::close(fd);
    if (high < 0) error = Describe("cannot create file", name, err);
    fd = high;
  }
  return fd;
}

static bool SameFile(int a, int b) {
  struct stat sa, sb;
  return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

static void CloseIfValid(int &fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

static bool CanEnter(const std::string &dir, std::string &error) {
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0) {
    error = Describe("cannot enter directory", dir, errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    error = Describe("cannot enter directory", dir, ENOTDIR);
    return false;
  }
  return true;
}

/* The child's exit status as a shell reports it. */
static int ExitStatusOf(int wstatus) {
  if (WIFEXITED(wstatus)) return WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) return 128 + WTERMSIG(wstatus);
  return -1;
}

static int Reap(pid_t pid, int options) {
  int wstatus = 0;
  pid_t r;
  do {
    r = ::waitpid(pid, &wstatus, options);
  } while (r < 0 && errno == EINTR);
  if (r == pid) return ExitStatusOf(wstatus);
  return r == 0 ? -2 : -1; /* -2: still running */
}

/* A descriptor that becomes readable when pid ends.  Should the child be
 * gone already (a caller that ignores SIGCHLD has it reaped at once), the
 * handle is an event that is signalled from the start. */
static int OpenProcessHandle(pid_t pid) {
  int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (fd >= 0) return fd;
  fd = ::eventfd(1, EFD_CLOEXEC);
  return fd;
}

namespace {
/* The resources of one posix_spawnp call, released on every path. */
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  bool haveActions = false, haveAttr = false;
  ~SpawnSetup() {
    if (haveActions) posix_spawn_file_actions_destroy(&actions);
    if (haveAttr) posix_spawnattr_destroy(&attr);
  }
};
}  // namespace

static int Spawn(const std::vector<std::string> &words, const std::string &curDir, int out,
                 int err, bool newGroup, pid_t &pid) {
  SpawnSetup s;
  if (int rc = posix_spawn_file_actions_init(&s.actions)) return rc;
  s.haveActions = true;
  if (int rc = posix_spawnattr_init(&s.attr)) return rc;
  s.haveAttr = true;

  int rc = 0;
  if (out >= 0 && !rc) rc = posix_spawn_file_actions_adddup2(&s.actions, out, 1);
  if (err >= 0 && !rc) rc = posix_spawn_file_actions_adddup2(&s.actions, err, 2);
  if (!curDir.empty() && !rc) rc = posix_spawn_file_actions_addchdir_np(&s.actions, curDir.c_str());
  if (!rc) rc = posix_spawn_file_actions_addclosefrom_np(&s.actions, 3);

  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (newGroup) flags |= POSIX_SPAWN_SETPGROUP;
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  if (!rc) rc = posix_spawnattr_setflags(&s.attr, flags);
  if (!rc) rc = posix_spawnattr_setsigmask(&s.attr, &none);
  if (!rc) rc = posix_spawnattr_setsigdefault(&s.attr, &all);
  if (!rc && newGroup) rc = posix_spawnattr_setpgroup(&s.attr, 0);
  if (rc) return rc;

  std::vector<char *> argv;
  for (const std::string &w : words) argv.push_back(const_cast<char *>(w.c_str()));
  argv.push_back(nullptr);
  return posix_spawnp(&pid, argv[0], &s.actions, &s.attr, argv.data(), environ);
}

int SendOutputTo(const SSendOutputParams &p, const SStartupInfo *startup, SProcessInfo *info) {
  std::string error;
  SStartupInfo defaults;
  if (!startup) startup = &defaults;
  if (info) *info = SProcessInfo();

  auto fail = [&](int out, int err) {
    if (err != out) CloseIfValid(err);
    CloseIfValid(out);
    if (info) info->error = error;
    return 0;
  };

  std::vector<std::string> words = SplitCmdLine(p.cmdLine);
  if (words.empty() || words[0].empty()) {
    error = "empty command line";
    return fail(-1, -1);
  }
  if (!p.curDir.empty() && !CanEnter(p.curDir, error)) return fail(-1, -1);

  int out = -1, err = -1;
  if (!p.outputFile.empty()) {
    out = OpenRedirect(p.outputFile, error);
    if (out < 0) return fail(-1, -1);
  }
  if (p.errToOutput) {
    err = out;
  } else if (!p.errorFile.empty()) {
    err = OpenRedirect(p.errorFile, error);
    if (err < 0) return fail(out, -1);
    /* Two descriptions of one file would overwrite each other's text. */
    if (out >= 0 && SameFile(out, err)) {
      CloseIfValid(err);
      err = out;
    }
  }

  pid_t pid = -1;
  int rc = Spawn(words, p.curDir, out, err, startup->newProcessGroup, pid);
  if (rc != 0) {
    error = Describe("cannot start", words[0], rc);
    return fail(out, err);
  }
  if (err != out) CloseIfValid(err);
  CloseIfValid(out);

  SProcessInfo started;
  started.processId = pid;
  started.process = OpenProcessHandle(pid);
  if (info)
    *info = std::move(started);
  else
    CloseProcessInfo(started);
  return 1;
}

int CollectProcess(SProcessInfo &info) {
  int status = -1;
  if (info.processId > 0) status = Reap(info.processId, 0);
  CloseIfValid(info.process);
  info.processId = -1;
  return status;
}

void CloseProcessInfo(SProcessInfo &info) {
  CloseIfValid(info.process);
  pid_t pid = info.processId;
  info.processId = -1;
  if (pid <= 0 || Reap(pid, WNOHANG) != -2) return;
  try {
    std::thread([pid] { Reap(pid, 0); }).detach();
  } catch (const std::system_error &) {
    /* no thread to spare: the child stays a zombie until the caller ends */
  }
}
