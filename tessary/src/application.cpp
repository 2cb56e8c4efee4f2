/*
 * application.cpp - the application model (file entries and the three
 * settings levels) and the check options file of a check run.  Reading and
 * writing the description file is in application_io.cpp.
 */
#include "tessary_app.h"

#include "tessary_env.h"

#include <cctype>
#include <cstdlib>

/* ---- file entries -------------------------------------------------- */

CFileEntry::CFileEntry(const CPathName &path, CApplication *app)
    : path_(path),
      preprocessor_(std::make_unique<CPreprocessor>()),
      analyzer_(std::make_unique<CAnalyzer>()),
      ignore_(std::make_unique<CIgnoreCode>()),
      app_(app) {
  Wire();
  analyzer_->Init();
}

std::unique_ptr<CFileEntry> CFileEntry::CreateFileEntry(const CPathName &path, CApplication *app) {
  return std::make_unique<CFileEntry>(path, app);
}

/* The file's companions sit beside the application file and fall back to
 * the application's settings. */
void CFileEntry::Wire() {
  preprocessor_->SetOwner(app_);
  analyzer_->SetOwner(app_);
  ignore_->SetOwner(app_);
  preprocessor_->SetDefaultPreprocessor(app_ ? app_->GetPreprocessor() : nullptr);
  analyzer_->SetDefaultAnalyzer(app_ ? app_->GetAnalyzer() : nullptr);
  analyzer_->SetMainAnalyzer(app_ ? app_->GetAnalyzer() : nullptr);
  ignore_->SetDefaultIgnoreCode(app_ ? app_->GetIgnoreCode() : nullptr);
}

void CFileEntry::ResetToDefaultState() {
  preprocessor_->ResetToDefaultState();
  analyzer_->ResetToDefaultState();
  ignore_->ResetToDefaultState();
}

void CFileEntry::SetFilePath(const CPathName &p) {
  if (p.Str() == path_.Str()) return;
  path_ = p;
  SetModifiedState(true);
}

void CFileEntry::SetCheck(bool on) {
  if (on == check_) return;
  check_ = on;
  SetModifiedState(true);
}

void CFileEntry::SetOK(bool on) {
  if (on == ok_) return;
  ok_ = on;
  SetModifiedState(true);
}

void CFileEntry::ResetToStateOf(const CFileEntry *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  path_ = other->path_;
  preprocessor_->ResetToStateOf(other->preprocessor_.get());
  analyzer_->ResetToStateOf(other->analyzer_.get());
  ignore_->ResetToStateOf(other->ignore_.get());
  check_ = other->check_;
  ok_ = other->ok_;
  referenced_ = other->referenced_;
}

bool CFileEntry::operator==(const CFileEntry &o) const {
  return path_ == o.path_ && *preprocessor_ == *o.preprocessor_ && *analyzer_ == *o.analyzer_ &&
         *ignore_ == *o.ignore_ && check_ == o.check_ && ok_ == o.ok_;
}

static std::string Word(CPathName p) {
  p.MakeShort();
  return QuoteIfNeeded(p.Str());
}

/* Copies the file at head into f; true when there is nothing to copy. */
static bool CopyInto(const CPathName &head, FILE *f) {
  if (head.IsEmpty()) return true;
  FILE *in = std::fopen(head.Str().c_str(), "rb");
  if (!in) return true;
  char buf[8192];
  size_t n;
  bool ok = true;
  while (ok && (n = std::fread(buf, 1, sizeof buf, in)) > 0) ok = std::fwrite(buf, 1, n, f) == n;
  std::fclose(in);
  return ok && std::fputc('\n', f) != EOF;
}

/* One level of a setting in a run's option file.  The profile describes
 * the compiler: its include directories are system ones.  Those of the
 * application and of a file are the project's. */
template <typename T>
static bool SaveLevel(const T *level, int index, CTextOutput *out) {
  (void)index;
  return level->SaveFile(out);
}
static bool SaveLevel(const CPreprocessor *level, int index, CTextOutput *out) {
  return index == 0 ? level->SaveFile(out) : level->SaveProjectFile(out);
}

/* Writes the three levels of one setting, profile first, into a new option
 * file, after the contents of head when one is given; gives its path, or an
 * empty one when it cannot be written. */
