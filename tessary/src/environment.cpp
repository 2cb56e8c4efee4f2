/*
 * environment.cpp - the start and end sequences: list files of profiles and
 * rule sets (the installation's, read only, and the user's), dialects, the
 * rule catalogue, the last-usage file and the current choices.
 */
#include "tessary_env.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

#include "tessary_app.h"

CEnvironment *TheEnvironment = nullptr;

CEnvironment::CEnvironment() = default;

CEnvironment::~CEnvironment() {
  if (TheEnvironment == this) TheEnvironment = nullptr;
}

void CEnvironment::Start(const CPathName &exePath, bool gui) {
  TheEnvironment = this;
  SetGUI(gui);
  CPathName exe = exePath;
  exe.MakeShort();
  SetExePath(exe);
  globals_.Load();
  try {
    LoadLastUsage();
  } catch (const CZKException &e) {
    if (TheErrorLog) TheErrorLog->Report(e);
  }
  LoadDialects();
  LoadProfiles();
  LoadAllRules();
  LoadRuleSets();
  InitCurrents();
}

/* ---- per-user files ------------------------------------------------ */

static bool MakeDirectories(const std::string &path) {
  std::string partial;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!partial.empty() && ::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    if (i < path.size()) partial += path[i];
  }
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CEnvironment::EnsureUserDir(const CPathName &sub) const {
  CPathName dir = GetUserDir();
  if (dir.IsEmpty()) return false;
  if (!sub.IsEmpty()) dir += sub;
  return MakeDirectories(dir.Str());
}

CPathName CEnvironment::GetUserProfilesPath() const {
  CPathName d = GetUserDir();
  return d.IsEmpty() ? d : d + CPathName("profiles.lst");
}

CPathName CEnvironment::GetUserRuleSetsPath() const {
  CPathName d = GetUserDir();
  return d.IsEmpty() ? d : d + CPathName("rulesets.lst");
}

CPathName CEnvironment::GetLastUsagePath() const {
  CPathName d = GetUserDir();
  if (d.IsEmpty()) return d;
  std::string name = globals_.GetLastUsagePath().GetFileName();
  return d + CPathName(name.empty() ? "lastusage" : name);
}

CPathName CEnvironment::GetDefProfilesPath() const {
  if (!EnsureUserDir("profiles")) return CPathName();
  return GetUserDir() + CPathName("profiles/");
}

CPathName CEnvironment::GetDefRuleSetsPath() const {
  if (!EnsureUserDir("rulesets")) return CPathName();
  return GetUserDir() + CPathName("rulesets/");
}

CPathName CEnvironment::GetDbgDir() const { return CPathName(globals_.GetExtraValue("PATH_DBG_DIR")); }

static std::string LongForm(CPathName p) {
  p.MakeLong();
  return p.Str();
}

/* ---- lists --------------------------------------------------------- */

template <typename T>
static T *FindByPath(const std::vector<std::unique_ptr<T>> &list, const CPathName &path) {
  for (const auto &o : list)
    if (o->GetFullPath() == path) return o.get();
  return nullptr;
}

/* Loads one object; a thrown message is reported and counts as failure.
 * An object without a path (a setting left out) fails without a message:
 * "File '' does not exist" would say nothing the caller's report does not. */
template <typename T>
static bool LoadObject(T &object) {
  if (object.GetFullPath().IsEmpty()) return false;
  try {
    return object.Load();
  } catch (const CZKException &e) {
    if (TheErrorLog) TheErrorLog->Report(e);
    return false;
  }
}

