/*
 * run.cpp - the run sequence of kvx_zkck_cc.
 *
 *  1. program name from the first argument
 *  2. argument count; the report file
 *  3. the two list files
 *  4. the Tcl interpreter (and the model's rule commands)
 *  5. the procedures file
 *  6. the program model's fixed part
 *  7. every compile line: split, read its options, analyse its sources
 *  8. no rule runs on a model that had errors
 *  9. every rule file of the rule list, in order
 * 10. tear-down
 * 11. summary and exit status
 */
#include "driver/run.h"

#include "model/commands.h"

#include "driver/analyse.h"
#include "driver/engine.h"
#include "driver/line_reader.h"
#include "driver/options.h"
#include "driver/paths.h"
#include "driver/rule_file.h"
#include "driver/tcl_report.h"
#include "driver/words.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <tcl.h>

namespace kvx {

static const char *const VERSION = "2.1";

/* Last component of the first argument (after '/' or '\'), cut at its
 * first '.'. */
static std::string name_from_argv0(const char *argv0) {
  std::string p = argv0 && *argv0 ? argv0 : "kvx_zkck_cc";
  size_t slash = p.find_last_of("/\\");
  if (slash != std::string::npos) p.erase(0, slash + 1);
  size_t dot = p.find('.');
  if (dot != std::string::npos) p.erase(dot);
  return p;
}

/* The name of the usage line: everything up to the last '/' removed, the
 * extension from the last '.' cut unless that '.' is the first character. */
static std::string usage_name(const char *argv0) {
  std::string p = argv0 && *argv0 ? argv0 : "kvx_zkck_cc";
  size_t slash = p.rfind('/');
  if (slash != std::string::npos) p.erase(0, slash + 1);
  size_t dot = p.rfind('.');
  if (dot != std::string::npos && dot != 0) p.erase(dot);
  return p;
}

/* True when both names denote one existing file. */
static bool same_file(const char *a, const char *b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

/* Opens a list file; a file that cannot be opened (or is a directory) is
 * fatal. */
static FILE *open_list(Engine &e, const char *name) {
  struct stat st;
  if (stat(name, &st) == 0 && S_ISDIR(st.st_mode)) e.diag.report_system_error(LEVEL_FATAL, name, EISDIR);
  FILE *f = fopen(name, "r");
  if (!f) e.diag.report_system_error(LEVEL_FATAL, name, errno);
  return f;
}

/* A list file, closed however the run ends (tests end runs by throwing
 * from the exit handler). */
struct ListFile {
  FILE *f = nullptr;
  ListFile() = default;
  ListFile(const ListFile &) = delete;
  ListFile &operator=(const ListFile &) = delete;
  ~ListFile() { close(); }
  void close() {
    FILE *g = f;
    f = nullptr;
    if (g) fclose(g);
  }
};

/* Normal end: the report file is closed, the summary gives the status. */
static int finish(Engine &e, ListFile &list_c, ListFile &list_rules) {
  list_c.close();
  list_rules.close();
  e.close_report();
  int status = e.diag.summary();
  fflush(e.out);
  return status;
}

/* Opens a rule file under its listed name, else beside the program.  On
 * failure the name tried last is reported with the system error. */
static FILE *open_rule_file(Engine &e, const std::string &word) {
  std::string tried = word;
  int err = 0;
  for (int attempt = 0; attempt < 2; attempt++) {
    if (attempt == 1) {
      if (!word.empty() && word[0] == '/') break; /* absolute: nowhere else to look */
      tried = e.program_dir + "/" + word;
    }
    struct stat st;
    if (stat(tried.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      err = EISDIR;
      continue;
    }
    if (FILE *f = fopen(tried.c_str(), "r")) return f;
    err = errno;
  }
  e.diag.report_system_error(LEVEL_ERROR, tried, err);
  return nullptr;
}

static void run_compile_lines(Engine &e, FILE *list) {
  LineReader reader;
  std::string_view line;
  std::vector<std::string> argv;
  while (reader.read(list, line)) {
    argv.clear();
    argv.push_back(e.argv0);
    argv.push_back("-c");
    split_compile_line(line, argv);
    read_compile_line(e, argv);
    analyse_compile_line(e);
    e.settings.end_line();
  }
  reader.release();
}

static void run_rules(Engine &e, FILE *list) {
  LineReader reader;
  std::string_view line;
  RuleText rule;
  while (reader.read(list, line)) {
    std::string word(rule_list_name(line));
    if (word.empty()) continue;
    FILE *f = open_rule_file(e, word);
    if (!f) {
      e.note_progress("rule", word);
      continue;
    }
    bool ok = read_rule_file(f, rule);
    int read_errno = errno;
    fclose(f);
    if (!ok) {
      e.diag.report_system_error(LEVEL_ERROR, word, read_errno);
      e.note_progress("rule", word);
      continue;
    }
    if (rule.has_key)
      Tcl_SetVar2(e.interp, "thisRule", nullptr, rule.key.c_str(), TCL_GLOBAL_ONLY);
    else
      Tcl_UnsetVar2(e.interp, "thisRule", nullptr, TCL_GLOBAL_ONLY);
    int code = Tcl_EvalEx(e.interp, rule.code.data(), (int)rule.code.size(), TCL_EVAL_GLOBAL);
    e.flush_output();
    if (code != TCL_OK) report_tcl_error(e.diag, e.interp, word, ".CODE + ");
    Tcl_ResetResult(e.interp);
    e.note_progress("rule", word);
    rule = RuleText{};
  }
  reader.release();
}

int run_checker(int argc, char **argv, Engine &e) {
  /* 1. */
  const char *argv0 = argc > 0 && argv[0] ? argv[0] : "kvx_zkck_cc";
  e.argv0 = argv0;
  e.diag.set_program_name(name_from_argv0(argv0));
  const char *progress = getenv("KVX_PROGRESS");
  e.progress = progress && *progress && strcmp(progress, "0") != 0;

  /* 2. */
  if (argc == 2 && strcmp(argv[1], "-v") == 0) {
    fprintf(e.out, "Kavexo rule checker version %s (%s)\n", VERSION, e.diag.program_name().c_str());
    fflush(e.out);
    return 1;
  }
  if (argc != 3 && argc != 4) {
    e.diag.write("usage: " + usage_name(argv0) + " file_of_C file_of_rules\n");
    return 1;
  }
  if (argc == 4) {
    if (same_file(argv[3], argv[1]) || same_file(argv[3], argv[2])) {
      /* Truncating it would destroy the input of the run. */
      e.diag.write(std::string(argv[3]) + ": the report file is one of the list files\n");
    } else {
      e.report = fopen(argv[3], "w");
      if (!e.report) e.diag.write(std::string(argv[3]) + ": " + system_error_text(errno) + "\n");
    }
  }

  /* 3. */
  ListFile list_c, list_rules;
  list_c.f = open_list(e, argv[1]);
  list_rules.f = open_list(e, argv[2]);

  /* 4. */
  e.create_interp();
  /* The model (with its fixed part: the application object, its global
   * scope, the built-in types and operator functions) exists before the
   * rule commands are registered, under their capitalised and their
   * all-lower-case names, so that the procedures file can use them. */
  e.model = create_model(e.diag);
  e.violations = std::make_unique<ViolationSink>(e.report, e.out);
  register_model_commands(e.interp, *e.model, *e.violations, e.diag.stream());

  /* 5. */
  std::string procedures = "procedures.tcl";
  if (!is_readable_file(procedures)) procedures = e.find_in_util("procedures.tcl");
  if (!procedures.empty() && Tcl_EvalFile(e.interp, procedures.c_str()) != TCL_OK) {
    e.flush_output();
    report_tcl_error(e.diag, e.interp, procedures, "");
    return finish(e, list_c, list_rules);
  }

  /* 6. The model's fixed part was made with the model in step 4. */

  /* 7. */
  run_compile_lines(e, list_c.f);

  /* 8. */
  list_c.close();
  if (e.diag.error_count() != 0) return finish(e, list_c, list_rules);

  /* 9. */
  e.violations->keep_system_findings(e.settings.system_findings);
  run_rules(e, list_rules.f);
  if (long n = e.violations->system_left_out())
    e.diag.write(e.diag.program_name() + ": " + std::to_string(n) +
                 " violation(s) located in system headers left out (-Wsystem-headers keeps them).\n");

  /* 10. */
  list_rules.close();
  e.delete_interp();
  e.violations.reset();
  e.model.reset();

  /* 11. */
  return finish(e, list_c, list_rules);
}

}  // namespace kvx
