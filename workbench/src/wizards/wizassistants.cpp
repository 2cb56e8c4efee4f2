/*
 * wizassistants.cpp - running the sheets and keeping what they made.
 */
#include "wizassistants.h"

#include <QDir>
#include <type_traits>

#include "appdoc.h"
#include "prompter.h"
#include "psapp.h"
#include "psprofile.h"
#include "psruleset.h"
#include "savepage.h"
#include "tessary_app.h"
#include "tessary_env.h"

namespace {

QString Q(const std::string &s) { return QString::fromStdString(s); }

/* What differs between profiles and rule sets. */
template <typename T>
struct SKind;

template <>
struct SKind<CProfile> {
  using Sheet = CPSProfile;
  static constexpr unsigned kExtension = 34116, kSaved = 34080, kNotSaved = 34009;
  static QString Noun() { return QObject::tr("profile"); }
  static CPathName Directory(CEnvironment &env) { return env.GetDefProfilesPath(); }
  static CProfile *Listed(CEnvironment &env, const CPathName &path) { return env.RetrieveProfile(path, false); }
  static void Add(CEnvironment &env, CProfile *p) { env.AddProfile(p); }
  /* A companion that has no file yet (every one, anew) gets one beside the
   * profile; the save drops the names of those left empty. */
  static void NameCompanions(CProfile &p, bool anew) {
    CPathName self = p.GetFullPath();
    std::string dir = self.GetDirectory().Str(), base = self.GetFileNameNoExtension();
    const std::pair<CPersistFileObjectNoFileIfEmpty *, unsigned> companions[] = {
        {p.GetPreprocessor(), 34118}, {p.GetIgnoreCode(), 34115}, {p.GetAnalyzer(), 34125}};
    for (auto [c, extension] : companions) {
      if (!anew && !c->GetFullPath().IsEmpty()) continue;
      c->SetFilePath(GetTempFilePath(dir.c_str(), base.c_str(), GetMessageText(extension)));
      c->SetPrefixPath(CPathName());
    }
  }
};

template <>
struct SKind<CRuleSet> {
  using Sheet = CPSRuleSet;
  static constexpr unsigned kExtension = 34117, kSaved = 34081, kNotSaved = 34010;
  static QString Noun() { return QObject::tr("rule set"); }
  static CPathName Directory(CEnvironment &env) { return env.GetDefRuleSetsPath(); }
  static CRuleSet *Listed(CEnvironment &env, const CPathName &path) { return env.RetrieveRuleSet(path, false); }
  static void Add(CEnvironment &env, CRuleSet *r) { env.AddRuleSet(r); }
  static void NameCompanions(CRuleSet &, bool) {}
};

/* The settings of one level, taken over when they differ. */
template <typename C>
void Take(C *to, const C *from) {
  if (*to == *from) return;
  to->ResetToStateOf(from);
  to->SetModifiedState(true);
}

/* The open application takes what the sheet made of its copy.  Entries
 * kept keep their companion files; removed ones go, new ones are added. */
void ApplyApplication(CApplication &to, const CApplication &from) {
  Take(to.GetPreprocessor(), from.GetPreprocessor());
  Take(to.GetAnalyzer(), from.GetAnalyzer());
  Take(to.GetIgnoreCode(), from.GetIgnoreCode());
  std::vector<CFileEntry *> gone;
  for (const auto &e : to.GetFileEntries())
    if (!from.FindFileEntry(e->GetFilePath())) gone.push_back(e.get());
  for (CFileEntry *e : gone) to.DeleteFileEntry(e);
  for (const auto &f : from.GetFileEntries()) {
    CFileEntry *e = to.AddFileEntry(f->GetFilePath());
    Take(e->GetPreprocessor(), f->GetPreprocessor());
    Take(e->GetAnalyzer(), f->GetAnalyzer());
    Take(e->GetIgnoreCode(), f->GetIgnoreCode());
    e->SetCheck(f->IsCheck());
  }
}

}  // namespace