template <typename T>
static CPathName WriteOptionFile(CTrackTempFiles &tracker, const CPathName &dir,
                                 const std::string &base, const char *ext,
                                 const T *levels[3], const CPathName &head = CPathName()) {
  CPathName path = GetTempFilePath(dir.IsEmpty() ? nullptr : dir.Str().c_str(), base.c_str(), ext);
  if (path.IsEmpty()) return path;
  FILE *f = tracker.AddFilePath(path, true);
  if (!f) return CPathName();
  CTextOutputFile out(f);
  bool ok = CopyInto(head, f);
  for (int i = 0; i < 3 && ok; ++i)
    if (levels[i]) ok = SaveLevel(levels[i], i, &out);
  ok = std::fflush(f) == 0 && ok;
  tracker.CloseTempFile(f);
  return ok ? path : CPathName();
}

template <typename T>
static bool AnyFilled(const T *levels[3]) {
  for (int i = 0; i < 3; ++i)
    if (levels[i] && !levels[i]->IsEmpty()) return true;
  return false;
}

/* The checker reads a definitions file named on the line instead of its
 * dialect's own (found by its search: $KVX_CC_DEF, its current directory,
 * $HOME, $KVX_UTIL, its ../util).  A profile without definitions of its own
 * relies on the dialect's file for the compiler's macros and system
 * include directories, so a run that adds definitions must start from that
 * file.  Empty when the dialect has none. */
