/*
 * make_build.cpp - build runs: an archive of analysis results or the
 * instrumented binary is made by writing the application's makefile to a
 * temporary file and running make on it.
 *
 * A run: the start-up file (".kvx_make_rc", found by the file search) with
 * the makefile name, the removal of the earlier results, then
 * "make -f MAKEFILE [CLEAN] GOAL".  Every name in these commands is quoted
 * for the shell; the temporary makefile is removed on every path.
 */
#include "makefile.h"
#include "shell.h"

#include <cstdlib>
#include <cstring>

using namespace kvxapp;

namespace {

/* The make target(s) named before the goal of a build that cleans first. */
std::string &clean_target() {
  static std::string text;
  return text;
}

enum Goal { STATIC, METRIC, REVERSE, DATA, BINARY };

/* A path the shell runs as given, not looked up in PATH. */
std::string runnable(const std::string &path) {
  return path.find('/') == std::string::npos ? "./" + path : path;
}

void start_up(const std::string &makefile) {
  std::string rc = search(nullptr, "KVX_MAKE_RC", ".kvx_make_rc", "$KVX_UTIL");
  if (rc.empty()) return;
  int status = shell::run(shell::quote(runnable(rc)) + " " + shell::quote(makefile));
  if (status != 0) report_message(REPORT_WARNING, "%s: start-up file ended with status %d", rc.c_str(), status);
}

char *build(KvxApplication *a, Goal goal, bool clean) {
  if (!a) return nullptr;
  if (list_nb_items(a->files) == 0) {
    report_message(REPORT_ERROR, "application is empty");
    return nullptr;
  }
  if (!mk::names_fit(a)) return nullptr;

  static const char *const archive_ext[] = {".arc.res", ".arc.mtr", ".arc.cd", ".arc.dck", ""};
  std::string target = mk::app_name(a, archive_ext[goal]);
  std::string res = mk::app_name(a, ".arc.res");

  shell::TempFile makefile;
  if (makefile.path().empty() || !mk::write_file(a, makefile.path())) return nullptr;
  start_up(makefile.path());

  std::string remove = "rm -f " + shell::quote(goal == BINARY ? res : target);
  if (goal == METRIC || goal == BINARY) remove += " " + shell::quote(goal == METRIC ? res : target);
  shell::run(remove);

  std::string make = "make -f " + shell::quote(makefile.path()) + " " +
                     (clean ? shell::quote_words(clean_target().c_str()) : std::string()) + " " +
                     shell::quote(target);
  if (shell::run(make) != 0) {
    report_message(REPORT_ERROR, goal == BINARY ? "unable to build instrumented binary"
                                                : "unable to build Kavexo results");
    return nullptr;
  }
  return dup(goal == BINARY ? res : target);
}

}  // namespace

extern "C" {

char *application_build_res(KvxApplication *a) { return build(a, STATIC, false); }
char *application_build_mtr(KvxApplication *a) { return build(a, METRIC, false); }
char *application_build_cd(KvxApplication *a) { return build(a, REVERSE, false); }
char *application_build_dck(KvxApplication *a) { return build(a, DATA, false); }
char *application_build_binary(KvxApplication *a, int clean) { return build(a, BINARY, clean != 0); }

void application_set_clean_target(const char *text) { clean_target() = str(text); }

}  // extern "C"
