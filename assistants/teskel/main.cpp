/*
 * main.cpp - the capture program: started by a capture build in place of
 * the user's compiler or make (see capture_run.h).  It has no window of its
 * own; when options stored for a file differ from the ones it sees, it asks
 * in a message box, or, with no display to ask on, keeps them and says so
 * on standard error.
 */
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "asker.h"
#include "capture_program.h"

int main(int argc, char **argv) {
  CQuietErrorLog log;
  CEnvironment env;
  if (!StartCaptureProgram(env, log, false, [](const std::string &text) {
        std::fprintf(stderr, "teskel: %s\n", text.c_str());
      }))
    return eCaptureFailed;

  SCaptureRequest request =
      ReadCaptureRequest(std::vector<std::string>(argv + 1, argv + argc), GetCurrentDirectory());
  std::unique_ptr<CCaptureAsker> asker;
  if (HasDisplay()) {
    CPathName module = GetRunningProgramPath().GetDirectory() + CPathName("../lib/libteskel_ask.so");
    module.Canonicalize();
    asker = std::make_unique<CModuleAsker>(module.Str());
  }
  CCaptureRun run(asker.get(), stderr);
  return run.Run(request);
}
