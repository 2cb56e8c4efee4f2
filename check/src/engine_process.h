/*
 * engine_process.h - starting the checker of a prepared run: the one place
 * where kvx_check creates a process.  The command is an argument vector
 * (no shell); standard output and standard error go to the run's console
 * file, which the caller reads while the checker runs.
 */
#ifndef KVX_CHECK_ENGINE_PROCESS_H
#define KVX_CHECK_ENGINE_PROCESS_H

#include <string>
#include <sys/types.h>
#include <vector>

class EngineProcess {
 public:
  EngineProcess() = default;
  EngineProcess(const EngineProcess &) = delete;
  EngineProcess &operator=(const EngineProcess &) = delete;
  /* A process still running is ended. */
  ~EngineProcess();

  /* Starts argv[0] in cwd with the extra environment settings
   * ("NAME=value"); false with a message in error when it cannot. */
  bool Start(const std::vector<std::string> &argv, const std::string &cwd, const std::string &console,
             const std::vector<std::string> &environment, std::string &error);
  /* Waits up to millis milliseconds; true once the process has ended. */
  bool WaitFor(int millis);
  /* The exit status, -1 when it ended by a signal; valid after WaitFor. */
  int Status() const { return status_; }
  void Kill();

 private:
  pid_t pid_ = -1;
  int pidfd_ = -1;  /* readable when the process ends, where the system has it */
  int status_ = -1;
};

#endif
