/*
 * engine_process.h - starting the checker of a prepared run: the one place
 * where kvx_check creates a process, through the command runner.  The
 * command is an argument vector (no shell); standard output and standard
 * error go to the run's console file, which the caller reads while the
 * checker runs.
 */
#ifndef KVX_CHECK_ENGINE_PROCESS_H
#define KVX_CHECK_ENGINE_PROCESS_H

#include <string>
#include <vector>

#include "wendrel_run.h"

class EngineProcess {
 public:
  EngineProcess() = default;
  EngineProcess(const EngineProcess &) = delete;
  EngineProcess &operator=(const EngineProcess &) = delete;
  /* A process still running is ended. */
  ~EngineProcess();

  /* Starts argv[0] in cwd with the given environment settings
   * ("NAME=value", set in this process, whose environment the child
   * inherits); false with a message in error when it cannot. */
  bool Start(const std::vector<std::string> &argv, const std::string &cwd, const std::string &console,
             const std::vector<std::string> &environment, std::string &error);
  /* Waits up to millis milliseconds; true once the process has ended. */
  bool WaitFor(int millis);
  /* The exit status (128 + the signal's number when a signal ended it, -1
   * when it could not be collected); valid after WaitFor. */
  int Status() const { return status_; }
  /* Ends the process and whatever it started. */
  void Kill();

 private:
  SProcessInfo info_;
  bool running_ = false;
  int status_ = -1;
};

#endif