template <typename T>
bool CEnvironment::LoadList(const CPathName &installList, const CPathName &userList,
                            std::vector<std::unique_ptr<T>> &list, std::vector<CPathName> &installed,
                            unsigned missingId, unsigned failedId, unsigned loadedId) {
  bool ok = true, anyList = false;
  const CPathName *lists[] = {&installList, &userList};
  for (const CPathName *listPath : lists) {
    if (listPath->IsEmpty() || !listPath->Exists()) continue;
    anyList = true;
    CTextIO io;
    std::unique_ptr<CTextInput> in = io.StartTextInput(listPath->Str());
    if (!in) {
      ReportMessage(CZKError::eError, 34001, LongForm(*listPath));
      ok = false;
      continue;
    }
    CPathName dir = listPath->GetDirectory();
    std::string line;
    while (in->ReadTrimmedLine(line)) {
      auto object = std::make_unique<T>();
      object->SetFilePath(line);
      if (!CPathName(line).IsFull()) object->SetPrefixPath(dir);
      CPathName full = object->GetFullPath();
      if (listPath == &installList) installed.push_back(full);
      if (FindByPath(list, full)) continue;
      if (!LoadObject(*object)) {
        ReportMessage(CZKError::eWarning, failedId, LongForm(full));
        continue;
      }
      ReportMessage(CZKError::eInformation, loadedId, LongForm(full));
      list.push_back(std::move(object));
    }
  }
  if (!anyList) ReportMessage(CZKError::eWarning, missingId, LongForm(installList));
  return ok;
}

template <typename T>
bool CEnvironment::SaveList(const CPathName &userList, const std::vector<std::unique_ptr<T>> &list,
                            const std::vector<CPathName> &installed) {
  if (userList.IsEmpty() || !EnsureUserDir()) return false;
  CTextIO io;
  std::unique_ptr<CTextOutput> out = io.StartTextOutput(userList.Str());
  if (!out) return false;
  for (const auto &o : list) {
    CPathName full = o->GetFullPath();
    if (full.IsEmpty()) continue;
    if (std::find(installed.begin(), installed.end(), full) != installed.end()) continue;
    if (!out->WriteLine(full.GetRelativeTo(userList).Str())) return false;
  }
  out.reset();
  return io.Close();
}

bool CEnvironment::LoadProfiles() {
  return LoadList(globals_.GetProfilesPath(), GetUserProfilesPath(), profiles_, installedProfiles_,
                  34051, 34053, 34082);
}

bool CEnvironment::LoadRuleSets() {
  return LoadList(globals_.GetRuleSetsPath(), GetUserRuleSetsPath(), ruleSets_, installedRuleSets_,
                  34052, 34054, 34083);
}

bool CEnvironment::SaveProfiles() { return SaveList(GetUserProfilesPath(), profiles_, installedProfiles_); }

bool CEnvironment::SaveRuleSets() { return SaveList(GetUserRuleSetsPath(), ruleSets_, installedRuleSets_); }

bool CEnvironment::LoadDialects() {
  dialects_.SetFilePath(globals_.GetDialectsPath());
  bool ok = LoadObject(dialects_);
  ReportMessage(ok ? CZKError::eInformation : CZKError::eError, ok ? 34086 : 34011,
                dialects_.GetLongPath());
  return ok;
}

bool CEnvironment::LoadAllRules() {
  allRules_.SetFilePath(globals_.GetAllRulesPath());
  bool ok = LoadObject(allRules_);
  ReportMessage(ok ? CZKError::eInformation : CZKError::eError, ok ? 34087 : 34012,
                allRules_.GetLongPath());
  return ok;
}

void CEnvironment::AddProfile(CProfile *p) {
  if (!p) return;
  for (const auto &o : profiles_)
    if (o.get() == p) return;
  profiles_.emplace_back(p);
}

void CEnvironment::AddRuleSet(CRuleSet *r) {
  if (!r) return;
  for (const auto &o : ruleSets_)
    if (o.get() == r) return;
  ruleSets_.emplace_back(r);
}

template <typename T>
static std::unique_ptr<T> TakeOut(std::vector<std::unique_ptr<T>> &list, T *object) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->get() == object) {
      std::unique_ptr<T> out = std::move(*it);
      list.erase(it);
      return out;
    }
  }
  return nullptr;
}

std::unique_ptr<CProfile> CEnvironment::RemoveProfile(CProfile *p) {
  if (currentProfile_ == p) currentProfile_ = nullptr;
  return TakeOut(profiles_, p);
}

std::unique_ptr<CRuleSet> CEnvironment::RemoveRuleSet(CRuleSet *r) {
  if (currentRuleSet_ == r) currentRuleSet_ = nullptr;
  return TakeOut(ruleSets_, r);
}

