/*
 * engine.h - the context of one run of the rule checker.
 *
 * Everything a run keeps lives here rather than in globals, so that tests
 * can run several engines in one process: the diagnostics, the settings of
 * the current compile line and its ignore table, the Tcl interpreter the
 * rules run in, the report file, and where the installation lies.
 */
#ifndef KVX_DRIVER_ENGINE_H
#define KVX_DRIVER_ENGINE_H

#include "driver/diag.h"
#include "driver/ignore.h"
#include "driver/settings.h"
#include "frontend/dialect.h"
#include "model/model.h"
#include "model/violation.h"

#include <memory>

#include <cstdio>
#include <string>

struct Tcl_Interp;

namespace kvx {

class Engine {
 public:
  explicit Engine(FILE *err = stderr, FILE *out = stdout);
  ~Engine();
  Engine(const Engine &) = delete;
  Engine &operator=(const Engine &) = delete;

  Diagnostics diag;
  CompileSettings settings;
  IgnoreTable ignore;

  /* The program's own first argument, handed on as the first word of every
   * compile line's vector. */
  std::string argv0;
  /* Base name of the running executable: the program name diagnostics
   * carry once compile lines are read.  Tests may set it. */
  std::string module_name;
  /* Directory of the running executable: base of the installation
   * searches ("<dir>/../util/<name>", "<dir>/<name>").  Tests may set it. */
  std::string program_dir;

  /* Standard output: banners, analysing lines, violations without a
   * report file. */
  FILE *out;
  /* The report file of the run, or null. */
  FILE *report = nullptr;
  /* Where violations go: the report file, else standard output. */
  FILE *violation_stream() const { return report ? report : out; }

  Tcl_Interp *interp = nullptr;

  /* The program model the sources are analysed into, and where the rules'
   * violations are written; both exist from the creation of the
   * interpreter to the end of the run. */
  std::unique_ptr<Model> model;
  std::unique_ptr<ViolationSink> violations;

  /* The dialect in force and the name it was selected by. */
  fe::Dialect dialect;
  std::string dialect_requested;
  bool dialect_selected = false;
  /* The macro-names file found for the current line, or empty. */
  std::string mac_file;
  /* "using default options file" is printed once per run. */
  bool default_def_announced = false;
  /* The external preprocessor; empty: kvx_cccp beside the program. */
  std::string cccp_program;
  /* Progress lines for a program that watches the run (KVX_PROGRESS). */
  bool progress = false;


  /* "<program dir>/../util/<name>" when readable, else empty. */
  std::string find_in_util(std::string_view name) const;
  /* "<program dir>/<name>" when readable, else empty. */
  std::string find_beside_program(std::string_view name) const;

  /* Flushes what rules printed through Tcl's standard channels and the
   * engine's standard output, so that console output keeps its order. */
  void flush_output();
  /* With progress on, one line "kvx_progress: <what> <errors> <name>" on
   * standard output, after everything printed so far: "begin" and
   * "source" around each source, "rule" after each rule. */
  void note_progress(const char *what, std::string_view name);

  void create_interp();
  void delete_interp();
  void close_report();
};

}  // namespace kvx

#endif
