/*
 * retriever_standin.cpp - stands in for the application file retriever:
 *
 *     retriever_standin PROFILE APPLICATION
 *
 * reads the application, then its makefile, and adds to the application
 * every word of the makefile that names a .c file (relative to the
 * makefile's directory), sets the target "all" and saves the application
 * again.  A makefile line "sleep" makes it wait 20 seconds first (for the
 * tests of Cancel); "fail" makes it exit with status 3.
 */
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "kvxapp.h"

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: retriever_standin PROFILE APPLICATION\n");
    return 2;
  }
  arg_init(argc, argv);
  lang_init();
  KvxApplication *app = application_load(argv[2]);
  if (!app) return 2;
  char *makefile = application_get_makefilepath(app);
  std::string path = makefile ? makefile : "";
  std::free(makefile);
  if (!path.empty() && path[0] != '/') {
    std::string self = argv[2];
    path = self.substr(0, self.rfind('/') + 1) + path;
  }
  std::string dir = path.substr(0, path.rfind('/') + 1);
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line == "sleep") sleep(20);
    if (line == "fail") return 3;
    std::istringstream words(line);
    std::string w;
    while (words >> w)
      if (w.size() > 2 && w.compare(w.size() - 2, 2, ".c") == 0)
        application_add_file(app, (w[0] == '/' ? w : dir + w).c_str());
  }
  application_set_target(app, "all");
  int ok = application_save(app, argv[2]);
  application_free(app);
  return ok ? 0 : 1;
}
