/*
 * checker_standin.cpp - stands in for the checker in the tests of a run
 * that is cancelled: it starts a child of its own (as the checker starts
 * its preprocessor), writes both process ids to the file named by
 * CSENTREL_STANDIN_PIDS, and waits.  Both end by themselves after 20
 * seconds, so that a failing test leaves nothing running for long.
 */
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/types.h>
#include <unistd.h>

int main() {
  pid_t child = fork();
  if (child == 0) {
    sleep(20);
    return 0;
  }
  if (const char *file = std::getenv("CSENTREL_STANDIN_PIDS")) {
    std::string tmp = std::string(file) + ".part";
    if (FILE *f = std::fopen(tmp.c_str(), "w")) {
      std::fprintf(f, "%d\n%d\n", static_cast<int>(getpid()), static_cast<int>(child));
      std::fclose(f);
      std::rename(tmp.c_str(), file);
    }
  }
  std::puts("checker stand-in waiting");
  std::fflush(stdout);
  sleep(20);
  return 0;
}
