/*
 * diag.h - the engine's one reporting facility.
 *
 * Every layer of the engine (driver, preprocessor, front end, model, rule
 * commands) hands its warnings and errors to a Diagnostics object instead of
 * printing them.  The object prints them on its error stream in the fixed
 * forms, counts them for the whole run, ends the run on a fatal report and
 * prints the closing summary whose result is the exit status.
 *
 * Severity levels: 0 none, 1 warning, 2 error, 3 fatal.
 */
#ifndef KVX_DRIVER_DIAG_H
#define KVX_DRIVER_DIAG_H

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kvx {

enum Level { LEVEL_NONE = 0, LEVEL_WARNING = 1, LEVEL_ERROR = 2, LEVEL_FATAL = 3 };

/* Thrown by the test exit handler (see Diagnostics::exit_process); the
 * default handler ends the process instead. */
struct ProcessExit {
  int status;
};

class Diagnostics {
 public:
  explicit Diagnostics(FILE *err = stderr) : err_(err) {}

  /* Program name: prefix of fatal diagnostics and of the summary. */
  void set_program_name(std::string name) { program_name_ = std::move(name); }
  const std::string &program_name() const { return program_name_; }

  /* Warning display switch: warnings stay counted while it is off. */
  void set_warnings_shown(bool on) { warnings_shown_ = on; }
  bool warnings_shown() const { return warnings_shown_; }

  void report(int level, std::string_view text);
  void report_located(int level, std::string_view file, long line, std::string_view text);
  /* "%s: %s" with the name and the C library's message for err. */
  void report_system_error(int level, std::string_view name, int err = errno);
  [[noreturn]] void report_fatal(std::string_view text);
  void report_error(std::string_view text) { report(LEVEL_ERROR, text); }

  /* Opens an input file after expanding $NAME and $(NAME) in its name.
   * Failures are reported at the given level (0: silently) and give null. */
  FILE *open_file(std::string_view name, const char *mode, int level);

  int error_count() const { return errors_; }
  int warning_count() const { return warnings_; }

  /* Prints the summary lines and returns the exit status (1 after errors). */
  int summary();

  /* Ends the run with the given status: runs the registered clean-ups, then
   * calls the exit handler (by default std::exit after flushing). */
  [[noreturn]] void exit_process(int status);
  using ExitHandler = std::function<void(int status)>;
  /* Tests install a handler that throws ProcessExit; it must not return. */
  void set_exit_handler(ExitHandler h) { exit_handler_ = std::move(h); }
  /* Work to do before any exit (temporary files to delete, ...). */
  int add_cleanup(std::function<void()> fn);
  void remove_cleanup(int handle);

  /* Writes text as it is on the error stream (usage text, Tcl error
   * reports, information lines) and flushes it; nothing is counted. */
  void write(std::string_view text);

  /* A line of advice given once, after the first include file that cannot
   * be found (an empty text gives none). */
  void set_include_hint(std::string text) { include_hint_ = std::move(text); }
  void include_missing() {
    if (include_hint_.empty() || include_hint_given_) return;
    include_hint_given_ = true;
    write(include_hint_);
  }

  FILE *stream() const { return err_; }
  void set_stream(FILE *err) { err_ = err; }

 private:
  void emit(int level, std::string_view text, std::string_view subject, std::string_view message,
            bool found);
  void print(const char *fmt, ...) __attribute__((format(printf, 2, 3)));

  FILE *err_;
  std::string program_name_ = "kvx_zkck_cc";
  bool warnings_shown_ = true;
  int warnings_ = 0;
  int errors_ = 0;
  std::string include_hint_;
  bool include_hint_given_ = false;
  ExitHandler exit_handler_;
  std::vector<std::pair<int, std::function<void()>>> cleanups_;
  int next_cleanup_ = 1;
};

/* Expands $NAME and $(NAME) from the environment.  On an undefined variable
 * returns false and stores the variable's name in *bad. */
bool expand_env_name(std::string_view name, std::string &out, std::string *bad);

/* The C library's message for an error number, or "Unknown system error". */
std::string system_error_text(int err);

}  // namespace kvx

#endif
