/*
 * child.cpp - the program the runner tests start.  It carries out the verbs
 * of its command line in order:
 *
 *   args ...        writes every following argument, each ended by a NUL,
 *                   to standard output, and stops
 *   out TEXT        writes TEXT and a newline to standard output
 *   err TEXT        writes TEXT and a newline to standard error
 *   fds             writes the numbers of its open descriptors, one a line
 *   cwd             writes its current directory and a newline
 *   sigpipe         writes "default" or "ignored": how SIGPIPE is handled
 *   pidfile PATH    appends "pid pgid" as a line to PATH
 *   grandchild PATH forks a child that appends its pid to PATH and sleeps
 *   sleep MS        sleeps MS milliseconds
 *   exit N          exits with status N
 *
 * Every process of it ends by itself after 30 seconds, so that a test that
 * fails half-way leaves nothing running for long.
 */
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

static void AppendLine(const char *path, const char *line) {
  FILE *f = std::fopen(path, "a");
  if (!f) std::exit(90);
  std::fputs(line, f);
  std::fclose(f);
}

static void SleepMs(long ms) {
  struct timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

static void ListDescriptors() {
  DIR *d = opendir("/proc/self/fd");
  if (!d) std::exit(91);
  int own = dirfd(d);
  while (struct dirent *e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    int fd = std::atoi(e->d_name);
    if (fd != own) std::printf("%d\n", fd);
  }
  closedir(d);
}

int main(int argc, char **argv) {
  alarm(30);
  for (int i = 1; i < argc; ++i) {
    const char *verb = argv[i];
    const char *arg = i + 1 < argc ? argv[i + 1] : "";
    if (!std::strcmp(verb, "args")) {
      for (int j = i + 1; j < argc; ++j) std::fwrite(argv[j], 1, std::strlen(argv[j]) + 1, stdout);
      break;
    } else if (!std::strcmp(verb, "out")) {
      std::printf("%s\n", arg);
      ++i;
    } else if (!std::strcmp(verb, "err")) {
      std::fflush(stdout);
      std::fprintf(stderr, "%s\n", arg);
      ++i;
    } else if (!std::strcmp(verb, "fds")) {
      ListDescriptors();
    } else if (!std::strcmp(verb, "cwd")) {
      char buf[4096];
      std::printf("%s\n", getcwd(buf, sizeof buf) ? buf : "?");
    } else if (!std::strcmp(verb, "sigpipe")) {
      struct sigaction sa;
      sigaction(SIGPIPE, nullptr, &sa);
      std::printf("%s\n", sa.sa_handler == SIG_IGN ? "ignored" : "default");
    } else if (!std::strcmp(verb, "pidfile")) {
      char line[64];
      std::snprintf(line, sizeof line, "%ld %ld\n", (long)getpid(), (long)getpgrp());
      AppendLine(arg, line);
      ++i;
    } else if (!std::strcmp(verb, "grandchild")) {
      std::fflush(stdout);
      pid_t pid = fork();
      if (pid == 0) {
        alarm(30);
        char line[32];
        std::snprintf(line, sizeof line, "%ld\n", (long)getpid());
        AppendLine(arg, line);
        for (;;) pause();
      }
      if (pid < 0) return 92;
      ++i;
    } else if (!std::strcmp(verb, "sleep")) {
      std::fflush(stdout);
      SleepMs(std::atol(arg));
      ++i;
    } else if (!std::strcmp(verb, "exit")) {
      std::fflush(stdout);
      return std::atoi(arg);
    } else {
      std::fprintf(stderr, "child: unknown verb %s\n", verb);
      return 93;
    }
  }
  return 0;
}