template <typename T>
static T *Retrieve(std::vector<std::unique_ptr<T>> &list, const CPathName &path, bool load) {
  if (T *found = FindByPath(list, path)) return found;
  if (!load || path.IsEmpty() || !path.Exists()) return nullptr;
  auto object = std::make_unique<T>();
  object->SetFilePath(path);
  if (!LoadObject(*object)) return nullptr;
  list.push_back(std::move(object));
  return list.back().get();
}

CProfile *CEnvironment::RetrieveProfile(const CPathName &path, bool load) {
  return Retrieve(profiles_, path, load);
}

CRuleSet *CEnvironment::RetrieveRuleSet(const CPathName &path, bool load) {
  return Retrieve(ruleSets_, path, load);
}

CDialectEntry *CEnvironment::RetrieveDialect(const std::string &option, bool create) {
  return dialects_.RetrieveDialect(option, create);
}

/* ---- last usage ---------------------------------------------------- */

bool CEnvironment::ReadLastUsage(const CPathName &path) {
  CTextIO io;
  std::unique_ptr<CTextInput> in = io.StartTextInput(path.Str());
  if (!in) {
    ReportMessage(CZKError::eError, 34001, LongForm(path));
    return false;
  }
  std::string line, key, value;
  while (in->ReadTrimmedLine(line)) {
    if (!GetKeyAndValue(line, key, value)) CZKException::Throw(34004, LongForm(path));
    if (value.empty()) continue;
    if (key == "LAST_PROFILE") lastProfile_ = value;
    else if (key == "LAST_RULE_SET") lastRuleSet_ = value;
    else if (key == "LAST_DIALECT") lastDialect_ = value;
  }
  return true;
}

/* The user's file; on a first start the installation's, when it names one. */
bool CEnvironment::LoadLastUsage() {
  CPathName user = GetLastUsagePath();
  if (!user.IsEmpty() && user.Exists()) return ReadLastUsage(user);
  CPathName installed = globals_.GetLastUsagePath();
  if (!installed.IsEmpty() && installed.Exists()) return ReadLastUsage(installed);
  return true;
}

bool CEnvironment::SaveLastUsage() {
  CPathName path = GetLastUsagePath();
  if (path.IsEmpty() || !EnsureUserDir()) return false;
  CTextIO io;
  std::unique_ptr<CTextOutput> out = io.StartTextOutput(path.Str());
  if (!out) return false;
  if (currentProfile_ && !out->WriteLine("LAST_PROFILE=" + currentProfile_->GetFullPath().Str()))
    return false;
  if (currentRuleSet_ && !out->WriteLine("LAST_RULE_SET=" + currentRuleSet_->GetFullPath().Str()))
    return false;
  if (currentDialect_ && !out->WriteLine("LAST_DIALECT=" + currentDialect_->GetDialOption()))
    return false;
  out.reset();
  return io.Close();
}

void CEnvironment::InitCurrents() {
  if (!lastProfile_.IsEmpty()) currentProfile_ = RetrieveProfile(lastProfile_, true);
  if (!lastRuleSet_.IsEmpty()) currentRuleSet_ = RetrieveRuleSet(lastRuleSet_, true);
  /* Only a dialect that has the remembered option: the look-up's fallback
   * to the last dialect would silently pick another compiler. */
  if (!lastDialect_.empty()) {
    CDialectEntry *d = RetrieveDialect(lastDialect_, false);
    if (d && d->GetDialOption() == lastDialect_) currentDialect_ = d;
  }
}

bool CEnvironment::IsInstalledFile(const CPathName &path) const {
  if (path.IsEmpty()) return false;
  CPathName p = path;
  p.Canonicalize();
  for (const auto *list : {&installedProfiles_, &installedRuleSets_})
    for (const auto &q : *list)
      if (q == p) return true;
  const CPathName *dirsOf[] = {&globals_.GetDialectsPath(), &globals_.GetProfilesPath(),
                               &globals_.GetAllRulesPath(), &globals_.GetRuleSetsPath()};
  for (const CPathName *f : dirsOf) {
    if (f->IsEmpty()) continue;
    CPathName dir = f->GetDirectory();
    dir.Canonicalize();
    if (dir.IsEmpty() || dir.IsRoot()) continue;
    if (p.Str().compare(0, dir.Str().size(), dir.Str()) == 0) return true;
  }
  return false;
}