/* ---- profiles and rule sets -------------------------------------------- */

template <typename T>
bool CWizardAssistants::SaveObject(QWidget *parent, T &object) {
  bool saved = false;
  try {
    saved = object.Save();
  } catch (const CZKException &e) {
    TheErrorLog->Report(e);
  }
  std::string path = object.GetLongPath();
  ReportMessage(saved ? CZKError::eInformation : CZKError::eError,
                saved ? SKind<T>::kSaved : SKind<T>::kNotSaved, path);
  if (!saved)
    prompter_.Inform(parent, Q(FormatMessageText(SKind<T>::kNotSaved, path)), CPrompter::Critical);
  return saved;
}

/* The edited object goes to the file chosen: into the object listed with
 * that file (the one modified, or one whose file the user agreed to
 * replace), else into the environment as a new object. */
template <typename T>
T *CWizardAssistants::Commit(QWidget *parent, std::unique_ptr<T> &edited, const CSavePage &page, T *original) {
  CEnvironment &env = *TheEnvironment;
  CPathName target = page.Chosen();
  edited->SetName(page.Name().toStdString());
  if (T *listed = SKind<T>::Listed(env, target)) {
    T before;
    before.ResetToStateOf(listed);
    CPathName file = listed->GetFilePath(), prefix = listed->GetPrefixPath();
    listed->ResetToStateOf(edited.get());
    listed->SetFilePath(file);
    listed->SetPrefixPath(prefix);
    SKind<T>::NameCompanions(*listed, false);
    if (SaveObject(parent, *listed)) return listed;
    listed->ResetToStateOf(&before);
    return nullptr;
  }
  /* A new file, its settings files beside it (also when a first attempt
   * named them beside another). */
  edited->SetFilePath(target);
  edited->SetPrefixPath(CPathName());
  SKind<T>::NameCompanions(*edited, true);
  if (!SaveObject(parent, *edited)) return nullptr;
  T *added = edited.release();
  SKind<T>::Add(env, added);
  if (original && env.IsInstalledFile(original->GetFullPath()))
    prompter_.Inform(parent,
                     QObject::tr("The %1 '%2' belongs to the installation, which is never changed.\n"
                                 "Your changes are saved in '%3', a %1 of your own.")
                         .arg(SKind<T>::Noun(), Q(original->GetName()), Q(added->GetFullPath().Str())),
                     CPrompter::Information);
  return added;
}

template <typename T>
T *CWizardAssistants::Edit(QWidget *parent, std::unique_ptr<T> edited, T *original) {
  if (!TheEnvironment) return nullptr;
  CEnvironment &env = *TheEnvironment;
  using Sheet = typename SKind<T>::Sheet;
  Sheet sheet(parent, prompter_, runModal, *edited, env, original ? Sheet::Modify : Sheet::Create);
  if constexpr (std::is_same_v<T, CProfile>) sheet.onWaiting = onWaiting;

  /* A new object is proposed in the per-user directory, named after its
   * name; an installed one is saved there as a copy. */
  CPathName dir = SKind<T>::Directory(env);
  CSavePage &page = *sheet.Save();
  bool installed = original && env.IsInstalledFile(original->GetFullPath());
  CPathName own = original && !installed ? original->GetFullPath() : CPathName();
  CPathName file = own;
  if (installed) {
    std::string base = original->GetFullPath().GetFileNameNoExtension();
    file = GetTempFilePath(dir.Str().c_str(), base.c_str(), GetMessageText(SKind<T>::kExtension));
    page.SetNote(QObject::tr("This %1 belongs to the installation, which is never changed: your changes "
                             "are saved as a %1 of your own, in %2.")
                     .arg(SKind<T>::Noun(), Q(dir.Str())));
  }
  page.Setup(Q(edited->GetName()), original ? file : dir, own, dir, !original);
  page.isInstalled = [&env](const CPathName &p) { return env.IsInstalledFile(p); };

  T *result = nullptr;
  sheet.onFinish = [&] {
    result = Commit(&sheet, edited, page, original);
    return result != nullptr;
  };
  RunModal(runModal, sheet);
  return result;
}

