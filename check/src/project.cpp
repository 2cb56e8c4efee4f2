/*
 * project.cpp - from the command line's input to an application ready for
 * a check run, through the configuration library: the environment of the
 * installation, the profile and the rule set, the application read from
 * its file, imported from a compilation database or made of sources.
 */
#include "project.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "findings.h"
#include "tessary_compdb.h"

namespace fs = std::filesystem;

std::string FullPathOf(const std::string &path, const std::string &cwd) {
  CPathName p(path);
  if (!p.IsFull()) p = CPathName(cwd) + p;
  p.Canonicalize();
  return p.Str();
}

static std::string Lower(std::string s) {
  for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

static std::string AsDir(std::string d) {
  if (d.empty() || d.back() != '/') d += '/';
  return d;
}

void StartEnvironment(Project &p) { p.env.Start(GetRunningProgramPath(), false); }

/* A spec that names a file rather than a list entry. */
static bool NamesFile(const std::string &spec, const char *ext) {
  return spec.find('/') != std::string::npos || CPathName(spec).CheckExtension(ext);
}

template <typename T>
static std::string KnownNames(const std::vector<std::unique_ptr<T>> &list) {
  std::string out;
  for (const auto &o : list) out += (out.empty() ? "" : ", ") + ("'" + o->GetName() + "'");
  return out.empty() ? "none" : out;
}

template <typename T>
static T *FindByName(const std::vector<std::unique_ptr<T>> &list, const std::string &spec,
                     const std::function<bool(const T &)> &also) {
  for (const auto &o : list)
    if (Lower(o->GetName()) == Lower(spec)) return o.get();
  for (const auto &o : list)
    if (o->GetFullPath().GetFileNameNoExtension() == spec) return o.get();
  for (const auto &o : list)
    if (also && also(*o)) return o.get();
  return nullptr;
}

/* A profile or rule set: a file (retrieved, and loaded when new), or the
 * first list member with that name, file name or (also) other mark. */
template <typename T>
static T *FindConfiguration(Project &p, const std::string &spec, const char *ext, const char *kind,
                            T *(CEnvironment::*retrieve)(const CPathName &, bool),
                            const std::vector<std::unique_ptr<T>> &list, const std::function<bool(const T &)> &also) {
  if (NamesFile(spec, ext)) {
    CPathName path(FullPathOf(spec, fs::current_path().string() + "/"));
    if (!path.IsFile()) throw InputError{spec + ": no such " + kind + " file"};
    T *found = (p.env.*retrieve)(path, true);
    if (!found) throw InputError{spec + ": not a " + kind + " the checker can use"};
    return found;
  }
  T *found = FindByName<T>(list, spec, also);
  if (!found) throw InputError{"no " + std::string(kind) + " named '" + spec + "' (known: " + KnownNames(list) + ")"};
  return found;
}

CProfile *FindProfile(Project &p, const std::string &spec) {
  return FindConfiguration<CProfile>(p, spec, "prf", "profile", &CEnvironment::RetrieveProfile, p.env.GetProfiles(),
                                     [&](const CProfile &o) {
                                       return o.GetDialect() && Lower(o.GetDialect()->GetDialOption()) == Lower(spec);
                                     });
}

CRuleSet *FindRuleSet(Project &p, const std::string &spec) {
  return FindConfiguration<CRuleSet>(p, spec, "rsf", "rule set", &CEnvironment::RetrieveRuleSet, p.env.GetRuleSets(),
                                     nullptr);
}

CRuleSet *DefaultRuleSet(Project &p) {
  CRuleSet *first = nullptr;
  for (const auto &r : p.env.GetRuleSets()) {
    if (!p.env.IsInstalledFile(r->GetFullPath())) continue;
    if (Lower(r->GetName()) == "default") return r.get();
    if (!first) first = r.get();
  }
  return first;
}

/* The installation's profile for a GNU/Linux project. */
static CProfile *GnuProfile(Project &p) {
  for (const auto &o : p.env.GetProfiles())
    if (o->GetDialect() && o->GetDialect()->GetDialOption() == "gnu" && p.env.IsInstalledFile(o->GetFullPath()))
      return o.get();
  for (const auto &o : p.env.GetProfiles())
    if (o->GetDialect() && o->GetDialect()->GetDialOption() == "gnu") return o.get();
  return nullptr;
}

/* ---- the input ------------------------------------------------------ */

static void ImportDatabase(Project &p, CheckContext &ctx, const std::string &path) {
  CCompilationDatabase db;
  try {
    db.Load(CPathName(path));
  } catch (const CZKException &e) {
    std::string detail = db.GetErrorDetail();
    throw InputError{std::string(e.what()) + (detail.empty() ? "" : ": " + detail)};
  }
  if (db.GetEntries().empty())
    throw InputError{path + ": no C source in the compilation database (" + std::to_string(db.GetEntryCount()) +
                     " entries, " + std::to_string(db.GetSkippedCount()) + " not C)"};
  p.owned = std::make_unique<CApplication>();
  db.ImportInto(*p.owned);
  for (const auto &[option, count] : db.GetUnsupportedOptions())
    if (!ctx.opts.quiet)
      fprintf(stderr, "%s: %s: %s is not passed to the checker (%d entr%s)\n", ctx.program.c_str(), path.c_str(),
              option.c_str(), count, count == 1 ? "y" : "ies");
}

static void MakeFromSources(Project &p, CheckContext &ctx) {
  p.owned = std::make_unique<CApplication>();
  CCommaList defines, includes;
  for (const auto &d : ctx.opts.defines) defines.Add(d);
  for (const auto &i : ctx.opts.includes) includes.Add(FullPathOf(i, ctx.cwd));
  p.owned->GetPreprocessor()->SetDefines(defines);
  p.owned->GetPreprocessor()->SetIncludes(includes);
  for (const auto &s : ctx.opts.inputs) {
    std::string full = FullPathOf(s, ctx.cwd);
    if (!CPathName(full).IsFile()) throw InputError{s + ": no such file"};
    p.owned->AddFileEntry(CPathName(full));
  }
}

static std::string CommonDirectory(const std::vector<std::string> &files) {
  if (files.empty()) return "/";
  std::string common = CPathName(files.front()).GetDirectory().Str();
  for (const auto &f : files) {
    std::string d = CPathName(f).GetDirectory().Str();
    size_t n = 0;
    while (n < common.size() && n < d.size() && common[n] == d[n]) ++n;
    common.resize(n);
    size_t slash = common.rfind('/');
    common.resize(slash == std::string::npos ? 0 : slash + 1);
  }
  return common.empty() ? "/" : common;
}

static bool Below(const std::string &path, const std::string &dir) {
  return path.compare(0, dir.size(), dir) == 0;
}

/* The directory holding the sources and the project's own include
 * directories: those given at the application and file levels that are no
 * system directories and share at least two levels with the sources (a
 * library under /usr/include shares none, a sibling directory of the
 * project's one or more). */
static std::string ProjectDirectory(const CApplication &app, const std::vector<std::string> &sources,
                                    const std::vector<std::string> &systemDirs) {
  std::string sourceDir = CommonDirectory(sources);
  std::vector<std::string> places = sources;
  auto addIncludes = [&](const CPreprocessor *pre) {
    for (const auto &i : pre->GetIncludes().GetItems()) {
      std::string dir = AsDir(i);
      if (dir[0] != '/') continue;
      if (std::any_of(systemDirs.begin(), systemDirs.end(), [&](const std::string &d) { return Below(dir, d); }))
        continue;
      std::string shared = CommonDirectory({sourceDir + "x", dir + "x"});
      if (std::count(shared.begin(), shared.end(), '/') < 3) continue;
      places.push_back(dir + "x");
    }
  };
  addIncludes(app.GetPreprocessor());
  for (const auto &e : app.GetFileEntries())
    if (e->IsCheck()) addIncludes(e->GetPreprocessor());
  return CommonDirectory(places);
}

/* The root of the version-control working tree holding dir, or dir. */
static std::string ProjectRoot(const std::string &dir) {
  std::error_code ec;
  for (fs::path d = dir; !d.empty(); d = d.parent_path()) {
    for (const char *marker : {".git", ".hg", ".svn"})
      if (fs::exists(d / marker, ec)) return AsDir(d.string());
    if (d == d.root_path()) break;
  }
  return AsDir(dir);
}

/* The include directories of the dialect's definitions file: the
 * compiler's and the system's, never the project's. */
static std::vector<std::string> SystemDirectories(const Project &p, const CProfile *profile) {
  std::vector<std::string> dirs;
  if (!profile) return dirs;
  if (profile->GetDialect()) {
    std::string name = Lower(profile->GetDialect()->GetDialOption()) + ".def";
    CPathName def = p.env.GetRuvexaPath().GetDirectory() + CPathName("../util/" + name);
    def.Canonicalize();
    std::ifstream in(def.Str());
    std::string line;
    while (std::getline(in, line))
      if (!line.empty() && line[0] == 'I') {
        std::string d = Trimmed(line.substr(1));
        if (!d.empty() && d[0] == '/') dirs.push_back(AsDir(CPathName(d).Canonicalize().Str()));
      }
  }
  for (const auto &i : profile->GetPreprocessor()->GetIncludes().GetItems())
    if (!i.empty() && i[0] == '/') dirs.push_back(AsDir(i));
  return dirs;
}

void LoadProject(Project &p, CheckContext &ctx) {
  const Options &o = ctx.opts;
  if (o.inputs.empty()) throw InputError{"no input: give an application, a compilation database or sources"};
  std::string first = o.inputs.front();
  /* A build directory stands for its compilation database. */
  if (o.inputs.size() == 1 && CPathName(FullPathOf(first, ctx.cwd)).IsDirectory()) {
    std::string db = FullPathOf(first, ctx.cwd) + "/compile_commands.json";
    if (!CPathName(db).IsFile()) throw InputError{first + ": a directory without compile_commands.json"};
    first = db;
  }
  CPathName firstPath(first);
  bool isApp = firstPath.CheckExtension("app");
  bool isDatabase = firstPath.CheckExtension("json");
  if ((isApp || isDatabase) && o.inputs.size() > 1)
    throw InputError{"an application or a compilation database is checked alone"};
  if ((isApp || isDatabase) && (!o.defines.empty() || !o.includes.empty()))
    throw InputError{"-D and -I apply to sources given on the command line"};
  std::string full = FullPathOf(first, ctx.cwd);

  if (isApp) {
    if (!CPathName(full).IsFile()) throw InputError{first + ": no such application file"};
    bool loaded = false;
    try {
      loaded = p.env.OpenApplication(CPathName(full));
    } catch (const CZKException &e) {
      throw InputError{std::string(e.what())};
    }
    if (!loaded) throw InputError{first + ": the application cannot be read"};
    p.app = p.env.GetCurrentApplication();
  } else {
    if (isDatabase)
      ImportDatabase(p, ctx, full);
    else
      MakeFromSources(p, ctx);
    p.app = p.owned.get();
  }

  CProfile *profile = o.profile.empty() ? nullptr : FindProfile(p, o.profile);
  if (!profile) profile = isApp ? p.app->GetAppProfile() : GnuProfile(p);
  if (!profile) throw InputError{"no profile: the installation has no GNU profile; name one with --profile"};
  p.app->SetAppProfile(profile);
  p.ruleSet = o.ruleSet.empty() ? p.app->GetAppRuleSet() : FindRuleSet(p, o.ruleSet);
  if (!p.ruleSet) p.ruleSet = DefaultRuleSet(p);
  if (!p.ruleSet) throw InputError{"no rule set: the installation has none; name one with --rule-set"};
  ctx.ruleSetName = p.ruleSet->GetName();

  std::vector<std::string> checked;
  for (const auto &e : p.app->GetFileEntries())
    if (e->IsCheck()) checked.push_back(e->GetFilePath().Str());
  if (checked.empty()) throw InputError{first + ": no source file to check"};
  ctx.systemDirs = SystemDirectories(p, profile);
  ctx.root = o.root.empty() ? ProjectRoot(ProjectDirectory(*p.app, checked, ctx.systemDirs))
                            : AsDir(FullPathOf(o.root, ctx.cwd));
  /* Excluded sources are not analysed at all. */
  ctx.sources.clear();
  for (const auto &e : p.app->GetFileEntries()) {
    if (!e->IsCheck()) continue;
    if (!IsExcluded(ctx, e->GetFilePath().Str()))
      ctx.sources.push_back(e->GetFilePath().Str());
    else
      e->SetCheck(false);
  }
  if (ctx.sources.empty()) throw InputError{first + ": every source is excluded"};
}

/* ---- rule descriptions ---------------------------------------------- */

static RuleInfo Describe(const CRule &rule) {
  RuleInfo r;
  r.name = rule.GetDisplayName();
  r.file = rule.GetFullPath().Str();
  const std::string &title = rule.GetTitleDescription();
  size_t nl = title.find('\n');
  r.title = Trimmed(title.substr(0, nl));
  if (nl != std::string::npos) r.description = Trimmed(title.substr(nl + 1));
  size_t pos = 0;
  const std::string &others = rule.GetOtherHeaders();
  while (pos < others.size()) {
    size_t end = others.find('\n', pos);
    if (end == std::string::npos) end = others.size();
    std::string line = others.substr(pos, end - pos);
    pos = end + 1;
    auto value = [&](const char *h) -> const char * {
      size_t n = std::strlen(h);
      if (line.compare(0, n, h) != 0 || (line.size() > n && line[n] != ' ' && line[n] != '\t')) return nullptr;
      return line.c_str() + n;
    };
    if (const char *v = value(".KEY")) {
      std::string key = Trimmed(v);
      r.key = key.substr(0, key.find_first_of(" \t"));
    } else if (const char *v = value(".SEVERITY")) {
      r.severity = Trimmed(v);
    } else if (const char *v = value(".DOMAIN")) {
      r.domain = Trimmed(v);
    } else if (const char *v = value(".REFERENCE")) {
      if (!Trimmed(v).empty()) r.references.push_back(Trimmed(v));
    } else if (const char *v = value(".COMMENT")) {
      if (!Trimmed(v).empty()) r.comments.push_back(Trimmed(v));
    }
  }
  for (const auto &param : rule.GetRuleParameters()) {
    RuleParam rp;
    rp.name = param->GetName();
    rp.label = param->GetLabel();
    rp.type = param->GetType() == CRuleParameter::ePattern ? "pattern" : "Num";
    rp.defaultValue = rp.value = param->GetDefaultValue();
    r.params.push_back(rp);
  }
  if (r.key.empty()) r.key = r.name;
  return r;
}

std::vector<RuleInfo> DescribeRules(const Project &p, const CRuleSet *set, bool wholeCatalogue) {
  std::vector<RuleInfo> out;
  if (wholeCatalogue) {
    for (const auto &rule : p.env.GetAllRules().GetRules()) {
      RuleInfo r = Describe(*rule);
      if (CRuleEntry *e = set ? set->FindRuleEntry(rule.get()) : nullptr)
        for (auto &param : r.params)
          if (CRuleParameterValue *v = e->GetParameterValue(param.name)) param.value = v->GetValue();
      out.push_back(r);
    }
    return out;
  }
  if (!set) return out;
  for (const auto &e : set->GetRuleEntries()) {
    if (!e->IsCheck() || !e->GetRule()) continue;
    RuleInfo r = Describe(*e->GetRule());
    for (auto &param : r.params)
      if (CRuleParameterValue *v = e->GetParameterValue(param.name)) param.value = v->GetValue();
    out.push_back(r);
  }
  return out;
}
