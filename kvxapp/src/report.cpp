/*
 * report.cpp - the library's reporting routine: levels, forms, counts and
 * the closing summary.
 *
 * The forms are those of the checker engine: a text "subject: message" is
 * split at its first colon (one followed by '/' or '\' does not split).
 * Unlike the engine, the message is printed whole, later colons included:
 * the library's own texts carry them ("'::=' expected", "... : ignored").
 * Warnings print as
 * "%s: Warning: %s\n" when enabled, errors as "%s: Error: %s\n" (or
 * "Error(s): %s\n" without a subject), and a fatal report prints with the
 * program name, then the summary, and ends the process with status 2.
 */
#include "internal.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct ReportState {
  FILE *stream = nullptr; /* null: standard error */
  KvxReportHook hook = nullptr;
  void *hook_data = nullptr;
  int warnings_shown = 1;
  int warnings = 0;
  int errors = 0;
};

ReportState &state() {
  static ReportState s;
  return s;
}

void emit(int level, const std::string &line) {
  ReportState &s = state();
  if (s.hook) {
    s.hook(level, line.c_str(), s.hook_data);
    return;
  }
  FILE *f = s.stream ? s.stream : stderr;
  fputs(line.c_str(), f);
  fflush(f);
}

size_t split_colon(const std::string &t) {
  for (size_t i = 0; i < t.size(); i++) {
    if (t[i] != ':') continue;
    if (i + 1 < t.size() && (t[i + 1] == '/' || t[i + 1] == '\\')) continue;
    return i;
  }
  return std::string::npos;
}

std::string vformat(const char *fmt, va_list ap) {
  va_list copy;
  va_copy(copy, ap);
  int n = vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n <= 0) return std::string();
  std::string out((size_t)n, '\0');
  vsnprintf(out.data(), (size_t)n + 1, fmt, ap);
  return out;
}

void report_text(int level, std::string text) {
  if (level <= REPORT_NONE) return;
  if (level > REPORT_FATAL) level = REPORT_FATAL;
  /* Texts are single lines: a trailing newline of the caller's form is not
   * part of the message. */
  while (!text.empty() && text.back() == '\n') text.pop_back();
  ReportState &s = state();

  size_t colon = split_colon(text);
  bool found = colon != std::string::npos;
  std::string subject = found ? text.substr(0, colon) : text;
  std::string message = found ? text.substr(colon + 1) : std::string();

  switch (level) {
    case REPORT_WARNING:
      s.warnings++;
      if (s.warnings_shown) emit(level, subject + ": Warning: " + message + "\n");
      return;
    case REPORT_ERROR:
      s.errors++;
      emit(level, found ? subject + ": Error: " + message + "\n" : "Error(s): " + text + "\n");
      return;
    default: {
      s.errors++;
      std::string built = found ? subject + ": Error: " + message + "\n" : text + "\n";
      emit(level, std::string(arg_get_program_name()) + ": Error: " + built + "\n");
      report_summary();
      fflush(nullptr);
      exit(2);
    }
  }
}

}  // namespace

extern "C" {

void report_message(int level, const char *fmt, ...) {
  if (level <= REPORT_NONE || !fmt) return;
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  report_text(level, std::move(text));
}

void report_located(int level, const char *file, int line, const char *fmt, ...) {
  if (level <= REPORT_NONE || !fmt) return;
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  report_text(level, std::string(kvxapp::str(file)) + "(" + std::to_string(line) + ") : " + text);
}

void report_system_error(int level, const char *name, int err) {
  const char *d = strerrordesc_np(err);
  report_text(level, std::string(kvxapp::str(name)) + ": " + (d ? d : "Unknown system error"));
}

int report_summary(void) {
  ReportState &s = state();
  std::string line;
  const char *prog = arg_get_program_name();
  if (s.warnings && s.warnings_shown) {
    line += std::string(prog) + ": " + std::to_string(s.warnings) + " warning(s)" +
            (s.errors ? ", " : ".\n");
  }
  if (s.errors) {
    if (s.warnings == 0) line += std::string(prog) + ": ";
    line += std::to_string(s.errors) + " error(s).\n";
  }
  if (!line.empty()) emit(REPORT_NONE, line);
  return s.errors ? 1 : 0;
}

void report_set_warnings(int shown) { state().warnings_shown = shown != 0; }
int report_get_error_count(void) { return state().errors; }
int report_get_warning_count(void) { return state().warnings; }
void report_reset_counts(void) { state().errors = state().warnings = 0; }
void report_set_stream(FILE *stream) { state().stream = stream; }
void report_set_hook(KvxReportHook hook, void *data) {
  state().hook = hook;
  state().hook_data = data;
}

}  // extern "C"
