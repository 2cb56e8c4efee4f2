/*
 * dialects.cpp - the installed list of compiler dialects, each with the
 * option passed to the checker and an optional default profile.
 */
#include "tessary_env.h"
#include "tessary_profile.h"

#include <algorithm>

CDialectEntry::CDialectEntry(const std::string &name, const std::string &option) : option_(option) {
  SetName(name);
}

CDialectEntry::~CDialectEntry() = default;

void CDialectEntry::SetDialectProfile(std::unique_ptr<CProfile> p) { profile_ = std::move(p); }

std::unique_ptr<CDialectEntry> CDialectEntry::CreateDialect(const std::string &line,
                                                            std::string *profilePath) {
  CTextInputString in(line);
  in.SkipBlanks();
  std::string name, path, option;
  if (!in.ReadQuotedString(name)) return nullptr;
  TrimString(name);
  if (name.empty()) return nullptr;
  in.RetrievePureOption(path, '"');
  in.RetrievePureOption(option, '"');
  if (profilePath) *profilePath = path;
  return std::make_unique<CDialectEntry>(name, option);
}

bool CDialects::SaveFile(CTextOutput *) const { return true; }

bool CDialects::LoadFile(CTextInput *input) {
  entries_.clear();
  CPathName dir = GetFullPath().GetDirectory();
  std::string line;
  while (input->ReadTrimmedLine(line)) {
    std::string profilePath;
    auto entry = CDialectEntry::CreateDialect(line, &profilePath);
    if (!entry) CZKException::Throw(34004, GetLongPath());
    CDialectEntry *e = entry.get();
    /* In the list before its profile loads, so that the profile's own
     * DIALECT line finds the dialect it belongs to. */
    entries_.push_back(std::move(entry));
    if (profilePath.empty()) {
      ReportMessage(CZKError::eInformation, 34084, e->GetName());
      continue;
    }
    auto profile = std::make_unique<CProfile>();
    profile->SetFilePath(profilePath);
    profile->SetPrefixPath(dir);
    bool ok = false;
    try {
      ok = profile->Load();
    } catch (const CZKException &ex) {
      if (TheErrorLog) TheErrorLog->Report(ex);
    }
    if (!ok) {
      ReportMessage(CZKError::eWarning, 34050, profile->GetLongPath());
      entries_.erase(std::find_if(entries_.begin(), entries_.end(),
                                  [e](const auto &p) { return p.get() == e; }));
      continue;
    }
    ReportMessage(CZKError::eInformation, 34085, e->GetName(), profile->GetLongPath());
    e->SetDialectProfile(std::move(profile));
  }
  SetModifiedState(false);
  return true;
}

CDialectEntry *CDialects::RetrieveDialect(const std::string &option, bool create) {
  for (const auto &e : entries_)
    if (e->GetDialOption() == option) return e.get();
  if (create) {
    entries_.push_back(std::make_unique<CDialectEntry>(option, option));
    return entries_.back().get();
  }
  return entries_.empty() ? nullptr : entries_.back().get();
}
