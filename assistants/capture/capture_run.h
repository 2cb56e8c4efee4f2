/*
 * capture_run.h - one call of the capture program: called in place of the
 * compiler it records the command's C sources in the application with
 * their macros and include directories, then runs the user's compiler;
 * called in place of make it runs the user's make with the profile's
 * variables redirected again, so that nested makes are captured too.
 *
 * The exit status is the user's command's own, so a failing compile still
 * fails the build.  A capture that cannot read or write the application
 * runs nothing and fails, with one line on the error stream.
 */
#ifndef KVX_CAPTURE_RUN_H
#define KVX_CAPTURE_RUN_H

#include <cstdio>
#include <string>

#include "capture_request.h"
#include "tessary_errors.h"

class CApplication;

/* The one question of the capture program. */
class CCaptureAsker {
 public:
  virtual ~CCaptureAsker() = default;
  /* False when no question can be shown after all. */
  virtual bool CanAsk() { return true; }
  /* Whether the file's stored options are to be replaced by the ones of
   * this compile. */
  virtual bool AskReplaceOptions(const CPathName &file) = 0;
};

/* The question's text for a file. */
std::string GetReplaceOptionsQuestion(const CPathName &file);

/* Exit statuses of the capture program itself. */
enum ECaptureStatus {
  eCaptureFailed = 1,       /* the application could not be read or written */
  eCaptureUsage = 2,        /* no /app= or no /cc= and no /mk= */
  eCaptureCannotRun = 127,  /* the user's command could not be started */
};

class CCaptureRun {
 public:
  /* asker null: no display to ask on; the stored options are then kept and
   * reported on err. */
  CCaptureRun(CCaptureAsker *asker, FILE *err) : asker_(asker), err_(err) {}

  /* Records and runs as the request says; gives the exit status. */
  int Run(const SCaptureRequest &request);

  /* The recording part of a compiler call, under the application's lock:
   * false when the application could not be read or written. */
  bool Record(const SCaptureRequest &request);
  /* The make command of a make call; empty (and reported) when the
   * application, its profile or the capture program is missing. */
  std::string MakeCommand(const SCaptureRequest &request);

 private:
  bool LoadApplication(CApplication &app, const SCaptureRequest &request);
  bool Apply(CApplication &app, const SCaptureRequest &request);
  int RunCommand(const std::string &cmd, const std::string &program);
  void Say(const std::string &text);

  CCaptureAsker *asker_;
  FILE *err_;
};

/* The capture program's error log: it shows nothing.  What stops a capture
 * reaches the program as an exception, which it reports itself; what the
 * library only notes while it loads (the rule set, which the capture
 * program does not read, warnings) would be noise in a build's output. */
class CQuietErrorLog : public CErrorLog {
 public:
  void ReportMessage(int, unsigned, const std::string &, const std::string &) override {}
  void BeginRun() override {}
};

#endif
