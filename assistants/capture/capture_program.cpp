/*
 * capture_program.cpp - start of the capture programs.
 */
#include "capture_program.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

#include "kvxapp.h"

bool StartCaptureProgram(CEnvironment &env, CErrorLog &log, bool loadCatalogue,
                         const std::function<void(const std::string &)> &fatal) {
  TheErrorLog = &log;
  TheEnvironment = &env;
  env.SetGUI(false);
  CPathName exe = GetRunningProgramPath();
  exe.MakeShort();
  env.SetExePath(exe);
  try {
    env.GetGlobals().Load();
  } catch (const CZKException &e) {
    fatal(e.what());
    return false;
  }
  if (loadCatalogue && !env.GetGlobals().GetAllRulesPath().IsEmpty()) env.LoadAllRules();

  static char name[] = "main";
  static char *argv[] = {name, nullptr};
  arg_init(1, argv);
  lang_init();
  dialect_init();
  return true;
}

CPathName GetCurrentDirectory() {
  std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
  CPathName dir(cwd ? cwd.get() : "/");
  dir.AddEndingDirSeparator();
  return dir;
}

bool HasDisplay() {
  const char *platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && (std::strncmp(platform, "offscreen", 9) == 0 || std::strncmp(platform, "minimal", 7) == 0))
    return false;
  for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char *v = std::getenv(name);
    if (v && *v) return true;
  }
  return false;
}
