/*
 * diag.cpp - printing, counting and summarising the engine's diagnostics.
 */
#include "driver/diag.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace kvx {

void Diagnostics::print(const char *fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vfprintf(err_, fmt, ap);
  va_end(ap);
  fflush(err_);
}

/* Finds the colon that splits subject from message: the first one that is not
 * directly followed by '/' or '\' (as after a drive letter). */
static size_t split_colon(std::string_view text) {
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] != ':') continue;
    if (i + 1 < text.size() && (text[i + 1] == '/' || text[i + 1] == '\\')) continue;
    return i;
  }
  return std::string_view::npos;
}

void Diagnostics::report(int level, std::string_view text) {
  if (level <= LEVEL_NONE) return;
  if (level > LEVEL_FATAL) level = LEVEL_FATAL;

  size_t colon = split_colon(text);
  bool found = colon != std::string_view::npos;
  std::string_view subject = found ? text.substr(0, colon) : text;
  std::string_view message;
  if (found) {
    message = text.substr(colon + 1);
    size_t end = message.find(':');
    if (end != std::string_view::npos) message = message.substr(0, end);
  }
  emit(level, text, subject, message, found);
}

/* Prints and counts one diagnostic once its subject and message are known. */
void Diagnostics::emit(int level, std::string_view text, std::string_view subject,
                       std::string_view message, bool found) {
  int sl = (int)subject.size(), ml = (int)message.size();
  switch (level) {
    case LEVEL_WARNING:
      warnings_++;
      if (warnings_shown_) print("%.*s: Warning: %.*s\n", sl, subject.data(), ml, message.data());
      return;
    case LEVEL_ERROR:
      errors_++;
      if (found)
        print("%.*s: Error: %.*s\n", sl, subject.data(), ml, message.data());
      else
        print("Error(s): %.*s\n", (int)text.size(), text.data());
      return;
    default: {
      errors_++;
      std::string built;
      if (found) {
        built.append(subject).append(": Error: ").append(message).append("\n");
      } else {
        built.append(text).append("\n");
      }
      print("%s: Error: %s\n", program_name_.c_str(), built.c_str());
      summary();
      exit_process(2);
    }
  }
}

void Diagnostics::write(std::string_view text) {
  fwrite(text.data(), 1, text.size(), err_);
  fflush(err_);
}

void Diagnostics::report_located(int level, std::string_view file, long line,
                                 std::string_view text) {
  if (level <= LEVEL_NONE) return;
  if (level > LEVEL_FATAL) level = LEVEL_FATAL;
  /* The location is the subject and the whole text the message: a colon
   * inside the text (a ':' token, "Too many nesting : unable to continue
   * analysis") must not cut the message short, and a colon inside the file
   * name must not split it. */
  std::string subject(file);
  subject.append("(").append(std::to_string(line)).append(") ");
  std::string message(" ");
  message.append(text);
  std::string whole = subject + ":" + message;
  emit(level, whole, subject, message, true);
}

std::string system_error_text(int err) {
#if defined(__GLIBC__)
  const char *d = strerrordesc_np(err);
  if (d) return d;
  return "Unknown system error";
#else
  const char *d = strerror(err);
  if (!d || strncmp(d, "Unknown error", 13) == 0) return "Unknown system error";
  return d;
#endif
}

void Diagnostics::report_system_error(int level, std::string_view name, int err) {
  std::string s(name);
  s.append(": ").append(system_error_text(err));
  report(level, s);
}

void Diagnostics::report_fatal(std::string_view text) {
  report(LEVEL_FATAL, text);
  exit_process(2); /* not reached: report ends the run */
}

int Diagnostics::summary() {
  if (warnings_ && warnings_shown_) {
    print("%s: ", program_name_.c_str());
    print("%d warning(s)%s", warnings_, errors_ ? ", " : ".\n");
  }
  if (errors_) {
    if (warnings_ == 0) print("%s: ", program_name_.c_str());
    print("%d error(s).\n", errors_);
  }
  return errors_ ? 1 : 0;
}

int Diagnostics::add_cleanup(std::function<void()> fn) {
  cleanups_.emplace_back(next_cleanup_, std::move(fn));
  return next_cleanup_++;
}

void Diagnostics::remove_cleanup(int handle) {
  for (auto it = cleanups_.begin(); it != cleanups_.end(); ++it)
    if (it->first == handle) {
      cleanups_.erase(it);
      return;
    }
}

void Diagnostics::exit_process(int status) {
  auto pending = std::move(cleanups_);
  cleanups_.clear();
  for (auto it = pending.rbegin(); it != pending.rend(); ++it) it->second();
  fflush(nullptr);
  if (exit_handler_) exit_handler_(status);
  std::exit(status);
}

bool expand_env_name(std::string_view name, std::string &out, std::string *bad) {
  out.clear();
  size_t i = 0;
  while (i < name.size()) {
    char c = name[i];
    if (c != '$') {
      out.push_back(c);
      i++;
      continue;
    }
    i++;
    /* A '$' that no variable name follows (at the end, or before a
     * separator) is an ordinary character of the file name. */
    if (i >= name.size() || name[i] == '/' || name[i] == '\\' || name[i] == '$') {
      out.push_back('$');
      continue;
    }
    bool paren = i < name.size() && name[i] == '(';
    if (paren) i++;
    size_t start = i;
    while (i < name.size()) {
      char d = name[i];
      if (d == '/' || d == '\\' || d == '$' || (paren && d == ')')) break;
      i++;
    }
    std::string var(name.substr(start, i - start));
    if (paren && i < name.size() && name[i] == ')') i++;
    const char *val = var.empty() ? nullptr : getenv(var.c_str());
    if (!val) {
      if (bad) *bad = var;
      return false;
    }
    out.append(val);
  }
  return true;
}

FILE *Diagnostics::open_file(std::string_view name, const char *mode, int level) {
  if (name.empty()) {
    report(level, "empty file name.");
    return nullptr;
  }
  std::string path, bad;
  if (!expand_env_name(name, path, &bad)) {
    report(level, bad + ": Undefined variable.");
    return nullptr;
  }
  if (path.empty()) {
    report(level, "empty file name.");
    return nullptr;
  }
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    report(level, path + ": is a directory.");
    return nullptr;
  }
  FILE *f = fopen(path.c_str(), mode);
  if (!f) report_system_error(level, path, errno);
  return f;
}

}  // namespace kvx
