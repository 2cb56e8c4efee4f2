/*
 * optfiles.h - the option files of a dialect: predefined-macros (.def) and
 * macro-names (.mac) files, and the search that finds them.
 */
#ifndef KVX_PREPROCESSOR_OPTFILES_H
#define KVX_PREPROCESSOR_OPTFILES_H

#include <string>
#include <vector>

namespace kvx::pp {

class Preprocessor;

/* The six-step search: the name given on the compile line, the value of the
 * environment variable, the default name in the current directory, in
 * $HOME, in $KVX_UTIL, and in the utility directory beside the program.
 * Empty when no step finds an existing file. */
std::string find_option_file(const std::string &given, const char *env_var,
                             const std::string &default_name);

/* Reads a macro-names file: words separated by white space. */
bool read_macro_names(const std::string &path, std::vector<std::string> &names);

/* Applies a .def file (kinds I, D, A) or a .mac file to a preprocessor. */
void read_def_file(Preprocessor &pp, const std::string &path);
void read_mac_file(Preprocessor &pp, const std::string &path);

}  // namespace kvx::pp

#endif