CProfile *CWizardAssistants::NewProfile(QWidget *parent) {
  if (!TheEnvironment) return nullptr;
  auto profile = std::make_unique<CProfile>();
  profile->SetPrefixPath(TheEnvironment->GetDefProfilesPath());
  return Edit<CProfile>(parent, std::move(profile), nullptr);
}

CProfile *CWizardAssistants::ModifyProfile(QWidget *parent, CProfile &profile) {
  return Edit(parent, std::make_unique<CProfile>(&profile), &profile);
}

CRuleSet *CWizardAssistants::NewRuleSet(QWidget *parent) {
  if (!TheEnvironment) return nullptr;
  auto ruleSet = std::make_unique<CRuleSet>();
  ruleSet->SetPrefixPath(TheEnvironment->GetDefRuleSetsPath());
  return Edit<CRuleSet>(parent, std::move(ruleSet), nullptr);
}

CRuleSet *CWizardAssistants::ModifyRuleSet(QWidget *parent, CRuleSet &ruleSet) {
  return Edit(parent, std::make_unique<CRuleSet>(&ruleSet), &ruleSet);
}

/* ---- applications ------------------------------------------------------ */

std::unique_ptr<CApplication> CWizardAssistants::NewApplication(QWidget *parent) {
  if (!TheEnvironment) return nullptr;
  CEnvironment &env = *TheEnvironment;
  CProfile *profile = env.GetCurrentProfile();
  CRuleSet *ruleSet = env.GetCurrentRuleSet();
  if (!profile || !ruleSet) {
    prompter_.Inform(parent,
                     !profile && !ruleSet ? QStringLiteral("Please choose Profile and RuleSet.")
                     : !profile           ? QStringLiteral("Please specify Profile.")
                                          : QStringLiteral("Please specify rule set."),
                     CPrompter::Warning);
    return nullptr;
  }
  auto app = std::make_unique<CApplication>(profile, ruleSet);
  CPSApp sheet(parent, prompter_, runModal, *app, CPSApp::Create);
  CPathName dir = env.GetDefApplicationsPath();
  if (dir.IsEmpty()) dir = CPathName(QDir::homePath().toStdString());
  CSavePage &page = *sheet.Save();
  page.Setup(QString(), GetTempFilePath(dir.Str().c_str(), "untitled", GetMessageText(34119)), CPathName(),
             dir, true);
  page.isInstalled = [&env](const CPathName &p) { return env.IsInstalledFile(p); };
  if (RunModal(runModal, sheet) != QDialog::Accepted) return nullptr;
  app->SetFilePath(page.Chosen());
  return app;
}

bool CWizardAssistants::ModifyApplication(QWidget *parent, CApplication &app) {
  CApplication edited(&app, app.GetAppProfile(), app.GetAppRuleSet());
  /* The copy tells no window about its changes. */
  std::vector<CNotifiedByState *> observers = edited.GetObservers();
  for (CNotifiedByState *o : observers) edited.ModifiedStateUnadvise(o);
  CPSApp sheet(parent, prompter_, runModal, edited, CPSApp::Modify);
  CPathName own = app.GetFullPath();
  CSavePage &page = *sheet.Save();
  CPathName dir = own.GetDirectory();
  page.Setup(QString(), own, own, dir, false);
  if (TheEnvironment) page.isInstalled = [](const CPathName &p) { return TheEnvironment->IsInstalledFile(p); };
  if (RunModal(runModal, sheet) != QDialog::Accepted) return false;

  ApplyApplication(app, edited);
  CPathName target = page.Chosen();
  if (target != own) {
    /* Saved under another name: its settings files go beside it. */
    DetachCompanions(app);
    app.SetFilePath(target);
    app.SetPrefixPath(CPathName());
    app.SetModifiedState(true);
  }
  CAppDoc::SaveApplication(&app);
  return true;
}
