/*
 * dialect.h - the compiler dialects and what each one selects.
 *
 * The driver calls select_dialect for the compile-line option "dial" (and with
 * default_dialect_name() when a run has named none); the result tells the
 * preprocessor its mode and include-name rule and the lexer its keyword set.
 */
#ifndef KVX_FRONTEND_DIALECT_H
#define KVX_FRONTEND_DIALECT_H

#include <string>
#include <string_view>

#include "driver/diag.h"
#include "frontend/keywords.h"

namespace kvx::fe {

struct Dialect {
  std::string name = "msc0900";   /* lower case; "ansi" for an unknown name */
  KeywordSet keywords = KeywordSet::MSC50;
  bool traditional = false;       /* traditional rather than standard preprocessing */
  bool backslash_to_slash = true; /* turn '\' into '/' in include names */
  bool gnu_extensions = false;    /* preprocessor's GNU extensions switch */
  bool dollar_in_identifiers = true; /* '$' is an identifier character */
  /* C99-level preprocessing: 64-bit #if arithmetic, the standard's exact
   * expansion rules and the later directives and operators. */
  bool c99 = false;

  /* Base names of the dialect's option files ("ansi.def", "ansi.ign"). */
  std::string def_file_name() const { return name + ".def"; }
  std::string ign_file_name() const { return name + ".ign"; }
};

/* The dialect used when no compile line of the run has named one. */
inline constexpr std::string_view default_dialect_name() { return "msc0900"; }

/* Whether the dialect of that name (any case) is one of GCC's (the
 * C99-level ones), whose compile lines are GCC's. */
bool is_gcc_dialect(std::string_view name);

/* Selects a dialect by name, compared without regard to case.  An unknown
 * name gives the warning " unknown dialect %s : Ansi is assumed" and selects
 * ansi. */
Dialect select_dialect(std::string_view name, Diagnostics &diag);

/* The -X options of a compile line: which one was selected last and how many
 * were written. */
struct XOptions {
  bool a = false, c = false, s = false, t = false;
  int count = 0;
};

/* Returns the option word that goes to the preprocessor ("-Xa", "-Xc", "-Xs",
 * "-Xt", chosen in that order of priority) or an empty string when none is
 * selected.  More than one -X option on the line gives the warning
 * "using -Xa, ignoring all other -X options" naming the selected one. */
std::string select_x_option(const XOptions &x, Diagnostics &diag);

}  // namespace kvx::fe

#endif
