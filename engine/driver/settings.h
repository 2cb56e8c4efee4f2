/*
 * settings.h - the settings of one compile line.
 *
 * read_compile_line fills them from a line's word vector; the preprocessor
 * and the front end read them while the line's sources are analysed.  The
 * lists and names of a line are cleared after its sources (end_line); the
 * switches keep what an earlier line set, except the few that every line
 * resets (begin_line).
 */
#ifndef KVX_DRIVER_SETTINGS_H
#define KVX_DRIVER_SETTINGS_H

#include <string>
#include <vector>

namespace kvx {

struct CompileSettings {
  /* Lists of the line. */
  std::vector<std::string> pp_args;  /* -D, -U, -I words, implied definitions, unknown options */
  std::vector<std::string> cc_args;  /* words kept for the compiler command */
  std::vector<std::string> sources;  /* C files to analyse, in line order */
  std::vector<std::string> objects;  /* .o and .obj files */
  std::vector<std::string> statics;  /* .sta files */
  std::vector<std::string> metrics;  /* .mtr files */

  /* Option-file names. */
  std::string dialect;     /* as given with "dial", or "msc0900" */
  bool dialect_set = false; /* some line of the run has named a dialect */
  bool dialect_named = false; /* ... with -dial, not by default */
  std::string ddef_file;   /* predefined-macros file */
  std::string mac_file;    /* macro-names file */
  std::string ign_file;    /* ignore file (read at once) */
  std::string tcl_file;    /* instrumentation script */

  /* Outputs and the compiler command. */
  std::string output;          /* "o" directory or file, or the rest of "Fo" */
  bool output_given = false;   /* "o" or "Fo" seen on this line */
  bool fo = false;             /* the output came from "Fo" */
  std::string pch_file;        /* precompiled header of "Yu"/"Yc" */
  std::string cc_command;      /* "cc" or the text of "cc=" */
  bool has_cc = false;

  /* Switches. */
  bool compile_only = true;    /* always set in the rule checker */
  bool keep_pp = false;        /* E: keep the preprocessed output */
  bool cpp_comment = false;    /* cppcomment: accept // comments */
  bool nocccp = false;         /* preprocess inside the engine */
  bool expand = true;          /* mode=exp (default) / mode=noexp */
  bool short_names = true;     /* longname turns it off */
  bool metrics_on = true;      /* nomtr turns it off */
  bool nodate = false;
  bool nocond = false;
  bool inst = false;           /* instrumentation */
  bool cb = false;
  bool system_findings = false; /* -Wsystem-headers: report violations in system headers */
  char x_mode = 0;             /* 'a', 'c', 's', 't' of the last -X option, or 0 */
  int x_count = 0;             /* number of -X options seen in the run */

  /* Start of a line: empties the preprocessor arguments, sets compile-only
   * and clears nocond, inst and Fo. */
  void begin_line();
  /* End of a line: releases every list and name of the line. */
  void end_line();
};

}  // namespace kvx

#endif