static CPathName DialectDefinitions(const CProfile *profile) {
  if (!profile || !profile->GetDialect() || !TheEnvironment) return CPathName();
  std::string name = profile->GetDialect()->GetDialOption();
  if (name.empty()) return CPathName();
  for (char &c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  name += ".def";
  CPathName checkerDir = TheEnvironment->GetRuvexaPath().GetDirectory();
  std::vector<CPathName> candidates;
  if (const char *e = std::getenv("KVX_CC_DEF")) candidates.emplace_back(e);
  candidates.push_back(checkerDir + CPathName(name));
  if (const char *h = std::getenv("HOME")) candidates.push_back(CPathName(std::string(h) + "/" + name));
  if (const char *u = std::getenv("KVX_UTIL")) candidates.push_back(CPathName(std::string(u) + "/" + name));
  candidates.push_back(checkerDir + CPathName("../util/" + name));
  for (auto &c : candidates) {
    c.Canonicalize();
    if (c.IsFile() && c.CanRead()) return c;
  }
  return CPathName();
}

std::string CFileEntry::GetParametersLine(CTrackTempFiles &tracker) const {
  std::string line = Word(path_);
  const CProfile *profile = app_ ? app_->GetAppProfile() : nullptr;
  CPathName dir = TheEnvironment ? TheEnvironment->GetDbgDir() : CPathName();
  std::string base = path_.GetFileNameNoExtension();

  const CPreprocessor *pp[3] = {profile ? profile->GetPreprocessor() : nullptr,
                                app_ ? app_->GetPreprocessor() : nullptr, preprocessor_.get()};
  if (AnyFilled(pp)) {
    CPathName head = pp[0] && !pp[0]->IsEmpty() ? CPathName() : DialectDefinitions(profile);
    CPathName def = WriteOptionFile(tracker, dir, base, GetMessageText(34118), pp, head);
    if (def.IsEmpty()) return line;
    line += " /ddef " + Word(def);
  }
  if (profile && profile->GetDialect())
    line += " /dial " + QuoteIfNeeded(profile->GetDialect()->GetDialOption());
  const CIgnoreCode *ign[3] = {profile ? profile->GetIgnoreCode() : nullptr,
                               app_ ? app_->GetRunIgnoreCode() : nullptr, ignore_.get()};
  if (AnyFilled(ign)) {
    CPathName file = WriteOptionFile(tracker, dir, base, GetMessageText(34115), ign);
    if (file.IsEmpty()) return line;
    line += " /ign " + Word(file);
  }
  const CAnalyzer *mac[3] = {profile ? profile->GetAnalyzer() : nullptr,
                             app_ ? app_->GetRunAnalyzer() : nullptr, analyzer_.get()};
  if (AnyFilled(mac)) {
    CPathName file = WriteOptionFile(tracker, dir, base, GetMessageText(34125), mac);
    if (file.IsEmpty()) return line;
    line += std::string(" /mode=") + (analyzer_->IsExpandMacro() ? "exp" : "noexp");
    line += " /mac " + Word(file);
  }
  return line;
}

/* ---- application --------------------------------------------------- */

CApplication::CApplication(CProfile *profile, CRuleSet *ruleSet)
    : ruleSet_(ruleSet),
      preprocessor_(std::make_unique<CPreprocessor>()),
      analyzer_(std::make_unique<CAnalyzer>()),
      ignore_(std::make_unique<CIgnoreCode>()),
      profile_(profile) {
  Wire();
  analyzer_->Init();
}

CApplication::CApplication(const CApplication *model, CProfile *profile, CRuleSet *ruleSet)
    : CApplication(profile, ruleSet) {
  ResetToStateOf(model);
  profile_ = profile;
  ruleSet_ = ruleSet;
  if (ruleSet_) ruleSetRef_.Empty();
}

CApplication::~CApplication() = default;

void CApplication::Wire() {
  preprocessor_->SetOwner(this);
  analyzer_->SetOwner(this);
  ignore_->SetOwner(this);
  analyzer_->SetMainAnalyzer(profile_ ? profile_->GetAnalyzer() : nullptr);
  for (auto &e : entries_) {
    e->app_ = this;
    e->Wire();
  }
}

void CApplication::SetPreprocessor(std::unique_ptr<CPreprocessor> p) {
  if (!p) return;
  preprocessor_ = std::move(p);
  Wire();
  SetModifiedState(true);
}

void CApplication::SetAnalyzer(std::unique_ptr<CAnalyzer> a) {
  if (!a) return;
  analyzer_ = std::move(a);
  Wire();
  SetModifiedState(true);
}

void CApplication::SetIgnoreCode(std::unique_ptr<CIgnoreCode> i) {
  if (!i) return;
  ignore_ = std::move(i);
  Wire();
  SetModifiedState(true);
}

const CIgnoreCode *CApplication::GetRunIgnoreCode() const {
  return ignore_->IsEmpty() && dialectIgnore_ ? dialectIgnore_.get() : ignore_.get();
}

const CAnalyzer *CApplication::GetRunAnalyzer() const {
  return analyzer_->IsEmpty() && dialectAnalyzer_ ? dialectAnalyzer_.get() : analyzer_.get();
}

void CApplication::ResetToDefaultState() {
  preprocessor_->Init();
  analyzer_->Init();
  ignore_->Init();
  for (auto &e : entries_) e->ResetToDefaultState();
}

void CApplication::SetAppProfile(CProfile *p) {
  if (p == profile_) return;
  profile_ = p;
  analyzer_->SetMainAnalyzer(p ? p->GetAnalyzer() : nullptr);
  SetModifiedState(true);
}

void CApplication::SetAppRuleSet(CRuleSet *r) {
  if (r == ruleSet_) return;
  ruleSet_ = r;
  ruleSetRef_.Empty();
  SetModifiedState(true);
}

void CApplication::SetMakefilePath(const CPathName &p) {
  if (p.Str() == makefile_.Str()) return;
  makefile_ = p;
  SetModifiedState(true);
}

void CApplication::SetTargetPath(const std::string &t) {
  if (t == target_) return;
  target_ = t;
  SetModifiedState(true);
}

CFileEntry *CApplication::FindFileEntry(const CPathName &path) const {
  for (const auto &e : entries_)
    if (e->GetFilePath() == path) return e.get();
  return nullptr;
}

CFileEntry *CApplication::AddFileEntry(const CPathName &path) {
  if (path.IsEmpty()) return nullptr;
  if (CFileEntry *e = FindFileEntry(path)) return e;
  entries_.push_back(CFileEntry::CreateFileEntry(path, this));
  SetModifiedState(true);
  return entries_.back().get();
}

bool CApplication::DeleteFileEntry(CFileEntry *entry) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->get() == entry) {
      entries_.erase(it);
      SetModifiedState(true);
      return true;
    }
  }
  return false;
}

