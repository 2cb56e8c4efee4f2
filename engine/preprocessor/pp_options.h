/*
 * pp_options.h - the configuration of one preprocessing run.
 *
 * The driver fills it from the compile line and the dialect; kvx_cccp fills
 * it from its own command line.  The dialect-derived switches are plain
 * fields so that the preprocessor does not depend on the dialect table.
 */
#ifndef KVX_PREPROCESSOR_PP_OPTIONS_H
#define KVX_PREPROCESSOR_PP_OPTIONS_H

#include <string>
#include <string_view>
#include <vector>

namespace kvx::pp {

struct Options {
  /* Standard preprocessing (prescan, '#', '##', trigraphs); false selects
   * traditional preprocessing (parameters inside strings, no '#'). */
  bool standard = true;
  bool trigraphs = true;           /* replace the nine trigraphs (standard mode only) */
  bool backslash_includes = false; /* '\' becomes '/' in include names */
  bool gnu = false;                /* GNU extensions switch of the dialect */
  /* C99 level (the GNU, C99 and C11 dialects): 64-bit #if arithmetic, the
   * standard's exact expansion rules, _Pragma, __has_include and the other
   * later directives and operators. */
  bool c99 = false;
  bool cpp_comments = true;        /* '//' starts a line comment */
  bool expand = true;              /* expansion mode: true "mode=exp", false "mode=noexp" */
  std::string mac_file;            /* macro-names file, empty for none */
  std::vector<std::string> macro_names; /* further names of the macro-names set */
  std::string def_file;            /* predefined-macros file, empty for none */
  /* Preprocessor arguments in order: "-D", "-U", "-I", "-S" in any of their
   * spellings; other words are ignored here. */
  std::vector<std::string> args;
  std::string marker = "@KVX #";   /* text opening an annotation comment */
  /* Precompiled-header file of the compile line (options Yu/Yc): its
   * inclusion is not recorded. */
  std::string pch_file;
};

/* GCC's options that name a directory or a file (-isystem, -idirafter,
 * -iquote, -include, -imacros), with the argument attached or in the next
 * word: the length of the option's name when word is one of them, else 0. */
size_t gcc_path_option(std::string_view word);

}  // namespace kvx::pp

#endif
