/*
 * globals.cpp - the installation's settings file (NAME=value lines, the
 * counterpart of a registry key), the per-user directory and the running
 * program's path.
 */
#include "tessary_env.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

CPathName GetUserConfigDir() {
  const char *xdg = std::getenv("XDG_CONFIG_HOME");
  CPathName dir;
  if (xdg && xdg[0] == '/') {
    dir = CPathName(xdg) + CPathName("csentrel");
  } else {
    const char *home = std::getenv("HOME");
    if (!home || !*home) {
      struct passwd *pw = ::getpwuid(::getuid());
      home = pw ? pw->pw_dir : nullptr;
    }
    if (!home || !*home) return CPathName();
    dir = CPathName(home) + CPathName(".config/csentrel");
  }
  dir.Canonicalize();
  dir.AddEndingDirSeparator();
  return dir;
}

CPathName GetRunningProgramPath() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return CPathName();
  buf[n] = 0;
  return CPathName(buf);
}

CPathName CGlobals::GetSettingsPath() const {
  const char *env = std::getenv("CSENTREL_SETTINGS");
  if (env && *env) return CPathName(env);
  if (exe_.IsEmpty()) return CPathName();
  CPathName p = exe_.GetDirectory() + CPathName("../etc/csentrel.conf");
  p.Canonicalize();
  return p;
}

std::string CGlobals::GetExtraValue(const std::string &name) const {
  for (const auto &kv : extra_)
    if (kv.first == name) return kv.second;
  return std::string();
}

bool CGlobals::Load() {
  CPathName exe = exe_;
  *this = CGlobals();  /* a reload starts from nothing */
  exe_ = exe;
  CPathName settings = GetSettingsPath();
  CTextIO io;
  std::unique_ptr<CTextInput> in = settings.IsFile() ? io.StartTextInput(settings.Str()) : nullptr;
  if (!in) return true;
  CPathName exeDir = exe_.GetDirectory();
  auto resolve = [&exeDir](const std::string &value) {
    CPathName p = exeDir + CPathName(value);
    p.Canonicalize();
    return p;
  };
  struct Required {
    const char *name;
    CPathName *field;
    unsigned blankId;
  };
  const Required required[] = {
      {"DIALECTS", &dialects_, 34013}, {"PROFILES", &profiles_, 34014},
      {"ALLRULES", &allRules_, 34015}, {"RULESETS", &ruleSets_, 34016},
      {"CHECKER", &checker_, 34017},
  };
  struct Directory {
    const char *name;
    CPathName *field;
  };
  const Directory directories[] = {
      {"PATH_DEF_APPLICATIONS", &defApplications_},
      {"PATH_DEF_PROFILES", &defProfiles_},
      {"PATH_DEF_RULESETS", &defRuleSets_},
      {"PATH_KVX_ANALYZER", &analyzer_},
  };
  std::string line, name, value;
  while (in->ReadTrimmedLine(line)) {
    if (line[0] == '#') continue;
    if (!GetKeyAndValue(line, name, value)) {
      CPathName shown = settings;
      shown.MakeLong();
      ReportMessage(CZKError::eWarning, 34004, shown.Str());
      continue;
    }
    value = Trimmed(ExpandEnvironment(value));
    bool done = false;
    for (const auto &r : required) {
      if (name != r.name) continue;
      if (value.empty()) CZKException::Throw(r.blankId);
      *r.field = resolve(value);
      done = true;
    }
    for (const auto &d : directories) {
      if (name != d.name) continue;
      *d.field = value.empty() ? CPathName() : resolve(value);
      if (!d.field->Exists()) d.field->Empty();
      done = true;
    }
    if (done) continue;
    if (name == "LAST_USAGE_FILE") {
      if (!value.empty()) lastUsage_ = resolve(value);
    } else if (name == "PATH") {
      extra_.emplace_back(name, resolve(value).Str());
    } else {
      extra_.emplace_back(name, value);
    }
  }
  return true;
}
