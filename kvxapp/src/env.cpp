/*
 * env.cpp - environment expansion, path joining and splitting, the file
 * search and the opening of files.
 */
#include "internal.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

/* Longest text an expansion may produce, terminating byte included. */
static const size_t EXPAND_LIMIT = 1024;

namespace kvxapp {

char *dup(const char *s) {
  if (!s) return nullptr;
  size_t n = strlen(s) + 1;
  char *p = (char *)malloc(n);
  if (!p) report_message(REPORT_FATAL, "Insufficient memory allocation.");
  memcpy(p, s, n);
  return p;
}

char *dup(const std::string &s) { return dup(s.c_str()); }

void set_str(char **field, const char *value) {
  char *copy = dup(value); /* value may be *field itself */
  free(*field);
  *field = copy;
}

bool expand(const char *text, std::string &out, int level) {
  out.clear();
  if (!text) return true;
  size_t n = strlen(text), i = 0;
  while (i < n) {
    char c = text[i];
    if (c != '$') {
      out.push_back(c);
      i++;
    } else {
      i++;
      bool paren = i < n && text[i] == '(';
      if (paren) i++;
      size_t start = i;
      while (i < n) {
        char d = text[i];
        if (paren ? d == ')' : (d == '/' || d == '\\' || d == '$')) break;
        i++;
      }
      std::string var(text + start, i - start);
      if (paren && i < n) i++;
      const char *val = var.empty() ? nullptr : getenv(var.c_str());
      if (!val) {
        report_message(level, "%s: Undefined variable.", var.c_str());
        out.clear();
        return false;
      }
      out.append(val);
    }
    if (out.size() >= EXPAND_LIMIT) {
      report_message(level, "%s: Expanded text too long, limit %d bytes.", text,
                     (int)EXPAND_LIMIT);
      out.clear();
      return false;
    }
  }
  return true;
}

bool is_absolute(const std::string &p) {
  if (!p.empty() && (p[0] == '/' || p[0] == '\\')) return true;
  return p.size() >= 3 && isalpha((unsigned char)p[0]) && p[1] == ':' && p[2] == '\\';
}

std::string normalise(const std::string &path) {
  if (path.empty()) return path;
  bool absolute = path[0] == '/';
  bool trailing = path.size() > 1 && path.back() == '/';
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string comp = path.substr(i, j - i);
    if (comp.empty() || comp == ".") {
      /* dropped */
    } else if (comp == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else {
      parts.push_back(comp);
    }
    i = j + 1;
  }
  std::string out = absolute ? "/" : "";
  for (size_t k = 0; k < parts.size(); k++) {
    if (k) out += '/';
    out += parts[k];
  }
  if (parts.empty()) return absolute ? "/" : ".";
  if (trailing) out += '/';
  return out;
}

std::string join(const std::string &dir, const std::string &name) {
  if (is_absolute(name)) return normalise(name);
  if (dir.empty()) return normalise(name);
  return normalise(dir + "/" + name);
}

static size_t last_separator(const std::string &p) { return p.find_last_of("/\\"); }

std::string dir_part(const std::string &p) {
  size_t s = last_separator(p);
  if (s == std::string::npos) return std::string();
  if (s == 0) return p.substr(0, 1);
  return p.substr(0, s);
}

std::string base_part(const std::string &p) {
  size_t s = last_separator(p);
  return s == std::string::npos ? p : p.substr(s + 1);
}

bool readable_file(const std::string &path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return access(path.c_str(), R_OK) == 0;
}

std::string read_stream(FILE *f) {
  std::string text;
  char buf[8192];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  return text;
}

bool take_machine_default(const char *path, const char *what, const char *machine, bool &have_default) {
  if (strcmp(machine, arg_get_machine_name()) != 0) return false;
  if (have_default) {
    report_message(REPORT_ERROR, "%s : multiple default %s line", path, what);
    return false;
  }
  have_default = true;
  return true;
}

std::string install_util_dir() {
  Dl_info info;
  if (!dladdr((void *)&file_search, &info) || !info.dli_fname) return std::string();
  const char *lib = info.dli_fname;
  const char *slash = strrchr(lib, '/');
  std::string dir = slash ? std::string(lib, (size_t)(slash - lib)) : std::string(".");
  dir.append("/../util");
  return normalise(dir);
}

std::string search(const char *explicit_path, const char *var, const char *file, const char *dir) {
  std::string p;
  if (explicit_path && *explicit_path && expand(explicit_path, p, REPORT_NONE) && readable_file(p))
    return p;
  if (var && *var) {
    const char *v = getenv(var);
    if (v && expand(v, p, REPORT_NONE) && readable_file(p)) return p;
  }
  if (!file || !*file) return std::string();
  if (readable_file(file)) return file;
  const char *home = getenv("HOME");
  if (home && *home && readable_file(join(home, file))) return join(home, file);
  if (dir && *dir) {
    std::string d;
    if (expand(dir, d, REPORT_NONE) && !d.empty() && readable_file(join(d, file)))
      return join(d, file);
    /* The data shipped with the installation, beside the library. */
    std::string u = install_util_dir();
    if (!u.empty() && readable_file(join(u, file))) return join(u, file);
  }
  return std::string();
}

}  // namespace kvxapp

using namespace kvxapp;

extern "C" {

char *env_expand(const char *text, int level) {
  std::string out;
  if (!expand(text, out, level)) return nullptr;
  return dup(out);
}

char *path_join(const char *dir, const char *name) { return dup(join(str(dir), str(name))); }

char *path_get_dir(const char *path) { return dup(dir_part(str(path))); }

const char *path_get_base(const char *path) {
  if (!path) return "";
  const char *b = path;
  for (const char *p = path; *p; p++)
    if (*p == '/' || *p == '\\') b = p + 1;
  return b;
}

char *file_search(const char *explicit_path, const char *var, const char *file, const char *dir) {
  std::string p = search(explicit_path, var, file, dir);
  return p.empty() ? nullptr : dup(p);
}

FILE *file_open(const char *name, const char *mode, int level) {
  if (!name || !*name) {
    report_message(level, "empty file name.");
    return nullptr;
  }
  std::string path;
  if (!expand(name, path, level)) return nullptr;
  if (path.empty()) {
    report_message(level, "empty file name.");
    return nullptr;
  }
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    report_message(level, "%s: is a directory.", path.c_str());
    return nullptr;
  }
  FILE *f = fopen(path.c_str(), mode ? mode : "r");
  if (!f) report_system_error(level, path.c_str(), errno);
  return f;
}

}  // extern "C"
