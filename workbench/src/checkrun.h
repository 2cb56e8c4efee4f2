/*
 * checkrun.h - Tools / Check: one check run of the open application, from
 * the log's "Check started." to "Check is finished." or "Check failed !".
 *
 * The configuration library prepares the run (CCheckRun: options file, rule
 * list, their option and parameter files, report and console files, all
 * deleted when the run ends); the checker runs on a worker thread while
 * the modal progress dialog is shown; its console output and report are
 * then handed to the windows.
 */
#ifndef CSENTREL_CHECKRUN_H
#define CSENTREL_CHECKRUN_H

#include <QString>
#include <functional>

class CPrompter;
class CCheckRun;
class CWaitDialog;
class QWidget;

/* What a run needs from the windows. */
class CRunHost {
 public:
  virtual ~CRunHost() = default;
  virtual QWidget *Window() = 0;
  virtual CPrompter &Prompter() = 0;
  /* Closes the windows of the previous run (print previews included). */
  virtual void CloseResultWindows() = 0;
  /* The end of a run, for the Output window: how the checker ended. */
  struct SRunEnd {
    int exitStatus = -1;
    qint64 elapsedMs = 0;
  };
  /* Shows the console output and, when reportPath is not empty, the
   * report of a finished run. */
  virtual void ShowRunResults(const QString &consolePath, const QString &reportPath,
                              const SRunEnd &end) = 0;
};

/* The engine's statuses: 0 nothing found wrong, 1 errors counted (the
 * rules did not run after an analysis error), 2 and above: the run itself
 * failed. */
class CCheckCommand {
 public:
  explicit CCheckCommand(CRunHost &host) : host_(host) {}
  /* The whole command; true when the check finished. */
  bool Execute();
  /* Called with the progress dialog once it is shown (for tests and
   * pictures). */
  std::function<void(CWaitDialog &)> onWaiting;

  /* The text of Cancel's confirmation. */
  static QString CancelQuestion();

 private:
  bool Run(CCheckRun &prepared);

  CRunHost &host_;
};

#endif
