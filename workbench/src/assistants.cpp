/*
 * assistants.cpp - the plain assistants.
 */
#include "assistants.h"

#include <QDir>
#include <QFileInfo>

#include "prompter.h"
#include "tessary_app.h"
#include "tessary_env.h"

static const char kSourceFilter[] = "C Sources (*.c *.h);;All Files (*)";

std::unique_ptr<CApplication> CBasicAssistants::NewApplication(QWidget *parent) {
  CProfile *profile = TheEnvironment->GetCurrentProfile();
  CRuleSet *ruleSet = TheEnvironment->GetCurrentRuleSet();
  if (!profile || !ruleSet) {
    prompter_.Inform(parent, QStringLiteral("Please choose Profile and RuleSet."), CPrompter::Warning);
    return nullptr;
  }
  QString dir = QString::fromStdString(TheEnvironment->GetDefApplicationsPath().Str());
  QString path = prompter_.ChooseSaveFile(parent, QObject::tr("New Application"), dir, kApplicationFilter);
  if (path.isEmpty()) return nullptr;
  if (QFileInfo(path).suffix().isEmpty()) path += '.' + QString::fromUtf8(GetMessageText(34119));
  path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  if (QFileInfo::exists(path) &&
      !prompter_.AskYesNo(parent, QStringLiteral("File already exists. Do you want to replace it?")))
    return nullptr;
  auto app = std::make_unique<CApplication>(profile, ruleSet);
  app->SetFilePath(CPathName(path.toStdString()));
  AddSourceFiles(parent, *app);
  return app;
}

/* Adding files is optional: the step counts as done either way, so that
 * the makefile retriever is offered next. */
bool CBasicAssistants::ModifyApplication(QWidget *parent, CApplication &app) {
  AddSourceFiles(parent, app);
  return true;
}

int CBasicAssistants::AddSourceFiles(QWidget *parent, CApplication &app) {
  QString dir = QString::fromStdString(app.GetFullPath().GetDirectory().Str());
  QStringList files = prompter_.ChooseOpenFiles(parent, QObject::tr("Add Files"), dir, kSourceFilter);
  int added = 0;
  for (const QString &f : files) {
    CPathName path(QDir::cleanPath(QFileInfo(f).absoluteFilePath()).toStdString());
    if (app.FindFileEntry(path)) {
      prompter_.Inform(parent, QStringLiteral("File is already added."), CPrompter::Information);
      continue;
    }
    app.AddFileEntry(path);
    ++added;
  }
  if (added) app.SetModifiedState(true);
  return added;
}

void CBasicAssistants::NotAvailable(QWidget *parent, const QString &what) {
  prompter_.Inform(parent,
                   QObject::tr("%1 are created and changed with an assistant that this version of "
                               "the workbench does not include yet.\n"
                               "Choose one of the installed ones in the tool bar's list.")
                       .arg(what),
                   CPrompter::Information);
}

CProfile *CBasicAssistants::NewProfile(QWidget *parent) {
  NotAvailable(parent, QObject::tr("Profiles"));
  return nullptr;
}

CRuleSet *CBasicAssistants::NewRuleSet(QWidget *parent) {
  NotAvailable(parent, QObject::tr("Rule sets"));
  return nullptr;
}

CProfile *CBasicAssistants::ModifyProfile(QWidget *parent, CProfile &) {
  NotAvailable(parent, QObject::tr("Profiles"));
  return nullptr;
}

CRuleSet *CBasicAssistants::ModifyRuleSet(QWidget *parent, CRuleSet &) {
  NotAvailable(parent, QObject::tr("Rule sets"));
  return nullptr;
}
