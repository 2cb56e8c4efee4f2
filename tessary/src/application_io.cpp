/*
 * application_io.cpp - reading and writing an application through the
 * application description library: which values cross, how references are
 * made relative to the description file and resolved again.
 */
#include "tessary_app.h"
#include "tessary_env.h"

#ifdef TESSARY_WITH_KVXAPP

#include <cstdlib>
#include <unistd.h>

#include "kvxapp.h"

namespace {

struct AppDeleter {
  void operator()(KvxApplication *a) const { application_free(a); }
};
using AppRecord = std::unique_ptr<KvxApplication, AppDeleter>;

/* A string the library gives as a new copy. */
std::string Take(char *s) {
  std::string out = s ? s : "";
  std::free(s);
  return out;
}

std::string Stored(const char *s) { return s ? s : ""; }

std::string LongForm(CPathName p) {
  p.MakeLong();
  return p.Str();
}

/* Brings a companion in step and saves it; its reference relative to the
 * application file, or "*" when it has no file. */
std::string CompanionReference(CPersistFileObjectNoFileIfEmpty &c, const CPathName &self) {
  c.ProcessPathName();
  CPathName full = c.GetFullPath();
  if (full.IsEmpty()) return "*";
  c.Save();
  return full.GetRelativeTo(self).Str();
}

/* A stored companion reference: "" and "*" mean no file at that level. */
void LoadCompanion(CPersistFileObject &c, const std::string &ref, const CPathName &dir) {
  std::string r = Trimmed(ref);
  if (r.empty() || r == "*") return;
  c.SetFilePath(r);
  c.SetPrefixPath(dir);
  c.Load();
}

/* A file entry that takes the application's checker options has none of
 * its own: the application level already holds them. */
std::string OwnSlot(KvxSource *src, int slot) {
  return source_get_use_default_kvx_options(src) ? std::string() : Stored(source_get_kvx_options(src, slot));
}

/* The dialect's default file the library found for an empty slot ("*"
 * names no file and takes no default); null when there is none.  Read for
 * the run only: it has no owner, so nothing ever saves it. */
template <typename T>
std::unique_ptr<T> LoadDialectDefault(const char *slot, const char *found) {
  std::string path = Trimmed(Stored(found));
  if (!Trimmed(Stored(slot)).empty() || path.empty()) return nullptr;
  CPathName full(path);
  char cwd[4096];
  if (!full.IsFull() && ::getcwd(cwd, sizeof cwd)) full = CPathName(std::string(cwd) + "/") + full;
  full.Canonicalize();
  auto object = std::make_unique<T>();
  object->SetFilePath(full);
  object->Load();
  return object;
}

/* The slot value of an application-level companion: an application that
 * took the dialect's default keeps the empty slot that asks for it while
 * it has no file of its own. */
std::string ApplicationSlot(const std::string &reference, bool dialectDefault) {
  return reference == "*" && dialectDefault ? std::string() : reference;
}

CPathName Resolve(const std::string &stored, const CPathName &self) {
  CPathName p(stored);
  p.MakeFullRelativeBy(self);
  p.Canonicalize();
  return p;
}

}  // namespace

bool CApplication::Load() {
  CPathName self = GetFullPath(), dir = self.GetDirectory();
  AppRecord app(self.IsEmpty() ? nullptr : application_load(self.Str().c_str()));
  if (!app) CZKException::Throw(34020, LongForm(self));
  DeleteContents();

  std::string rules = Trimmed(Take(application_get_rules_set(app.get())));
  ruleSet_ = nullptr;
  ruleSetRef_.Empty();
  if (rules.empty()) {
    ReportMessage(CZKError::eInformation, 34089, LongForm(self));
  } else {
    CPathName p = Resolve(rules, self);
    ruleSet_ = TheEnvironment ? TheEnvironment->RetrieveRuleSet(p, true) : nullptr;
    if (!ruleSet_) {
      ReportMessage(CZKError::eWarning, 34055, LongForm(p));
      ruleSetRef_ = p;
    }
  }
  std::string profile = Trimmed(Take(application_get_profil(app.get())));
  profile_ = nullptr;
  if (!profile.empty() && TheEnvironment)
    profile_ = TheEnvironment->RetrieveProfile(Resolve(profile, self), true);
  if (!profile_) CZKException::Throw(34027);
  Wire();

  std::string makefile = Trimmed(Take(application_get_makefilepath(app.get())));
  makefile_ = makefile.empty() ? CPathName() : Resolve(makefile, self);
  target_ = Take(application_get_target(app.get()));
  CTextInputString cc(Stored(application_get_cc_options(app.get())));
  preprocessor_->LoadCmdLine(&cc);
  const char *ownIgnore = application_get_kvx_options(app.get(), KVX_SLOT_IGNORE);
  const char *ownMacros = application_get_kvx_options(app.get(), KVX_SLOT_MACRO_FILE);
  LoadCompanion(*ignore_, Stored(ownIgnore), dir);
  LoadCompanion(*analyzer_, Stored(ownMacros), dir);
  dialectIgnore_ = LoadDialectDefault<CIgnoreCode>(ownIgnore, application_get_ignore(app.get()));
  dialectAnalyzer_ = LoadDialectDefault<CAnalyzer>(ownMacros, application_get_macro_file(app.get()));
  analyzer_->SetExpandMacro(application_get_expand_macro(app.get()) != 0);

  KvxList *files = application_get_files(app.get());
  for (void *item = files ? list_first(files) : nullptr; item; item = list_next(files)) {
    KvxSource *src = static_cast<KvxSource *>(item);
    CPathName path = CPathName(Stored(source_get_source_dir(src))) +
                     CPathName(Stored(source_get_source_file(src)));
    /* A directory written relative (by hand, or to move with the
     * description) is taken from the description file's directory. */
    if (!path.IsFull()) path = Resolve(path.Str(), self);
    auto entry = CFileEntry::CreateFileEntry(path, this);
    CTextInputString opts(Stored(source_get_cc_options(src)));
    entry->preprocessor_->LoadCmdLine(&opts);
    LoadCompanion(*entry->ignore_, OwnSlot(src, KVX_SLOT_IGNORE), dir);
    LoadCompanion(*entry->analyzer_, OwnSlot(src, KVX_SLOT_MACRO_FILE), dir);
    entry->analyzer_->SetExpandMacro(source_get_expand_macro(src) != 0);
    entry->check_ = source_is_marked(src) != 0;
    entry->ok_ = source_is_ok(src) != 0;
    for (CModifiedState *m : {static_cast<CModifiedState *>(entry->preprocessor_.get()),
                              static_cast<CModifiedState *>(entry->analyzer_.get()),
                              static_cast<CModifiedState *>(entry->ignore_.get()),
                              static_cast<CModifiedState *>(entry.get())})
      m->SetModifiedState(false);
    entries_.push_back(std::move(entry));
  }
  preprocessor_->SetModifiedState(false);
  analyzer_->SetModifiedState(false);
  ignore_->SetModifiedState(false);
  SetModifiedState(false);
  return true;
}

