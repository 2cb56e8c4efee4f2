/* run_program.h - running a built program in a scratch directory and
 * collecting its standard output, standard error and exit status. */
#ifndef KVX_TESTS_RUN_PROGRAM_H
#define KVX_TESTS_RUN_PROGRAM_H

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kvxtest {

struct Result {
  std::string out;
  std::string err;
  int status = -1;
};

/* Path of a program of the build tree (build/bin/<name>). */
std::string built_program(const std::string &name);

/* Runs program with argv (argv[0] included) in directory cwd, with the
 * environment of the test plus the given settings (a value of null
 * removes the variable).  With merge_output, standard error goes to the
 * same file as standard output (Result::out), as in a console log. */
Result run(const std::string &program, const std::vector<std::string> &argv,
           const std::filesystem::path &cwd,
           const std::vector<std::pair<std::string, const char *>> &env = {},
           bool merge_output = false);

/* A scratch directory removed at the end of the test. */
struct Scratch {
  std::filesystem::path dir;
  Scratch();
  ~Scratch();
  /* Writes a file below the directory (creating its directories). */
  std::filesystem::path write(const std::string &rel, const std::string &text) const;
  std::filesystem::path operator/(const std::string &rel) const { return dir / rel; }
};

std::string read_file(const std::filesystem::path &p);

}  // namespace kvxtest

#endif
