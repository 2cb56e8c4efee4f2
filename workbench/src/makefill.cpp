/*
 * makefill.cpp - the makefile dialog and the run of the application file
 * retriever.
 */
#include "makefill.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "appdoc.h"
#include "errlog.h"
#include "prompter.h"
#include "tessary_app.h"
#include "tessary_env.h"
#include "waitdlg.h"
#include "wendrel_cmdline.h"
#include "wendrel_run.h"

/* ---- the dialog ---------------------------------------------------- */

CMakefileDialog::CMakefileDialog(QWidget *parent, const QString &makefile) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Add Files to the Application from external resource"));
  auto *text = new QLabel(QStringLiteral("Enter the name of the makefile file of your application project."), this);
  text->setWordWrap(true);
  edit_ = new QLineEdit(makefile, this);
  edit_->setMinimumWidth(360);
  auto *label = new QLabel(QStringLiteral("&Makefile:"), this);
  label->setBuddy(edit_);
  auto *browse = new QPushButton(QStringLiteral("..."), this);
  browse->setToolTip(tr("Choose the makefile"));
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, [this] {
    QString f = QFileDialog::getOpenFileName(this, tr("Makefile"), QFileInfo(Makefile()).path());
    if (!f.isEmpty()) edit_->setText(f);
  });
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto *grid = new QGridLayout(this);
  grid->addWidget(text, 0, 0, 1, 3);
  grid->addWidget(label, 1, 0);
  grid->addWidget(edit_, 1, 1);
  grid->addWidget(browse, 1, 2);
  grid->addWidget(buttons, 2, 0, 1, 3);
}

QString CMakefileDialog::Makefile() const { return edit_->text().trimmed(); }

/* ---- the run ------------------------------------------------------- */

QString CFillFromMakefile::CancelQuestion() {
  return QStringLiteral(
      "Terminating the process may cause lose of data and remained temporary files on the disk. "
      "\nLook if the Application file retriever is not displaying a Message box. Did you wait "
      "enough time? \nIf you really want to terminate the Application file retriever process, "
      "click OK.");
}

namespace {

/* Only errors reach the log while the retriever works. */
class CQuietLog {
 public:
  CQuietLog() {
    if (TheErrorLog) TheErrorLog->SetSilentMode(CZKError::eWarning | CZKError::eInformation);
  }
  ~CQuietLog() {
    if (TheErrorLog) TheErrorLog->ResetSilentMode();
  }
};

/* The companion files a copy wrote beside it are temporary too. */
void TrackCompanions(CTrackTempFiles &tracker, CApplication &copy) {
  for (CPersistFileObjectNoFileIfEmpty *c : Companions(copy)) {
    CPathName p = c->GetFullPath();
    if (!p.IsEmpty() && p.Exists()) tracker.AddFilePath(p, false);
  }
}

std::string Short(CPathName p) {
  p.MakeShort();
  return p.Str();
}

}  // namespace

CFillFromMakefile::EResult CFillFromMakefile::Fill(CApplication &app) {
  CProfile *profile = app.GetAppProfile();
  CMakeCommand *make = profile ? profile->GetMakeCommand() : nullptr;
  if (!make || make->GetExtractFilesCmd().IsEmpty()) return Skipped;

  CQuietLog quiet;
  QString makefile = QString::fromStdString(app.GetMakefilePath().Str());
  if (!prompter_.AskMakefile(window_, makefile)) return Skipped;
  app.SetMakefilePath(CPathName(makefile.toStdString()));
  if (makefile.isEmpty()) return Skipped;

  CTrackTempFiles tracker;
  CPathName self = app.GetFullPath();
  CPathName temp = self.IsEmpty() ? CPathName()
                                  : tracker.CreateTempFilePath(self.GetDirectory().Str().c_str(),
                                                               self.GetFileName().c_str(),
                                                               GetMessageText(34119));
  if (temp.IsEmpty()) {
    ReportMessage(CZKError::eError, 34028);
    return Failed;
  }

  {
    CApplication copy(&app, profile, app.GetAppRuleSet());
    copy.SetFilePath(temp);
    copy.SetPrefixPath(CPathName());
    DetachCompanions(copy);
    bool saved = CAppDoc::SaveApplication(&copy);
    TrackCompanions(tracker, copy);
    if (!saved) return Failed;
  }

  CPathName retriever = make->GetExtractFilesCmd();
  CPathName profilePath = profile->GetFullPath();
  std::string cmd = JoinCmdLine({Short(retriever), profilePath.Str(), temp.Str()});
  SThreadParams run;
  if (!SpawnCmdLine(run, cmd.c_str(), nullptr, 5)) {
    ReportWorkbenchText(CZKError::eError, QObject::tr("The application file retriever cannot be started."));
    return Failed;
  }
  CWaitDialog dialog(window_, prompter_, QObject::tr("Analyzing makefile"),
                     QObject::tr("Waiting for makefile analyzer to finish..."), CancelQuestion());
  if (onWaiting) QTimer::singleShot(0, &dialog, [this, &dialog] { onWaiting(dialog); });
  if (!dialog.Wait(run)) return Failed;
  if (run.GetStatus() != SWaitableStatus::Finished) {
    ReportWorkbenchText(CZKError::eError, QString::fromStdString(run.GetFailure()));
    return Failed;
  }
  if (run.GetExitStatus() != 0) {
    ReportWorkbenchText(CZKError::eError,
                        QObject::tr("The application file retriever '%1' failed (exit status %2); "
                                    "the application's files are unchanged.")
                            .arg(QString::fromStdString(retriever.Str()))
                            .arg(run.GetExitStatus()));
    return Failed;
  }

  CApplication result;
  result.SetFilePath(temp);
  bool loaded = false;
  try {
    loaded = result.Load();
  } catch (const CZKException &e) {
    TheErrorLog->Report(e);
  }
  TrackCompanions(tracker, result);
  if (!loaded) return Failed;
  app.ResetFileEntries(result.GetFileEntries());
  app.SetMakefilePath(result.GetMakefilePath());
  app.SetTargetPath(result.GetTargetPath());
  /* The entries' own companions were read from the temporary files: the
   * next save writes them beside the application. */
  DetachCompanions(app, false);
  app.SetModifiedState(true);
  return Filled;
}