void CApplication::ResetFileEntries(const std::vector<std::unique_ptr<CFileEntry>> &list) {
  if (&list == &entries_) return;
  entries_.clear();
  for (const auto &e : list) {
    auto copy = CFileEntry::CreateFileEntry(e->GetFilePath(), this);
    copy->ResetToStateOf(e.get());
    entries_.push_back(std::move(copy));
  }
  Wire();
  SetModifiedState(true);
}

void CApplication::DeleteContents() {
  entries_.clear();
  preprocessor_->Init();
  analyzer_->Init();
  ignore_->Init();
  makefile_.Empty();
  target_.clear();
  dialectIgnore_.reset();
  dialectAnalyzer_.reset();
}

bool CApplication::GetCheckOptions(CTrackTempFiles &tracker, CTextOutput *output) const {
  for (const auto &e : entries_)
    if (e->IsCheck() && !output->WriteLine(e->GetParametersLine(tracker))) return false;
  return true;
}

/* A copy of a dialect's default file read for the run (null stays null). */
template <typename T>
static std::unique_ptr<T> CopyDialectDefault(const std::unique_ptr<T> &from) {
  if (!from) return nullptr;
  auto copy = std::make_unique<T>();
  copy->ResetToStateOf(from.get());
  copy->CPersistFileObject::ResetToStateOf(from.get());
  return copy;
}

template <typename T>
static bool SameDialectDefault(const std::unique_ptr<T> &a, const std::unique_ptr<T> &b) {
  return a && b ? *a == *b : !a && !b;
}

void CApplication::ResetToStateOf(const CApplication *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  CPersistFileObject::ResetToStateOf(other);
  ruleSet_ = other->ruleSet_;
  ruleSetRef_ = other->ruleSetRef_;
  profile_ = other->profile_;
  makefile_ = other->makefile_;
  target_ = other->target_;
  preprocessor_->ResetToStateOf(other->preprocessor_.get());
  analyzer_->ResetToStateOf(other->analyzer_.get());
  ignore_->ResetToStateOf(other->ignore_.get());
  dialectIgnore_ = CopyDialectDefault(other->dialectIgnore_);
  dialectAnalyzer_ = CopyDialectDefault(other->dialectAnalyzer_);
  entries_.clear();
  for (const auto &e : other->entries_) {
    auto copy = CFileEntry::CreateFileEntry(e->GetFilePath(), this);
    copy->ResetToStateOf(e.get());
    entries_.push_back(std::move(copy));
  }
  Wire();
}

bool CApplication::operator==(const CApplication &o) const {
  if (!(CObjectWithDefaultState::operator==(o)) || ruleSet_ != o.ruleSet_ || profile_ != o.profile_ ||
      makefile_.Str() != o.makefile_.Str() || target_ != o.target_ ||
      !(*preprocessor_ == *o.preprocessor_) || !(*analyzer_ == *o.analyzer_) ||
      !(*ignore_ == *o.ignore_) || !SameDialectDefault(dialectIgnore_, o.dialectIgnore_) ||
      !SameDialectDefault(dialectAnalyzer_, o.dialectAnalyzer_) || entries_.size() != o.entries_.size())
    return false;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (!(*entries_[i] == *o.entries_[i])) return false;
  return true;
}

/* ---- the environment's open application ---------------------------- */

void CEnvironment::CloseApplication() { application_.reset(); }

void CEnvironment::UpdateCurrentApplication() {
  CApplication *app = application_.get();
  if (!app) return;
  if (currentRuleSet_ && currentRuleSet_ != app->GetAppRuleSet()) {
    app->SetAppRuleSet(currentRuleSet_);
    app->SetModifiedState(true);
  }
  if (currentProfile_ && currentProfile_ != app->GetAppProfile()) {
    app->SetAppProfile(currentProfile_);
    app->SetModifiedState(true);
  }
}

bool CEnvironment::OpenApplication(const CPathName &path) {
  application_.reset();
  application_ = std::make_unique<CApplication>();
  application_->SetFilePath(path);
  bool ok = application_->Load();
  if (ok) {
    CPathName shown = application_->GetFullPath();
    shown.MakeLong();
    ReportMessage(CZKError::eInformation, 34090, shown.Str());
  }
  return ok;
}
