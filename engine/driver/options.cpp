/*
 * options.cpp - the compile-line option table and the non-option words.
 */
#include "driver/options.h"

#include "driver/engine.h"
#include "driver/paths.h"

#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace kvx {

static bool ends_with(std::string_view s, std::string_view suf) {
  return s.size() >= suf.size() && s.compare(s.size() - suf.size(), suf.size(), suf) == 0;
}

static bool ends_with_nocase(std::string_view s, std::string_view suf) {
  return s.size() >= suf.size() &&
         strncasecmp(s.data() + s.size() - suf.size(), suf.data(), suf.size()) == 0;
}

bool slash_word_is_file(const std::string &word) {
  if (ends_with(word, ".c") || ends_with(word, ".C") || ends_with(word, ".o") ||
      ends_with_nocase(word, ".obj") || ends_with(word, ".sta") || ends_with(word, ".mtr"))
    return true;
  struct stat st;
  return stat(word.c_str(), &st) == 0;
}

void print_usage(Engine &e) {
  std::string name = e.diag.program_name();
  e.diag.write(name + ":\n");
  std::string file = name + ".us";
  std::string path = e.find_beside_program(file);
  if (path.empty()) path = e.find_in_util(file);
  FILE *f = path.empty() ? nullptr : fopen(path.c_str(), "r");
  if (!f) {
    e.diag.write("Sorry, no usage file available.\n");
    return;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) e.diag.write(std::string_view(buf, n));
  fclose(f);
}

namespace {

/* Walks one word vector; keeps the position for options with arguments. */
struct Reader {
  Engine &e;
  CompileSettings &s;
  const std::vector<std::string> &argv;
  size_t i = 1;
  /* the line's dialect (named on it, else the one in force) is GCC's */
  bool gcc_line = false;

  [[noreturn]] void usage_exit(const char *msg) {
    if (msg) e.diag.report_error(msg);
    print_usage(e);
    e.diag.exit_process(1);
  }

  /* The argument of an option: the next word, which must not begin with
   * '-'; a missing one ends the run with msg. */
  const std::string &argument(const char *msg) {
    if (i + 1 >= argv.size() || argv[i + 1].empty() || argv[i + 1][0] == '-') usage_exit(msg);
    return argv[++i];
  }

  void pp(const char *a) { s.pp_args.emplace_back(a); }

  void compiler_arg(const std::string &w) {
    /* Precompiled-header options name their header instead of being kept. */
    if (w.size() >= 3 && (w[0] == '-' || w[0] == '/') && w[1] == 'Y' && (w[2] == 'u' || w[2] == 'c')) {
      s.pch_file = w.size() > 3 ? w.substr(3) : std::string("stdwin.h");
      return;
    }
    s.cc_args.push_back(w);
  }

  void set_output(const std::string &name) {
    if (s.output_given) {
      e.diag.report_error(" Option -o is allowed only once");
      return;
    }
    s.output_given = true;
    s.output = name;
  }

