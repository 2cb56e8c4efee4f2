/*
 * optfiles.cpp - reading the predefined-macros (.def) and macro-names
 * (.mac) files, and the option-file search.
 */
#include "preprocessor/optfiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "driver/paths.h"
#include "preprocessor/pp_impl.h"

namespace kvx::pp {

static bool exists(const std::string &p) {
  struct stat st;
  return !p.empty() && stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string find_option_file(const std::string &given, const char *env_var, const std::string &name) {
  if (exists(given)) return given;
  const char *e = env_var ? getenv(env_var) : nullptr;
  if (e && exists(e)) return e;
  if (exists(name)) return name;
  if (const char *h = getenv("HOME")) {
    std::string p = std::string(h) + "/" + name;
    if (exists(p)) return p;
  }
  if (const char *u = getenv("KVX_UTIL")) {
    std::string p = std::string(u) + "/" + name;
    if (exists(p)) return p;
  }
  std::string p = program_dir() + "/../util/" + name;
  if (exists(p)) return p;
  return {};
}

static bool read_whole(const std::string &path, std::string &text, Diagnostics *diag) {
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) {
    if (diag && exists(path)) diag->report(LEVEL_WARNING, "Inaccessible '" + path + "' file.");
    return false;
  }
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  bool bad = ferror(f);
  fclose(f);
  if (bad && diag) diag->report(LEVEL_WARNING, "Inaccessible '" + path + "' file.");
  return !bad;
}

bool read_macro_names(const std::string &path, std::vector<std::string> &names) {
  std::string text;
  if (!read_whole(path, text, nullptr)) return false;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isspace((unsigned char)text[i])) i++;
    size_t b = i;
    while (i < text.size() && !isspace((unsigned char)text[i])) i++;
    if (i > b) names.emplace_back(text, b, i - b);
  }
  return true;
}

void read_mac_file(Preprocessor &pp, const std::string &path) {
  std::vector<std::string> names;
  if (!read_macro_names(path, names)) {
    if (exists(path)) pp.diag().report(LEVEL_WARNING, "Inaccessible '" + path + "' file.");
    return;
  }
  for (const std::string &n : names) pp.add_macro_name(n);
}

static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\b' || c == '\r'; }

/* One entry of a .def file; false for a line that cannot be taken. */
static bool def_line(Preprocessor &pp, std::string_view s) {
  char kind = s[0];
  s.remove_prefix(1);
  while (!s.empty() && is_blank(s[0])) s.remove_prefix(1);
  switch (kind) {
    case 'I':
    case 'i': {
      /* I: a directory of the compiler's (a system one); i: one of the
       * project, searched at the same place */
      size_t e = s.find('(');
      std::string_view d = s.substr(0, e);
      while (!d.empty() && is_blank(d.back())) d.remove_suffix(1);
      if (d.empty()) return false;
      pp.add_include_dir(std::string(d), kind == 'I' ? Preprocessor::INC_APPENDED : Preprocessor::INC_PROJECT);
      return true;
    }
    case 'D': {
      size_t i = 0;
      while (i < s.size() && !is_blank(s[i]) && s[i] != '(' && s[i] != '=') i++;
      std::string_view name = s.substr(0, i);
      if (name.empty()) return false;
      std::string text(name);
      if (i < s.size() && s[i] == '(') {
        size_t close = s.find(')', i);
        if (close == std::string_view::npos) return false;
        text.append(s.substr(i, close - i + 1));
        i = close + 1;
      }
      while (i < s.size() && is_blank(s[i])) i++;
      if (i < s.size() && s[i] == '=') i++;
      std::string_view body = s.substr(i);
      while (!body.empty() && is_blank(body.back())) body.remove_suffix(1);
      text += ' ';
      if (body.empty())
        text += '1';
      else
        text.append(body);
      return pp.define_text(text, "def");
    }
    case 'A': {
      size_t i = 0;
      while (i < s.size() && !is_blank(s[i]) && s[i] != '(') i++;
      std::string key(s.substr(0, i));
      while (i < s.size() && is_blank(s[i])) i++;
      if (key.empty() || i >= s.size() || s[i] != '(') return false;
      int depth = 0;
      std::string ans;
      size_t j = i + 1;
      for (; j < s.size(); j++) {
        char c = s[j];
        if (c == '(') depth++;
        if (c == ')' && depth-- == 0) break;
        if (is_blank(c)) {
          if (!ans.empty() && ans.back() != ' ') ans += ' ';
          continue;
        }
        ans += c;
      }
      if (j >= s.size()) return false;
      while (!ans.empty() && ans.back() == ' ') ans.pop_back();
      pp.add_assertion(key + "(" + ans + ")");
      return true;
    }
    case 'H': {
      /* H KIND NAME [VALUE]: the answer of __has_KIND(NAME), 1 by default */
      size_t i = 0;
      auto word = [&] {
        while (i < s.size() && is_blank(s[i])) i++;
        size_t b = i;
        while (i < s.size() && !is_blank(s[i])) i++;
        return s.substr(b, i - b);
      };
      std::string_view kind = word(), name = word(), value = word();
      if (!Preprocessor::has_kind(kind) || name.empty() || !word().empty()) return false;
      long v = 1;
      if (!value.empty()) {
        char *end = nullptr;
        std::string vs(value);
        v = strtol(vs.c_str(), &end, 0);
        if (*end) return false;
      }
      pp.add_has_answer(kind, name, v);
      return true;
    }
    default:
      return false;
  }
}

void read_def_file(Preprocessor &pp, const std::string &path) {
  std::string text;
  if (!read_whole(path, text, &pp.diag())) return;
  size_t pos = 0;
  long lineno = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string_view line(text.data() + pos, nl - pos);
    pos = nl + 1;
    lineno++;
    while (!line.empty() && is_blank(line[0])) line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\r')) line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.size() >= 2 && line[0] == '/' && (line[1] == '/' || line[1] == '*')) continue;
    if (!def_line(pp, line))
      pp.diag().report_located(LEVEL_WARNING, path, lineno, "syntax error in predefined macros file");
  }
}

}  // namespace kvx::pp
