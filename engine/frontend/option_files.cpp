/*
 * option_files.cpp - option file search and the .def and .mac readers.
 */
#include "frontend/option_files.h"

#include <cstdlib>
#include <sys/stat.h>

namespace kvx::fe {

static bool is_file(const std::string &path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

static std::string join(std::string_view dir, std::string_view name) {
  std::string s(dir);
  s += '/';
  s.append(name);
  return s;
}

FoundFile find_option_file(std::string_view option_value, const char *env_var,
                           std::string_view default_name, std::string_view program_dir) {
  FoundFile f;
  auto found = [&f](std::string path, FoundBy by) {
    if (!is_file(path)) return false;
    f.path = std::move(path);
    f.by = by;
    return true;
  };
  if (!option_value.empty() && found(std::string(option_value), FoundBy::Option)) return f;
  if (env_var) {
    const char *v = std::getenv(env_var);
    if (v && *v && found(v, FoundBy::Environment)) return f;
  }
  if (found(std::string(default_name), FoundBy::CurrentDir)) return f;
  if (const char *home = std::getenv("HOME"))
    if (*home && found(join(home, default_name), FoundBy::Home)) return f;
  if (const char *util = std::getenv("KVX_UTIL"))
    if (*util && found(join(util, default_name), FoundBy::UtilEnv)) return f;
  if (!program_dir.empty() &&
      found(join(join(program_dir, "../util"), default_name), FoundBy::Installation))
    return f;
  return FoundFile();
}

static bool blank(char c) { return c == ' ' || c == '\t'; }
static bool leading_space(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\b' || c == '\r';
}

static bool bad_line(Diagnostics &diag) {
  diag.report(LEVEL_WARNING, "syntax error in predefined macros file");
  return false;
}

bool read_def_line(std::string_view line, DefSink &sink, Diagnostics &diag) {
  size_t i = 0, n = line.size();
  while (i < n && leading_space(line[i])) i++;
  if (i >= n || line[i] == '\n') return true;
  if (line.substr(i, 2) == "//" || line.substr(i, 2) == "/*") return true;
  char kind = line[i++];
  while (i < n && blank(line[i])) i++;
  std::string_view rest = line.substr(i);
  while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.remove_suffix(1);

  switch (kind) {
    case 'I': {
      size_t end = rest.find('(');
      std::string_view dir = rest.substr(0, end);
      while (!dir.empty() && (blank(dir.back()) || dir.back() == '\r')) dir.remove_suffix(1);
      if (dir.empty()) return bad_line(diag);
      sink.include_dir(dir);
      return true;
    }
    case 'D': {
      size_t j = 0;
      while (j < rest.size() && !blank(rest[j]) && rest[j] != '(') j++;
      std::string_view name = rest.substr(0, j);
      if (name.empty()) return bad_line(diag);
      int params = -1;
      if (j < rest.size() && rest[j] == '(') {
        size_t close = rest.find(')', j);
        if (close == std::string_view::npos) return bad_line(diag);
        std::string_view list = rest.substr(j + 1, close - j - 1);
        bool any = false;
        params = 1;
        for (char c : list) {
          if (c == ',') params++;
          else if (!blank(c)) any = true;
        }
        if (!any && params == 1) params = 0;
        j = close + 1;
      }
      while (j < rest.size() && blank(rest[j])) j++;
      std::string_view text = rest.substr(j);
      if (!sink.define(name, params, text.empty() ? std::string_view("1") : text))
        return bad_line(diag);
      return true;
    }
    case 'A': {
      size_t open = rest.find('(');
      if (open == std::string_view::npos) return bad_line(diag);
      std::string_view pred = rest.substr(0, open);
      while (!pred.empty() && blank(pred.back())) pred.remove_suffix(1);
      if (pred.empty()) return bad_line(diag);
      /* the answer runs to the ')' that closes the '('; its blank runs
       * become single blanks, and it is trimmed */
      std::string entry(pred);
      entry += '(';
      size_t answer_start = entry.size();
      int depth = 1;
      bool in_blank = false;
      for (size_t k = open + 1; k < rest.size(); k++) {
        char c = rest[k];
        if (c == '(') depth++;
        if (c == ')' && --depth == 0) break;
        if (blank(c)) {
          in_blank = true;
          continue;
        }
        if (in_blank && entry.size() > answer_start) entry += ' ';
        in_blank = false;
        entry += c;
      }
      if (depth != 0) return bad_line(diag);
      entry += ')';
      sink.assertion(entry);
      return true;
    }
    default:
      return bad_line(diag);
  }
}

void read_def_file(FILE *in, DefSink &sink, Diagnostics &diag) {
  std::string line;
  int c;
  for (;;) {
    line.clear();
    while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
    if (!line.empty() || c != EOF) read_def_line(line, sink, diag);
    if (c == EOF) break;
  }
}

std::unordered_set<std::string> read_macro_names(FILE *in) {
  std::unordered_set<std::string> names(1999);
  std::string word;
  int c;
  while ((c = std::fgetc(in)) != EOF) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
      if (!word.empty()) names.insert(word);
      word.clear();
    } else {
      word += static_cast<char>(c);
    }
  }
  if (!word.empty()) names.insert(word);
  return names;
}

}  // namespace kvx::fe
