/*
 * setup_standin.cpp - stands in for the application file retriever in its
 * make-command mode:
 *
 *     setup_standin -init PROFILE
 *
 * sets the four make command settings of the profile file (gmake, --file,
 * --always-make, --target), keeping every other line.  Any other command
 * line makes it exit with status 2.
 */
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char **argv) {
  if (argc != 3 || std::strcmp(argv[1], "-init") != 0) {
    std::fprintf(stderr, "usage: setup_standin -init PROFILE\n");
    return 2;
  }
  static const char *const settings[][2] = {{"MAKE_COMMAND_PATH=", "gmake"},
                                            {"MAKE_MAKEFILE_NAME_OPTION=", "--file"},
                                            {"MAKE_BUILD_ALL_OPTION=", "--always-make"},
                                            {"MAKE_TARGET_OPTION=", "--target"}};
  std::ifstream in(argv[2]);
  if (!in) return 1;
  std::ostringstream out;
  std::string line;
  while (std::getline(in, line)) {
    for (const auto &s : settings)
      if (line.rfind(s[0], 0) == 0) line = std::string(s[0]) + s[1];
    out << line << '\n';
  }
  in.close();
  std::ofstream(argv[2]) << out.str();
  return 0;
}
