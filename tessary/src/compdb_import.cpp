/*
 * compdb_import.cpp - putting a compilation database into an application:
 * what every translation unit shares becomes the application's settings,
 * the rest stays with each file.
 */
#include <algorithm>

#include "tessary_app.h"
#include "tessary_compdb.h"

namespace {

/* The macros every entry defines with the same text, in the first entry's
 * order. */
std::vector<std::string> SharedDefines(const std::vector<SCompileEntry> &entries) {
  std::vector<std::string> shared;
  if (entries.empty()) return shared;
  for (const auto &d : entries.front().defines) {
    bool everywhere = std::all_of(entries.begin(), entries.end(), [&](const SCompileEntry &e) {
      return std::find(e.defines.begin(), e.defines.end(), d) != e.defines.end();
    });
    if (everywhere) shared.push_back(d);
  }
  return shared;
}

/* The include directories that begin every entry's list: only a common
 * beginning can move to the application level, which is searched first,
 * without changing any file's search order. */
size_t SharedIncludeCount(const std::vector<SCompileEntry> &entries) {
  if (entries.empty()) return 0;
  size_t n = entries.front().includes.size();
  for (const auto &e : entries) {
    size_t k = 0;
    while (k < n && k < e.includes.size() && e.includes[k] == entries.front().includes[k]) ++k;
    n = k;
  }
  return n;
}

CCommaList MakeList(const std::vector<std::string> &items) {
  CCommaList list;
  for (const auto &i : items) list.Add(i);
  return list;
}

}  // namespace

void CCompilationDatabase::ImportInto(CApplication &app) const {
  std::vector<std::string> sharedDefines = SharedDefines(entries_);
  size_t sharedIncludes = SharedIncludeCount(entries_);
  CPreprocessor *appPre = app.GetPreprocessor();
  appPre->SetDefines(MakeList(sharedDefines));
  std::vector<std::string> appIncludes;
  if (!entries_.empty())
    appIncludes.assign(entries_.front().includes.begin(), entries_.front().includes.begin() + sharedIncludes);
  appPre->SetIncludes(MakeList(appIncludes));

  for (const auto &e : entries_) {
    CFileEntry *entry = app.AddFileEntry(e.file);
    if (!entry) continue;
    std::vector<std::string> defines;
    for (const auto &d : e.defines)
      if (std::find(sharedDefines.begin(), sharedDefines.end(), d) == sharedDefines.end()) defines.push_back(d);
    entry->GetPreprocessor()->SetDefines(MakeList(defines));
    entry->GetPreprocessor()->SetIncludes(
        MakeList(std::vector<std::string>(e.includes.begin() + sharedIncludes, e.includes.end())));
    entry->SetCheck(true);
    entry->SetReferenced(true);
  }
}
