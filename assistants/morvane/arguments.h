/*
 * arguments.h - the command line of the makefile import assistant.
 *
 *   morvane "profile.prf" "application.app" ["compile_commands.json"]
 *       import mode (the workbench starts it so); a third argument names a
 *       compilation database to read in place of a build;
 *   morvane -init "profile.prf"   (or /init, any letter case)
 *       make command settings mode.
 *
 * Each argument is trimmed and stripped of enclosing double quotes.
 */
#ifndef MORVANE_ARGUMENTS_H
#define MORVANE_ARGUMENTS_H

#include <string>
#include <vector>

#include "tessary_text.h"

struct SMorvaneArgs {
  enum EMode { Usage, Import, Init };
  EMode mode = Usage;
  CPathName profile, application, database;
};

/* args: the words after the program's name; relative paths are taken from
 * dir. */
SMorvaneArgs ReadMorvaneArgs(const std::vector<std::string> &args, const CPathName &dir);

extern const char *const kMorvaneUsage;

#endif
