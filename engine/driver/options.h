/*
 * options.h - reading a compile line's word vector into the settings.
 *
 * A word beginning with '-' is an option; so is a word beginning with '/'
 * unless it names an existing file or directory or ends in one of the file
 * suffixes (".c", ".C", ".o", ".obj", ".sta", ".mtr"), because absolute file
 * names begin with '/' too.  Other words are file names or compiler
 * arguments, told apart by their ending.
 */
#ifndef KVX_DRIVER_OPTIONS_H
#define KVX_DRIVER_OPTIONS_H

#include <string>
#include <string_view>
#include <vector>

namespace kvx {

class Engine;

/* Reads argv (argv[0] is the program, the options and files follow) into
 * e.settings.  A missing option argument reports its message, prints the
 * usage text and ends the process with status 1, as "help" does. */
void read_compile_line(Engine &e, const std::vector<std::string> &argv);

/* Prints the usage text on the error stream: the program name and ":",
 * then the usage file "<program name>.us" (beside the program, else in the
 * utility directory), or "Sorry, no usage file available.". */
void print_usage(Engine &e);

/* True when a word beginning with '/' is a file name rather than an
 * option. */
bool slash_word_is_file(const std::string &word);

}  // namespace kvx

#endif
