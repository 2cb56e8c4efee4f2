/*
 * engine_process.cpp - the checker as a child process, started by the
 * command runner from an argument vector, its output sent to a file.
 */
#include "engine_process.h"

#include <csignal>
#include <cstdlib>
#include <poll.h>

#include "wendrel_cmdline.h"

EngineProcess::~EngineProcess() { Kill(); }

bool EngineProcess::Start(const std::vector<std::string> &argv, const std::string &cwd,
                          const std::string &console, const std::vector<std::string> &environment,
                          std::string &error) {
  if (argv.empty()) {
    error = "no command";
    return false;
  }
  for (const auto &setting : environment) {
    size_t eq = setting.find('=');
    if (eq != std::string::npos) setenv(setting.substr(0, eq).c_str(), setting.substr(eq + 1).c_str(), 1);
  }
  SSendOutputParams params;
  params.cmdLine = JoinCmdLine(argv);
  params.curDir = cwd;
  params.outputFile = console;
  params.errToOutput = true;
  /* A group of its own: ending the run ends kvx_cccp too. */
  SStartupInfo startup;
  startup.newProcessGroup = true;
  info_ = SProcessInfo();
  if (!SendOutputTo(params, &startup, &info_)) {
    error = info_.error.empty() ? "cannot be started" : info_.error;
    return false;
  }
  running_ = true;
  return true;
}

bool EngineProcess::WaitFor(int millis) {
  if (!running_) return true;
  struct pollfd p = {info_.process, POLLIN, 0};
  if (info_.process >= 0 && poll(&p, 1, millis) == 0) return false;
  status_ = CollectProcess(info_);
  running_ = false;
  return true;
}

void EngineProcess::Kill() {
  if (!running_) return;
  if (info_.processId > 0) kill(-info_.processId, SIGTERM);
  status_ = CollectProcess(info_);
  running_ = false;
}
