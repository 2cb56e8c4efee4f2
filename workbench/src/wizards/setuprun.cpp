/*
 * setuprun.cpp - the retriever's make-command mode, run from the profile
 * assistant.
 */
#include "setuprun.h"

#include <QObject>
#include <QTimer>

#include "errlog.h"
#include "makefill.h"
#include "tessary_env.h"
#include "waitdlg.h"
#include "wendrel_cmdline.h"
#include "wendrel_run.h"

static std::string Short(CPathName p) {
  p.MakeShort();
  return p.Str();
}

/* What the retriever reads: the profile's name, dialect, make command and
 * variables (its settings files are of no use to it). */
static bool WriteCopy(const CProfile &profile, const CPathName &path) {
  CProfile copy;
  copy.SetName(profile.GetName());
  copy.SetDialect(profile.GetDialect());
  copy.GetMakeCommand()->ResetToStateOf(profile.GetMakeCommand());
  copy.SetLstMakVars(profile.GetLstMakVars());
  copy.SetFilePath(path);
  try {
    return copy.Save();
  } catch (const CZKException &e) {
    TheErrorLog->Report(e);
    return false;
  }
}

static bool ReadBack(const CPathName &path, CProfile &result) {
  result.SetFilePath(path);
  try {
    if (result.Load()) return true;
  } catch (const CZKException &e) {
    TheErrorLog->Report(e);
  }
  ReportWorkbenchText(CZKError::eError,
                      QObject::tr("The profile written by the application file retriever cannot be read."));
  return false;
}

bool RunAnalyzerSetup(QWidget *window, CPrompter &prompter, CProfile &profile,
                      const std::function<void(CWaitDialog &)> &onWaiting) {
  CMakeCommand *make = profile.GetMakeCommand();
  CPathName retriever = make->GetExtractFilesCmd();
  if (retriever.IsEmpty()) return false;

  CTrackTempFiles tracker;
  CPathName temp = tracker.CreateTempFilePath(nullptr, "profile", GetMessageText(34116));
  if (temp.IsEmpty()) {
    ReportMessage(CZKError::eError, 34028);
    return false;
  }
  if (!WriteCopy(profile, temp)) return false;

  std::string cmd = JoinCmdLine({Short(retriever), "-init", temp.Str()});
  SThreadParams run;
  if (!SpawnCmdLine(run, cmd.c_str(), nullptr, 5)) {
    ReportWorkbenchText(CZKError::eError, QObject::tr("The application file retriever cannot be started."));
    return false;
  }
  CWaitDialog dialog(window, prompter, QObject::tr("Analyzer setup"),
                     QObject::tr("Waiting for analyzer setup to finish..."),
                     CFillFromMakefile::CancelQuestion());
  if (onWaiting) QTimer::singleShot(0, &dialog, [&onWaiting, &dialog] { onWaiting(dialog); });
  if (!dialog.Wait(run)) return false;
  if (run.GetStatus() != SWaitableStatus::Finished || run.GetExitStatus() != 0) {
    QString why = run.GetStatus() != SWaitableStatus::Finished
                      ? QString::fromStdString(run.GetFailure())
                      : QObject::tr("exit status %1").arg(run.GetExitStatus());
    ReportWorkbenchText(CZKError::eError,
                        QObject::tr("The application file retriever '%1' failed (%2); the profile's "
                                    "make command is unchanged.")
                            .arg(QString::fromStdString(retriever.Str()), why));
    return false;
  }

  CProfile result;
  if (!ReadBack(temp, result)) return false;
  const CMakeCommand *got = result.GetMakeCommand();
  make->SetMakeCommandPath(got->GetMakeCommandPath());
  make->SetMakefileNameOption(got->GetMakefileNameOption());
  make->SetBuildAllOption(got->GetBuildAllOption());
  make->SetTargetOption(got->GetTargetOption());
  return true;
}