bool CApplication::Save() {
  CPathName self = GetFullPath();
  AppRecord app(application_new("C"));
  if (!app || self.IsEmpty()) CZKException::Throw(34018, LongForm(self));
  std::string dialect =
      profile_ && profile_->GetDialect() ? profile_->GetDialect()->GetDialOption() : std::string();
  application_set_profil(app.get(), profile_ ? profile_->GetFullPath().GetRelativeTo(self).Str().c_str() : "");
  application_set_dialect(app.get(), dialect.c_str());
  application_set_cc_options(app.get(), preprocessor_->GetOptionsText().c_str());
  std::string ignore = ApplicationSlot(CompanionReference(*ignore_, self), dialectIgnore_ != nullptr);
  std::string macros = ApplicationSlot(CompanionReference(*analyzer_, self), dialectAnalyzer_ != nullptr);
  application_set_ignore(app.get(), ignore.c_str());
  application_set_macro_file(app.get(), macros.c_str());
  application_set_expand_macro(app.get(), analyzer_->IsExpandMacro() ? 1 : 0);
  CPathName rules = ruleSet_ ? ruleSet_->GetFullPath() : ruleSetRef_;
  if (!rules.IsEmpty()) application_set_rules_set(app.get(), rules.GetRelativeTo(self).Str().c_str());
  application_set_makefilepath(app.get(), makefile_.IsEmpty() ? "" : makefile_.GetRelativeTo(self).Str().c_str());
  application_set_target(app.get(), target_.c_str());

  for (const auto &e : entries_) {
    const CPathName &path = e->GetFilePath();
    KvxSource *src = application_add_file(app.get(), path.GetFileName().c_str());
    if (!src) CZKException::Throw(34018, LongForm(self));
    source_set_source_dir(src, path.GetDirectory().Str().c_str());
    source_set_cc_options(src, e->preprocessor_->GetOptionsText().c_str());
    source_set_use_default_cc_options(src, 0);
    source_set_ignore(src, CompanionReference(*e->ignore_, self).c_str());
    source_set_macro_file(src, CompanionReference(*e->analyzer_, self).c_str());
    source_set_expand_macro(src, e->analyzer_->IsExpandMacro() ? 1 : 0);
    source_set_dialect(src, dialect.c_str());
    if ((source_is_marked(src) != 0) != e->IsCheck()) source_invert_mark(src);
    source_set_ok(src, e->IsOK() ? 1 : 0);
    source_set_use_default_kvx_options(src, 0);
  }
  if (!application_save(app.get(), self.Str().c_str())) CZKException::Throw(34018, LongForm(self));
  /* Everything written is saved, the settings of every level included. */
  auto saved = [](auto *owner) {
    owner->GetPreprocessor()->SetModifiedState(false);
    owner->GetAnalyzer()->SetModifiedState(false);
    owner->GetIgnoreCode()->SetModifiedState(false);
    owner->SetModifiedState(false);
  };
  for (auto &e : entries_) saved(e.get());
  saved(this);
  return true;
}

#else

/* Built without the application description library: applications can be
 * modelled and checked but not read or written. */
bool CApplication::Load() {
  CPathName p = GetFullPath();
  p.MakeLong();
  CZKException::Throw(34020, p.Str());
}

bool CApplication::Save() {
  CPathName p = GetFullPath();
  p.MakeLong();
  CZKException::Throw(34018, p.Str());
}

#endif