  void option(const std::string &w);
  bool gcc_option(const std::string &w);
  void file_word(const std::string &w);
  void run();
};

struct Implied {
  const char *name;
  const char *def1;
  const char *def2;
};

const Implied implied_defs[] = {
    {"Za", "-D__STDC__=1", nullptr},     {"J", "-D_CHAR_UNSIGNED", nullptr},
    {"MD", "-D_DLL", "-D_MT"},           {"MDd", "-D_DLL", "-D_MT"},
    {"GB", "-D_M_IX86=400", nullptr},    {"G4", "-D_M_IX86=400", nullptr},
    {"G3", "-D_M_IX86=300", nullptr},    {"G5", "-D_M_IX86=500", nullptr},
    {"G0", "-DM_I8086", "-D_M_I8086"},   {"G1", "-DM_I286", "-D_M_I286"},
    {"G2", "-DM_I286", "-D_M_I286"},     {"AT", "-DM_I86TM", "-D_M_I86TM"},
    {"AS", "-DM_I86SM", "-D_M_I86SM"},   {"AC", "-DM_I86CM", "-D_M_I86CM"},
    {"AM", "-DM_I86MM", "-D_M_I86MM"},   {"AL", "-DM_I86LM", "-D_M_I86LM"},
    {"AH", "-DM_I86HM", "-D_M_I86HM"},   {"Oq", "-D_PCODE", nullptr},
    {"f", "-D_QC", nullptr},             {"GD", "-D_WINDLL", "-D_WINDOWS"},
    {"GA", "-D_WINDOWS", nullptr},       {"GW", "-D_WINDOWS", nullptr},
    {"Gw", "-D_WINDOWS", nullptr},       {"Mq", "-D_WINDOWS", nullptr},
};

/* GCC's options whose argument is the rest of the word or the next word
 * (whatever that word is: it is never a source).  Those that change the
 * preprocessing reach the preprocessor with the argument attached, so
 * that an argument beginning with '/' is not taken for an option. */
struct ArgOption {
  const char *name;
  bool pp;
};

/* (a name that begins another comes after it: the first match is taken) */
const ArgOption gcc_arg_options[] = {
    {"isystem", true},    {"idirafter", true},  {"iquote", true},      {"include", true},
    {"imacros", true},    {"Xpreprocessor", true}, {"MF", false},      {"MQ", false},
    {"MT", false},        {"x", false},         {"Xlinker", false},    {"Xassembler", false},
    {"isysroot", false},  {"imultilib", false}, {"iprefix", false},    {"iwithprefixbefore", false},
    {"iwithprefix", false}, {"dumpbase", false}, {"dumpdir", false},   {"aux-info", false},
};

/* Reads w as one of gcc_arg_options; false when it is none of them.  On
 * the lines of other compilers only the options that no compiler of
 * theirs has are read so (-MT is an option of Microsoft's). */
bool Reader::gcc_option(const std::string &w) {
  for (const ArgOption &g : gcc_arg_options) {
    size_t n = strlen(g.name);
    if (w.compare(1, n, g.name) != 0) continue;
    if (!gcc_line && strcmp(g.name, "MT") == 0) return false;
    std::string value = w.substr(1 + n);
    compiler_arg(w);
    if (value.empty() && i + 1 < argv.size()) {
      value = argv[++i];
      compiler_arg(value);
    }
    if (!g.pp || value.empty()) return true;
    if (strcmp(g.name, "Xpreprocessor") == 0)
      s.pp_args.push_back(value);
    else
      s.pp_args.push_back("-" + std::string(g.name) + value);
    return true;
  }
  return false;
}

void Reader::option(const std::string &w) {
  const std::string name = w.substr(1);
  if (w[0] == '-' && gcc_option(w)) return;
  if (gcc_line && w[0] == '-') {
    /* GCC's -MD writes dependencies (Microsoft's defines _DLL and _MT);
     * -ofile is -o file */
    if (name == "MD") {
      compiler_arg(w);
      return;
    }
    if (name.size() > 1 && name[0] == 'o') {
      set_output(name.substr(1));
      compiler_arg(w);
      return;
    }
  }

  for (const Implied &d : implied_defs)
    if (name == d.name) {
      pp(d.def1);
      if (d.def2) pp(d.def2);
      return;
    }

  if (name == "E") { s.keep_pp = true; return; }
  if (name == "c") { s.compile_only = true; compiler_arg(w); return; }
  if (name == "cb") { s.cb = true; return; }
  if (name == "cc") { s.has_cc = true; s.cc_command = "cc"; return; }
  if (name == "cppcomment") { s.cpp_comment = true; return; }
  if (name == "dial") {
    s.dialect = argument(" Option -dial has to be followed by a dialect name");
    s.dialect_set = true;
    s.dialect_named = true;
    return;
  }
  if (name == "ddef") { s.ddef_file = argument(" Option -ddef has to be followed by a file name"); return; }
  if (name == "help") usage_exit(nullptr);
  if (name == "ign") {
    s.ign_file = argument(" Option -ign has to be followed by a file name");
    read_ignore_file(e.diag, e.ignore, s.ign_file);
    return;
  }
  if (name == "inst") { s.inst = true; return; }
  if (name == "longname") { s.short_names = false; return; }
  if (name == "mac") { s.mac_file = argument(" Option -mac has to be followed by a file name"); return; }
  if (name == "mode=noexp") { s.expand = false; return; }
  if (name == "mode=exp") { s.expand = true; return; }
  if (name == "nodate") { s.nodate = true; return; }
  if (name == "nocond") { s.nocond = true; return; }
  if (name == "nomtr") { s.metrics_on = false; return; }
  if (name == "nowarning") { e.diag.set_warnings_shown(false); return; }
  if (name == "nocccp") { s.nocccp = true; return; }
  if (name == "o") {
    set_output(argument(" Option -o has to be followed by a directory name or a file name"));
    return;
  }
  if (name == "Wsystem-headers") {
    /* GCC's option that shows what it finds in system headers: here the
     * violations located there; it also reaches the preprocessor and the
     * compiler */
    s.system_findings = true;
    s.pp_args.push_back(w);
    compiler_arg(w);
    return;
  }
  if (name == "tcl") { s.tcl_file = argument(" Option -tcl has to be followed by a file name"); return; }
  if (name.size() == 2 && name[0] == 'X' &&
      (name[1] == 'a' || name[1] == 'c' || name[1] == 's' || name[1] == 't')) {
    s.x_mode = name[1];
    s.x_count++;
    return;
  }

  if (!name.empty() && (name[0] == 'D' || name[0] == 'U' || name[0] == 'I')) {
    s.pp_args.push_back(w);
    /* The letter alone takes the next word as its argument. */
    if (name.size() == 1 && i + 1 < argv.size() && !argv[i + 1].empty() && argv[i + 1][0] != '-')
      s.pp_args.push_back(argv[++i]);
    return;
  }
  if (name.compare(0, 3, "cc=") == 0) {
    s.has_cc = true;
    s.cc_command = name.substr(3);
    return;
  }
  if (name.compare(0, 2, "Fo") == 0) {
    set_output(name.substr(2));
    s.fo = true;
    compiler_arg(w);
    return;
  }
  if (!name.empty() && name[0] == 'F') {
    compiler_arg(w);
    return;
  }
  s.pp_args.push_back(w);
  compiler_arg(w);
}

void Reader::file_word(const std::string &w) {
  if (w.size() < 3) {
    compiler_arg(w);
  } else if (ends_with(w, ".c") || ends_with(w, ".C")) {
    s.sources.push_back(w);
  } else if (ends_with(w, ".o")) {
    s.objects.push_back(w);
  } else if (w.size() <= 4) {
    compiler_arg(w);
  } else if (ends_with_nocase(w, ".obj")) {
    s.objects.push_back(w);
    std::string stem = w.substr(0, w.size() - 4);
    if (is_readable_file(stem + ".sta")) s.statics.push_back(stem + ".sta");
    if (is_readable_file(stem + ".mtr")) s.metrics.push_back(stem + ".mtr");
  } else if (ends_with(w, ".sta")) {
    s.statics.push_back(w);
  } else if (ends_with(w, ".mtr")) {
    s.metrics.push_back(w);
  } else {
    compiler_arg(w);
  }
}

void Reader::run() {
  std::string dialect = s.dialect_set ? s.dialect : std::string(fe::default_dialect_name());
  for (size_t k = 1; k + 1 < argv.size(); k++)
    if (argv[k] == "-dial" || argv[k] == "/dial") dialect = argv[k + 1];
  gcc_line = fe::is_gcc_dialect(dialect);
  for (; i < argv.size(); i++) {
    const std::string &w = argv[i];
    if (!w.empty() && (w[0] == '-' || (w[0] == '/' && !slash_word_is_file(w))))
      option(w);
    else
      file_word(w);
  }
}

}  // namespace

/* With instrumentation on, the instrumentation script is looked for under
 * its name and then in the utility directory; a script found neither way
 * is reported as a file that cannot be opened. */
static void check_instrumentation(Engine &e) {
  CompileSettings &s = e.settings;
  if (!s.inst || s.tcl_file.empty()) return;
  if (is_readable_file(s.tcl_file)) return;
  std::string found = e.find_in_util(s.tcl_file);
  if (!found.empty()) {
    s.tcl_file = found;
    return;
  }
  if (FILE *f = e.diag.open_file(s.tcl_file, "r", LEVEL_ERROR)) fclose(f);
}

void read_compile_line(Engine &e, const std::vector<std::string> &argv) {
  e.diag.set_program_name(e.module_name);
  e.settings.begin_line();
  /* The ignore table is built afresh for every line: from "ign" here and
   * from the dialect's ignore file when the line is analysed. */
  e.ignore.clear();
  Reader r{e, e.settings, argv};
  r.run();
  if (!e.settings.dialect_set) {
    /* The front end's dialect selection reads this name. */
    e.settings.dialect = "msc0900";
    e.settings.dialect_set = true;
  }
  check_instrumentation(e);
}

}  // namespace kvx
