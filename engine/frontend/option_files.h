/*
 * option_files.h - the dialect's option files: where they are found and how
 * the predefined-macros (.def) and macro-names (.mac) files read.
 *
 * The readers hand what they find to the caller (the driver connects them to
 * the preprocessor's macro, include and assertion tables); they report their
 * own format warnings through Diagnostics.
 */
#ifndef KVX_FRONTEND_OPTION_FILES_H
#define KVX_FRONTEND_OPTION_FILES_H

#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_set>

#include "driver/diag.h"

namespace kvx::fe {

/* Where an option file was found. */
enum class FoundBy { None, Option, Environment, CurrentDir, Home, UtilEnv, Installation };

struct FoundFile {
  std::string path;
  FoundBy by = FoundBy::None;
};

/* Searches, in order: the compile-line option's file, the environment
 * variable's value, the default name in the current directory, in $HOME, in
 * $KVX_UTIL and in the installation's utility directory (program_dir/../util).
 * Each step counts only when the file exists. */
FoundFile find_option_file(std::string_view option_value, const char *env_var,
                           std::string_view default_name, std::string_view program_dir);

/* Receives the entries of a predefined-macros file. */
class DefSink {
 public:
  virtual ~DefSink() = default;
  /* params: -1 for an object-like macro, else the parameter count.  Returns
   * false when the definition cannot be made. */
  virtual bool define(std::string_view name, int params, std::string_view text) = 0;
  virtual void include_dir(std::string_view dir) = 0;
  /* "predicate(answer)" */
  virtual void assertion(std::string_view entry) = 0;
};

/* Reads a .def stream line by line; a bad line gives the warning "syntax
 * error in predefined macros file" and is skipped. */
void read_def_file(FILE *in, DefSink &sink, Diagnostics &diag);
/* One line (without its newline); false for a bad line (warned). */
bool read_def_line(std::string_view line, DefSink &sink, Diagnostics &diag);

/* Reads the words of a .mac stream (separated by white space). */
std::unordered_set<std::string> read_macro_names(FILE *in);

}  // namespace kvx::fe

#endif
