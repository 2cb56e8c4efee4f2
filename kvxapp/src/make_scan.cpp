/*
 * make_scan.cpp - reading make_reader's output, the commands the user's
 * make would run, into an application record.
 *
 * Each line (a backslash before a newline joins two lines) is split into
 * simple commands; the first word of each, without its directory part,
 * says what it is:
 *   cc, gcc, CC, g++, clang, clang++, c++  a compilation or link: its
 *                        source files, options, object and program;
 *   mv                   the renaming of an object;
 *   cd                   a change of the current directory;
 *   make_reader..., KAVEXO...  make_reader's own calls and notes: ignored;
 *   anything else        not interpreted (a warning, once per command);
 *                        the reading goes to directory mode, where files
 *                        keep the directory they were compiled in.
 */
#include "make_scan.h"

#include "shell.h"

#include <cctype>
#include <cstring>

namespace kvxapp::scan {

namespace {

const char *const COMPILERS[] = {"cc", "gcc", "CC", "g++", "clang", "clang++", "c++"};

/* Options whose argument may follow as the next word; it is joined to the
 * option so that each option stays one word.  Longest names first. */
const char *const WITH_ARGUMENT[] = {"-idirafter", "-imacros", "-include", "-isystem", "-iquote", "-MF",
                                     "-MQ",        "-MT",      "-I",       "-D",       "-U",      "-L",
                                     "-l",         "-x"};
/* Of those, the ones naming a directory, relative to the current one. */
const char *const DIRECTORY_OPTIONS[] = {"-idirafter", "-isystem", "-iquote", "-I", "-L"};
/* Switches of a compilation that links nothing; -c makes an object. */
const char *const NO_LINK[] = {"-c", "-S", "-E", "-M", "-MM"};

template <size_t N>
bool one_of(const char *const (&names)[N], const std::string &s) {
  for (const char *n : names)
    if (s == n) return true;
  return false;
}

bool starts_with(const std::string &s, const char *prefix) { return s.compare(0, strlen(prefix), prefix) == 0; }

bool ends_with(const std::string &s, const char *suffix) {
  size_t n = strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

void warn_once(Scan &scan, const std::string &text) {
  if (!scan.warned.insert(text).second) return;
  report_message(REPORT_WARNING, "%s: %s", scan.subject.c_str(), text.c_str());
}

/* Language of a file name by its suffix, or null. */
const char *language_of(const Word &w) {
  if (!w.plain) return nullptr;
  std::string base = base_part(w.value);
  size_t dot = base.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == base.size()) return nullptr;
  return lang_get_language_of_suffix(base.c_str() + dot + 1);
}

/* What one compiler command has said so far. */
struct Compilation {
  std::vector<std::string> options; /* as the shell reads them */
  std::vector<KvxSource *> files;   /* added by this command */
  std::string output;               /* the -o argument */
  bool sources = false;             /* a source file of the application's language */
  bool link = true;                 /* no -c, -S, -E, -M: the command links */
  bool compile = false;             /* -c: the output is the object */
};

/* A directory option with a relative directory is rewritten against the
 * current directory. */
bool relative_dir(const char *opt, const std::string &dir) {
  return one_of(DIRECTORY_OPTIONS, opt) && !dir.empty() && !is_absolute(dir);
}

std::string rewritten(const Scan &scan, const char *opt, const std::string &dir) {
  return shell::quote_if_needed(opt + join(scan.dir, dir));
}

/* An option word at cmd[k]; returns the index of its last word. */
size_t option(Scan &scan, Compilation &c, const Command &cmd, size_t k) {
  const Word &w = cmd[k];
  if (w.plain && starts_with(w.value, "-o")) {
    if (w.value != "-o")
      c.output = w.value.substr(2);
    else if (k + 1 < cmd.size() && cmd[++k].plain)
      c.output = cmd[k].value;
    return k;
  }
  if (one_of(NO_LINK, w.value)) { /* what to make, not how: not kept */
    c.link = false;
    c.compile = c.compile || w.value == "-c";
    return k;
  }
  for (const char *opt : WITH_ARGUMENT) {
    size_t n = strlen(opt);
    if (!w.plain || !starts_with(w.value, opt)) continue;
    if (w.value.size() > n) { /* "-Idir" */
      std::string dir = w.value.substr(n);
      c.options.push_back(relative_dir(opt, dir) ? rewritten(scan, opt, dir) : w.raw);
    } else if (k + 1 < cmd.size()) { /* "-I dir" */
      const Word &arg = cmd[++k];
      c.options.push_back(arg.plain && relative_dir(opt, arg.value) ? rewritten(scan, opt, arg.value)
                                                                     : opt + arg.raw);
    } else {
      c.options.push_back(w.raw);
    }
    return k;
  }
  c.options.push_back(w.raw);
  return k;
}

void source(Scan &scan, Compilation &c, const Word &w, const char *language) {
  KvxApplication *app = scan.app;
  if (!scan.language_set) {
    scan.language_set = true;
    if (strcmp(language, str(app->language)) != 0) application_set_language(app, language);
  }
  std::string path = join(scan.dir, w.value);
  if (strcmp(language, str(app->language)) != 0) {
    warn_once(scan, "file " + path + " skipped, its language is " + language + ", the application's " +
                        str(app->language));
    return;
  }
  c.sources = true;
  if (KvxSource *s = application_add_file(app, path.c_str())) c.files.push_back(s);
}

void compilation(Scan &scan, const Command &cmd) {
  KvxApplication *app = scan.app;
  Compilation c;
  for (size_t k = 1; k < cmd.size(); k++) {
    const Word &w = cmd[k];
    if (starts_with(w.value, "-") || !w.plain) {
      k = option(scan, c, cmd, k);
    } else if (const char *language = language_of(w)) {
      source(scan, c, w, language);
    } else if (ends_with(w.value, ".o") && w.value.size() > 2) {
      std::string path = join(scan.dir, w.value);
      if (!application_present_object(app, path.c_str()))
        application_add_link_option(app, shell::quote_if_needed(path).c_str());
    } else {
      c.options.push_back(w.raw);
    }
  }

  std::string options;
  for (const std::string &o : c.options) options += (options.empty() ? "" : " ") + o;
  for (KvxSource *s : c.files) source_set_cc_options(s, options.empty() ? nullptr : options.c_str());

  if (!c.output.empty()) {
    bool object = ends_with(c.output, ".o") || c.compile;
    if (object && !c.files.empty()) {
      place_object(c.files.front(), join(scan.dir, c.output));
    } else if (!object && c.link) {
      application_set_name(app, base_part(c.output).c_str());
      std::string dir = dir_part(c.output);
      if (!dir.empty()) rebase_object_dir(app, join(scan.dir, dir));
    }
  } else if (scan.directory_mode) {
    for (KvxSource *s : c.files) set_str(&s->object_dir, scan.dir.c_str());
  }

  for (const std::string &o : c.options) {
    if (c.sources)
      application_add_cc_option(app, o.c_str());
    else if (c.link)
      application_add_link_option(app, o.c_str());
  }
}

/* The words after a command name that are not options. */
std::vector<Word> arguments(const Command &cmd) {
  std::vector<Word> args;
  bool options = true;
  for (size_t k = 1; k < cmd.size(); k++) {
    if (options && cmd[k].value == "--") {
      options = false;
    } else if (options && starts_with(cmd[k].value, "-") && cmd[k].value != "-") {
      continue;
    } else {
      args.push_back(cmd[k]);
    }
  }
  return args;
}

void move(Scan &scan, const Command &cmd) {
  std::vector<Word> args = arguments(cmd);
  if (args.size() == 2 && args[0].plain && args[1].plain) {
    std::string from = join(scan.dir, args[0].value), to = join(scan.dir, args[1].value);
    application_substitute_object(scan.app, from.c_str(), to.c_str());
    return;
  }
  warn_once(scan, "command 'mv " + (args.empty() ? std::string() : args[0].raw) +
                      " ...' is not interpreted by Kavexo");
}

void change_directory(Scan &scan, const Command &cmd) {
  std::vector<Word> args = arguments(cmd);
  if (args.empty() || !args[0].plain || args[0].value == "-") return;
  scan.dir = join(scan.dir, args[0].value);
  scan.directory_mode = true;
}

/* Words that only lead into the command that follows them. */
bool leads_in(const std::string &w) {
  static const char *const words[] = {"if", "then", "else", "elif", "do", "while", "until", "!", "{",
                                      "exec", "command", "nohup", "time"};
  return one_of(words, w);
}

/* Shell syntax with no command of its own. */
bool no_command(const std::string &w) {
  static const char *const words[] = {"fi", "done", "}", "esac", "for", "case", "in", ";;"};
  return one_of(words, w);
}

bool assignment(const Word &w) {
  size_t eq = w.raw.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  for (size_t k = 0; k < eq; k++) {
    char c = w.raw[k];
    if (!(c == '_' || isalpha((unsigned char)c) || (k > 0 && isdigit((unsigned char)c)))) return false;
  }
  return true;
}

void command(Scan &scan, Command cmd) {
  size_t first = 0;
  while (first < cmd.size() && (assignment(cmd[first]) || leads_in(cmd[first].raw))) first++;
  cmd.erase(cmd.begin(), cmd.begin() + (long)first);
  if (cmd.empty() || no_command(cmd[0].raw)) return;

  std::string name = cmd[0].plain ? base_part(cmd[0].value) : cmd[0].raw;
  if (cmd[0].plain && one_of(COMPILERS, name))
    compilation(scan, cmd);
  else if (name == "mv")
    move(scan, cmd);
  else if (name == "cd")
    change_directory(scan, cmd);
  else if (starts_with(name, "make_reader") || starts_with(name, "KAVEXO"))
    return;
  else if (starts_with(name, "GetOption"))
    scan.directory_mode = false;
  else {
    scan.directory_mode = true;
    warn_once(scan, "command '" + name + "' is not interpreted by Kavexo");
  }
}

void line(Scan &scan, const std::string &text) {
  if ((int)text.size() > LINE_LIMIT) {
    report_message(REPORT_ERROR, "%s: Input string too long, limit %d\n", scan.subject.c_str(), LINE_LIMIT);
    return;
  }
  for (Command &cmd : split_commands(text)) command(scan, std::move(cmd));
}

}  // namespace

void read_text(Scan &scan, const std::string &text) {
  std::string current;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size() && text[i + 1] == '\n') {
      i++; /* continued on the next line */
    } else if (c == '\n') {
      line(scan, current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) line(scan, current);
}

}  // namespace kvxapp::scan
