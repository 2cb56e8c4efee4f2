/*
 * appdoc.cpp - opening and saving the application.
 */
#include "appdoc.h"

#include <QDir>
#include <QFileInfo>

#include "prompter.h"
#include "tessary_app.h"
#include "tessary_env.h"

CAppDoc::CAppDoc(CPrompter &prompter, QWidget *window, QObject *parent)
    : QObject(parent), prompter_(prompter), window_(window) {
  Watch(App());
}

CAppDoc::~CAppDoc() { Watch(nullptr); }

CApplication *CAppDoc::App() const {
  return TheEnvironment ? TheEnvironment->GetCurrentApplication() : nullptr;
}

void CAppDoc::Watch(CApplication *app) {
  if (watched_ == app) return;
  /* The environment holds one application: one that is no longer current
   * has been deleted with its observers. */
  if (watched_ && watched_ == App()) watched_->ModifiedStateUnadvise(this);
  watched_ = app;
  if (watched_) watched_->ModifiedStateAdvise(this);
}

void CAppDoc::OnModifiedState(CModifiedState *, bool) { emit changed(); }

static bool CategoriesModified(const CModifiedState *a, const CModifiedState *b,
                               const CModifiedState *c) {
  return a->IsModified() || b->IsModified() || c->IsModified();
}

bool CAppDoc::IsModified() const {
  const CApplication *app = App();
  if (!app) return false;
  if (app->IsModified() ||
      CategoriesModified(app->GetPreprocessor(), app->GetAnalyzer(), app->GetIgnoreCode()))
    return true;
  for (const auto &e : app->GetFileEntries())
    if (e->IsModified() ||
        CategoriesModified(e->GetPreprocessor(), e->GetAnalyzer(), e->GetIgnoreCode()))
      return true;
  return false;
}

QString CAppDoc::Title() const {
  const CApplication *app = App();
  if (!app) return QString();
  std::string name = app->GetFullPath().GetFileName();
  return name.empty() ? tr("Untitled") : QString::fromStdString(name);
}

QString CAppDoc::Path() const {
  const CApplication *app = App();
  return app ? QString::fromStdString(app->GetFullPath().Str()) : QString();
}

bool CAppDoc::SaveApplication(CApplication *app) {
  try {
    return app->Save();
  } catch (const CZKException &e) {
    if (TheErrorLog) TheErrorLog->Report(e);
    return false;
  }
}

bool CAppDoc::Open(const QString &path) {
  if (!TheEnvironment || path.isEmpty()) return false;
  if (!SaveModified()) return false;
  QString full = QFileInfo(path).absoluteFilePath();
  Watch(nullptr);
  bool ok = false;
  try {
    ok = TheEnvironment->OpenApplication(CPathName(QDir::cleanPath(full).toStdString()));
  } catch (const CZKException &e) {
    if (TheErrorLog) TheErrorLog->Report(e);
  }
  if (!ok) {
    /* A half-read application is no use: nothing stays open. */
    TheEnvironment->CloseApplication();
    emit changed();
    return false;
  }
  CApplication *app = App();
  /* The lists show what the application uses. */
  if (app->GetAppProfile()) TheEnvironment->SetCurrentProfile(app->GetAppProfile());
  TheEnvironment->SetCurrentRuleSet(app->GetAppRuleSet());
  Watch(app);
  emit fileUsed(full);
  emit changed();
  return true;
}

bool CAppDoc::OpenWithChooser() {
  QString dir;
  if (TheEnvironment) dir = QString::fromStdString(TheEnvironment->GetDefApplicationsPath().Str());
  QString path = prompter_.ChooseOpenFile(window_, tr("Open"), dir, kApplicationFilter);
  return !path.isEmpty() && Open(path);
}

QString CAppDoc::ChooseApplicationFile(const QString &caption, const QString &proposed) {
  QString dir = proposed;
  if (dir.isEmpty() && TheEnvironment)
    dir = QString::fromStdString(TheEnvironment->GetDefApplicationsPath().Str());
  QString path = prompter_.ChooseSaveFile(window_, caption, dir, kApplicationFilter);
  if (path.isEmpty()) return QString();
  QFileInfo info(path);
  if (info.suffix().isEmpty()) path += ".app";
  path = QFileInfo(path).absoluteFilePath();
  if (QFileInfo::exists(path) && QDir::cleanPath(path) != QDir::cleanPath(Path()) &&
      !prompter_.AskYesNo(window_, tr("File already exists. Do you want to replace it?")))
    return QString();
  return QDir::cleanPath(path);
}

bool CAppDoc::Save() {
  CApplication *app = App();
  if (!app) return false;
  if (app->GetFullPath().IsEmpty()) return SaveAs();
  bool ok = SaveApplication(app);
  emit changed();
  return ok;
}

template <typename Owner>
static void AddCompanions(Owner *o, std::vector<CPersistFileObjectNoFileIfEmpty *> &out) {
  out.push_back(o->GetPreprocessor());
  out.push_back(o->GetAnalyzer());
  out.push_back(o->GetIgnoreCode());
}

std::vector<CPersistFileObjectNoFileIfEmpty *> Companions(CApplication &app, bool own) {
  std::vector<CPersistFileObjectNoFileIfEmpty *> out;
  if (own) AddCompanions(&app, out);
  for (const auto &e : app.GetFileEntries()) AddCompanions(e.get(), out);
  return out;
}

void DetachCompanions(CApplication &app, bool own) {
  for (CPersistFileObjectNoFileIfEmpty *c : Companions(app, own)) {
    c->SetFilePath(CPathName());
    c->SetPrefixPath(CPathName());
  }
}

bool CAppDoc::SaveAs() {
  CApplication *app = App();
  if (!app) return false;
  QString path = ChooseApplicationFile(tr("Save As"), Path());
  if (path.isEmpty()) return false;
  if (QDir::cleanPath(path) != QDir::cleanPath(Path())) {
    /* The copy gets companion files of its own beside it. */
    DetachCompanions(*app);
  }
  app->SetFilePath(CPathName(path.toStdString()));
  app->SetPrefixPath(CPathName());
  bool ok = SaveApplication(app);
  if (ok) emit fileUsed(path);
  emit changed();
  return ok;
}

bool CAppDoc::SaveModified() {
  if (!IsOpen() || !IsModified()) return true;
  QString text = QString::asprintf("Application %s is not saved. Do you want to save it?",
                                   Title().toUtf8().constData());
  switch (prompter_.AskYesNoCancel(window_, text)) {
    case CPrompter::Yes: return Save();
    case CPrompter::No: return true;
    case CPrompter::Cancel: return false;
  }
  return false;
}

void CAppDoc::Close() {
  Watch(nullptr);
  if (TheEnvironment) TheEnvironment->CloseApplication();
  emit changed();
}
