/*
 * checkrun.cpp - the check command.
 */
#include "checkrun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <unistd.h>

#include "errlog.h"
#include "prompter.h"
#include "tessary_app.h"
#include "tessary_env.h"
#include "waitdlg.h"
#include "wendrel_cmdline.h"
#include "wendrel_run.h"

QString CCheckRun::CancelQuestion() {
  return QStringLiteral(
      "Terminating the checker may cause lose of data and remained temporary files on the disk. "
      "\nIf you really want to terminate the checker, click OK.");
}

static const char *Ext(unsigned id) { return GetMessageText(id); }

static std::string Short(CPathName p) {
  p.MakeShort();
  return p.Str();
}

bool CCheckRun::Execute() {
  TheErrorLog->BeginRun();
  ReportMessage(CZKError::eInformation, 32913);
  host_.CloseResultWindows();
  bool ok;
  {
    CTrackTempFiles tracker;
    ok = Run(tracker);
    /* Leaving the scope deletes every file of the run. */
  }
  ReportMessage(ok ? CZKError::eInformation : CZKError::eError, ok ? 32909 : 34021);
  return ok;
}

bool CCheckRun::Run(CTrackTempFiles &tracker) {
  CPrompter &prompter = host_.Prompter();
  QWidget *window = host_.Window();
  CApplication *app = TheEnvironment ? TheEnvironment->GetCurrentApplication() : nullptr;
  if (!app) return false;

  /* The checker, then the rule set: nothing is written for a run that
   * cannot start. */
  CPathName checker = TheEnvironment->GetRuvexaPath();
  checker.Canonicalize();
  if (checker.IsEmpty() || !checker.IsFile() || ::access(checker.Str().c_str(), X_OK) != 0) {
    ReportMessage(CZKError::eError, 34023);
    return false;
  }
  CRuleSet *ruleSet = app->GetAppRuleSet();
  if (!ruleSet) {
    prompter.Inform(window, QStringLiteral("Please specify rule set."), CPrompter::Warning);
    return false;
  }

  CPathName options;
  FILE *f = tracker.CreateTempFile(nullptr, "zk", Ext(34121), &options);
  bool written = false;
  if (f) {
    CTextOutputFile out(f);
    written = app->GetCheckOptions(tracker, &out);
    written = std::fflush(f) == 0 && !std::ferror(f) && written;
    tracker.CloseTempFile(f);
  }
  if (!written) {
    prompter.Inform(window, QString::fromUtf8(GetMessageText(34025)), CPrompter::Critical);
    return false;
  }

  CPathName rules;
  try {
    FILE *r = tracker.CreateTempFile(nullptr, "zk", Ext(34120), &rules);
    if (!r) CZKException::Throw(34028);
    CTextOutputFile out(r);
    ruleSet->SaveRuleList(tracker, &out);
    bool ok = std::fflush(r) == 0 && !std::ferror(r);
    tracker.CloseTempFile(r);
    if (!ok) CZKException::Throw(34029, ruleSet->GetName());
  } catch (const CZKException &e) {
    TheErrorLog->Report(e);
    return false;
  }

  CPathName report = tracker.CreateTempFilePath(nullptr, "zkout", Ext(34122));
  CPathName console = tracker.CreateTempFilePath(nullptr, "zkerr", Ext(34122));
  if (report.IsEmpty() || console.IsEmpty()) {
    ReportMessage(CZKError::eError, 34028);
    return false;
  }

  SThreadParams run;
  run.sendOutput.cmdLine = JoinCmdLine({Short(checker), Short(options), Short(rules), Short(report)});
  run.sendOutput.curDir = checker.GetDirectory().Str();
  run.sendOutput.outputFile = console.Str();
  run.sendOutput.errToOutput = true;
  run.startupInfo.useShowWindow = true;
  run.startupInfo.showWindow = 0; /* hidden */
  run.cancelEvent = CreateCancelEvent();
  run.timeOut = WR_INFINITE;
  if (!StartWaitable(run)) {
    ReportWorkbenchText(CZKError::eError, QObject::tr("The checker cannot be started."));
    return false;
  }

  QElapsedTimer clock;
  clock.start();
  CWaitDialog dialog(window, prompter, QObject::tr("Checking application"),
                     QObject::tr("Checking application in progress..."), CancelQuestion());
  if (onWaiting) QTimer::singleShot(0, &dialog, [this, &dialog] { onWaiting(dialog); });
  if (!dialog.Wait(run)) {
    ReportMessage(CZKError::eInformation, 32914);
    return false;
  }
  if (run.GetStatus() != SWaitableStatus::Finished) {
    ReportWorkbenchText(CZKError::eError, QString::fromStdString(run.GetFailure()));
    return false;
  }

  CLoadingDialog loading(window);
  loading.Present();
  QString reportPath = QString::fromStdString(report.Str());
  int status = run.GetExitStatus();
  host_.ShowRunResults(QString::fromStdString(console.Str()),
                       QFileInfo::exists(reportPath) ? reportPath : QString(),
                       {status, clock.elapsed()});
  loading.hide();

  if (status == 1) {
    ReportWorkbenchText(CZKError::eWarning,
                        QObject::tr("The checker counted errors (exit status 1); "
                                    "see the Messages and Output windows."));
  } else if (status != 0) {
    ReportWorkbenchText(CZKError::eError,
                        QObject::tr("The checker stopped with exit status %1; see the Output window.")
                            .arg(status));
    return false;
  }
  return true;
}
