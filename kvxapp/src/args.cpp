/*
 * args.cpp - process set-up: program name, machine name and arguments.
 */
#include "internal.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct ArgState {
  std::string program = "kvxapp";
  std::vector<std::string> args;
  std::vector<char *> argv;
};

ArgState &state() {
  static ArgState s;
  return s;
}

/* Base name of the running executable without its extension. */
std::string module_name(const char *argv0) {
  std::string p;
  char buf[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
  if (n > 0)
    p.assign(buf, (size_t)n);
  else if (argv0)
    p = argv0;
  p = kvxapp::base_part(p);
  size_t dot = p.rfind('.');
  if (dot != std::string::npos && dot > 0) p.erase(dot);
  return p.empty() ? std::string("kvxapp") : p;
}

}  // namespace

extern "C" {

void arg_init(int argc, char **argv) {
  ArgState &s = state();
  s.program = module_name(argc > 0 && argv ? argv[0] : nullptr);
  s.args.clear();
  for (int i = 0; i < argc && argv; i++) s.args.emplace_back(argv[i] ? argv[i] : "");
  s.argv.clear();
  for (auto &a : s.args) s.argv.push_back(a.data());
  s.argv.push_back(nullptr);
}

const char *arg_get_program_name(void) { return state().program.c_str(); }

/* "default" entities of the language and dialect tables name this. */
const char *arg_get_machine_name(void) { return "linux"; }

int arg_get_argc(void) { return (int)state().args.size(); }

char **arg_get_argv(void) {
  ArgState &s = state();
  if (s.argv.empty()) s.argv.push_back(nullptr);
  return s.argv.data();
}

}  // extern "C"
