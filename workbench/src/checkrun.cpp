/*
 * checkrun.cpp - the check command.
 */
#include "checkrun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include "errlog.h"
#include "prompter.h"
#include "tessary_app.h"
#include "tessary_checkrun.h"
#include "tessary_env.h"
#include "waitdlg.h"
#include "wendrel_cmdline.h"
#include "wendrel_run.h"

QString CCheckCommand::CancelQuestion() {
  return QStringLiteral(
      "Terminating the checker may cause lose of data and remained temporary files on the disk. "
      "\nIf you really want to terminate the checker, click OK.");
}

bool CCheckCommand::Execute() {
  TheErrorLog->BeginRun();
  ReportMessage(CZKError::eInformation, 32913);
  host_.CloseResultWindows();
  bool ok;
  {
    CCheckRun prepared;
    ok = Run(prepared);
    /* Leaving the scope deletes every file of the run. */
  }
  ReportMessage(ok ? CZKError::eInformation : CZKError::eError, ok ? 32909 : 34021);
  return ok;
}

bool CCheckCommand::Run(CCheckRun &prepared) {
  CPrompter &prompter = host_.Prompter();
  QWidget *window = host_.Window();
  CApplication *app = TheEnvironment ? TheEnvironment->GetCurrentApplication() : nullptr;
  if (!app) return false;

  /* Nothing is written for a run that cannot start: no rule set, no
   * checker. */
  try {
    if (!prepared.Prepare(*app)) {
      prompter.Inform(window, QStringLiteral("Please specify rule set."), CPrompter::Warning);
      return false;
    }
  } catch (const CZKException &e) {
    if (e.GetID() == 34025)
      prompter.Inform(window, QString::fromUtf8(e.what()), CPrompter::Critical);
    else
      TheErrorLog->Report(e);
    return false;
  }
  const CPathName &report = prepared.GetReportPath(), &console = prepared.GetConsolePath();

  SThreadParams run;
  run.sendOutput.cmdLine = JoinCmdLine(prepared.GetArguments());
  run.sendOutput.curDir = prepared.GetWorkingDirectory().Str();
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
