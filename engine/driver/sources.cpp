/*
 * sources.cpp - the loop over a compile line's sources.
 *
 * Each source is analysed in turn.  After a source whose analysis counted an
 * error, the result files the analyser would have left for it are deleted
 * (unless KVX_CC_NO_DEL is set).  When the line names a compiler command and
 * no error was counted, the command is run on the line's files.
 */
#include "driver/analyse.h"
#include "driver/engine.h"
#include "driver/spawn.h"
#include "driver/words.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace kvx {

static std::string base_name(const std::string &path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/* The source's name without its extension. */
static std::string stem(const std::string &path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

static bool is_directory(const std::string &p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

/* The names of a source's result files: its stem with "sta", "mtr" (and the
 * instrumented source), in the output directory when one was given. */
struct OutputNames {
  std::string sta, mtr, inst;
};

static OutputNames output_names(const CompileSettings &s, const std::string &source) {
  std::string base = stem(source);
  if (s.output_given && !s.output.empty() && (s.output.back() == '/' || is_directory(s.output))) {
    std::string dir = s.output;
    if (dir.back() != '/') dir.push_back('/');
    base = dir + base_name(base);
  }
  OutputNames n{base + ".sta", base + ".mtr", base + ".inst.c"};
  for (std::string *p : {&n.sta, &n.mtr, &n.inst})
    for (char &c : *p)
      if (c == '\\') c = '/';
  return n;
}

static void delete_results(const CompileSettings &s, const OutputNames &n) {
  if (getenv("KVX_CC_NO_DEL")) return;
  unlink(n.sta.c_str());
  if (s.metrics_on) unlink(n.mtr.c_str());
  if (s.inst) unlink(n.inst.c_str());
}

/* Runs the compiler command on the line's files; a failure ends the run
 * with the command's status. */
static void run_compiler(Engine &e) {
  CompileSettings &s = e.settings;
  std::vector<std::string> argv;
  split_compile_line(s.cc_command, argv);
  if (argv.empty()) return;
  argv.insert(argv.end(), s.cc_args.begin(), s.cc_args.end());
  for (const std::string &src : s.sources) argv.push_back(s.inst ? output_names(s, src).inst : src);
  argv.insert(argv.end(), s.objects.begin(), s.objects.end());
  fflush(e.out);
  int status = run_program(argv);
  if (status < 0) {
    e.diag.report_system_error(LEVEL_ERROR, argv[0]);
    status = 127;
  }
  if (status != 0) {
    e.diag.report_error("during compilation");
    e.diag.exit_process(status);
  }
}

void analyse_sources(Engine &e) {
  CompileSettings &s = e.settings;
  bool banner = s.sources.size() > 1;
  if (banner) fputs("\nKavexo analysing:\n", e.out);
  for (size_t i = 0; i < s.sources.size(); i++) {
    const std::string src = s.sources[i];
    if (banner) {
      fprintf(e.out, "%s: \n", base_name(src).c_str());
      fflush(e.out);
    }
    OutputNames names = output_names(s, src);
    int before = e.diag.error_count();
    e.note_progress("begin", src);
    analyse_source(e, src);
    e.note_progress("source", src);
    if (e.diag.error_count() > before) delete_results(s, names);
  }
  fflush(e.out);
  if (s.has_cc && e.diag.error_count() == 0) run_compiler(e);
}

}  // namespace kvx
